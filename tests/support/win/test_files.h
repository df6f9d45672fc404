// Real files and directories for Windows-side tests. The Wine prefix is shared by every test
// run, so each test makes what it needs under a scratch directory of its own and removes it afterwards.
#pragma once

#include <string>
#include <vector>

namespace zs::test {

// The Windows directory as the system reports it, without a trailing backslash unless it is a root.
std::string WindowsDirectory();

bool FileExists(const std::string& path);
std::string ReadWholeFile(const std::string& path);
// Creates or replaces the file. False when it cannot be written.
bool WriteWholeFile(const std::string& path, const std::string& bytes);

// The names that a search of "directory\*.*" yields, in the order of the search, "." and ".." included.
std::vector<std::string> SearchOrder(const std::string& directory);

// Deletes a directory with everything in it, whatever the attributes of its files.
void RemoveTree(const std::string& directory);

// A fresh, empty directory on drive C: for one test, removed with its contents when the test ends.
class ScratchDirectory {
  public:
    explicit ScratchDirectory(const std::string& name);
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    // The directory's path without, and with, its trailing backslash.
    const std::string& path() const { return path_; }
    std::string withBackslash() const { return path_ + "\\"; }
    std::string file(const std::string& name) const { return path_ + "\\" + name; }

  private:
    std::string path_;
};

// Pattern bytes whose value depends on the position, so a shifted or repeated block shows.
std::string PatternBytes(size_t size, unsigned seed = 0);

}  // namespace zs::test
