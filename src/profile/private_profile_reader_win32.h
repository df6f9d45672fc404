// The ProfileReader of setup.exe: the Windows profile reader (GetPrivateProfileStringA) on one file, given by
// its full path so that a file of the same name in the Windows directory is never read instead. Every reading
// goes to the file again; nothing is cached here. GetString returns what the function leaves in the buffer,
// of the length it returns, also for the list forms (nullptr section or key), so that it answers as
// IniFileReader.
#pragma once

#include <string>

#include "profile/profile_reader.h"

namespace zs::bootstrap {

class PrivateProfileReader : public ProfileReader {
  public:
    explicit PrivateProfileReader(std::string path) : path_(std::move(path)) {}

    std::string GetString(const char* section, const char* key, const char* defaultValue,
                          size_t bufferSize) const override;

    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

}  // namespace zs::bootstrap
