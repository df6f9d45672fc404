// A real INI file in a fresh temporary directory, removed again when the test ends.
#pragma once

#include <string>

namespace zs::test {

class TempIniFile {
  public:
    TempIniFile();
    ~TempIniFile();
    TempIniFile(const TempIniFile&) = delete;
    TempIniFile& operator=(const TempIniFile&) = delete;

    // Replaces the file's contents with exactly these bytes.
    void Write(const std::string& contents) const;
    const std::string& path() const { return path_; }

  private:
    std::string directory_;
    std::string path_;
};

}  // namespace zs::test
