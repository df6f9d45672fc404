// The few file operations that putting a temporary directory back needs (target_directory_keeper.h):
// setup.exe carries them out with the Win32 file functions (target_directory_win32.h), the unit tests over a
// file system in memory that can be told to fail. Paths are full Windows paths; a directory's path passed to
// List ends in a backslash, one passed to RemoveEmptyDirectory does not.
#pragma once

#include <string>
#include <vector>

namespace zs::bootstrap {

struct DirectoryEntry {
    std::string name;        // as the file system holds it
    bool directory = false;  // a directory, or a link to one
    bool link = false;       // a link (a reparse point): only the link itself may go, never what it names
};

enum class MoveResult {
    kMoved,
    kTargetTaken,    // a file of the new name exists: it is never replaced
    kSourceMissing,  // nothing of the old name exists
    kFailed,         // anything else (the file is in use, the path is too long, no right to rename)
};

class TargetFileSystem {
  public:
    virtual ~TargetFileSystem() = default;

    // The entries of a directory, without "." and ".."; nothing when it cannot be read.
    virtual std::vector<DirectoryEntry> List(const std::string& directory) = 0;
    // Renames a file within its directory; never replaces a file that exists.
    virtual MoveResult Move(const std::string& from, const std::string& to) = 0;
    // Deletes a file whatever its attributes; true also when there was no such file.
    virtual bool Delete(const std::string& path) = 0;
    // Removes an empty directory, or a link to a directory (not what it names); true also when there was no
    // such directory.
    virtual bool RemoveEmptyDirectory(const std::string& path) = 0;
    // A name or path as the file system compares names: in one case, without trailing dots and blanks, so
    // that "data.bin." and "DATA.BIN" come out equal.
    virtual std::string Folded(const std::string& name) = 0;
    virtual unsigned long ProcessId() = 0;
    virtual void Pause(unsigned milliseconds) = 0;
};

}  // namespace zs::bootstrap
