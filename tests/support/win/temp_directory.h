// A fresh directory under the system's temporary directory, removed with its files when the test ends.
#pragma once

#include <string>

namespace zs::test {

class TempDirectory {
  public:
    TempDirectory();
    ~TempDirectory();
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    // The directory's path with a trailing backslash.
    const std::string& path() const { return path_; }
    // Writes a file of exactly these bytes into the directory and returns its full path.
    std::string WriteFile(const std::string& name, const std::string& bytes) const;

  private:
    std::string path_;
};

}  // namespace zs::test
