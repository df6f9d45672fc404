// The files of a medium directory, looked up by name the way Windows looks them up for setup.exe: without
// regard to case, with the trailing dots and blanks of a name dropped, devices taken for devices, and names
// that Windows cannot hold never found. The medium may be checked on a system whose file names follow other
// rules; the lookup also tells when only another case is there and when several names differ only in case.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

namespace zs::zemcmp {

struct MediumFile {
    std::string name;        // the name asked for, as setup.exe reads it (code page 1252)
    std::string actualName;  // the name as it stands in the directory; empty when absent
    std::string path;        // the directory joined with actualName
    PathKind kind = PathKind::kMissing;
    bool device = false;       // the name names a device, not a file
    bool caseDiffers = false;  // found only under a name that differs from `name` in case
    // Further names in the directory that equal `name` without regard to case: on Windows they would be one
    // file, so which of them a copy of the medium keeps is not certain.
    std::vector<std::string> otherCases;

    bool Exists() const { return device || kind != PathKind::kMissing; }
    bool IsFile() const { return !device && kind == PathKind::kFile; }
};

class MediumDirectory {
  public:
    // Reads the directory's names once. `windowsPath` is the directory as setup.exe will see it (such as
    // "D:\" for the root of a CD); empty for its full path here (WindowsPathOfDirectory). False with the
    // problem in *error when it cannot be read.
    bool Open(const std::string& directory, const std::string& windowsPath, std::string* error);

    // The exact name when it is there, else the first (in byte order) that differs only in case.
    MediumFile Find(const std::string& name) const;

    const std::string& path() const { return path_; }
    // The directory as a program in it sees it: a full Windows path ending in a backslash.
    const std::string& windowsPath() const { return windowsPath_; }
    // The names in the directory that Windows cannot hold, and those it can, in byte order.
    std::vector<std::string> UnholdableNames() const;
    std::vector<std::string> HoldableNames() const;

  private:
    std::string path_;
    std::string windowsPath_;
    std::vector<DirectoryEntry> entries_;  // sorted by name
};

// Equality of file names as Windows sees it for the names of a medium (ASCII letters folded).
bool SameFileName(const std::string& a, const std::string& b);

}  // namespace zs::zemcmp
