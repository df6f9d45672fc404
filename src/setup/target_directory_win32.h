// The temporary directory's file operations with the Win32 file functions: what the TargetDirectoryKeeper
// (target_directory_keeper.h) decides to move, delete and remove, it carries out here. MoveFileA never
// replaces a file, so a set-aside name that is taken is simply not used.
#pragma once

#include <string>
#include <vector>

#include "startup/target_file_system.h"

namespace zs::bootstrap {

// A file name or path as the file system compares names: without its trailing dots and blanks, upper-cased
// by the system's own folding.
std::string FoldedFileName(const std::string& name);

class TargetDirectory final : public TargetFileSystem {
  public:
    std::vector<DirectoryEntry> List(const std::string& directory) override;
    MoveResult Move(const std::string& from, const std::string& to) override;
    bool Delete(const std::string& path) override;
    bool RemoveEmptyDirectory(const std::string& path) override;
    std::string Folded(const std::string& name) override { return FoldedFileName(name); }
    unsigned long ProcessId() override;
    void Pause(unsigned milliseconds) override;
};

}  // namespace zs::bootstrap
