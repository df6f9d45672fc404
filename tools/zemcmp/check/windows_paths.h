// What GetFullPathName makes of a path, for the check's prediction of where setup.exe puts the temporary
// directory: relative paths are taken from the current directory (setup.exe's, which the check takes to be
// the medium's directory, as when the program is started from there), "." and ".." are resolved, "/" reads as
// "\" and the trailing dots and blanks that Windows drops go (all of them at the end of the path, a single
// dot inside it).
#pragma once

#include <optional>
#include <string>

namespace zs::zemcmp {

// `currentDirectory` is a full path such as "Z:\media" (a trailing backslash is allowed). Nothing for an
// empty path or a result of MAX_PATH (260) characters or more.
std::optional<std::string> FullWindowsPath(const std::string& path, const std::string& currentDirectory);

// Why CreateDirectory refuses to make the directory of a full path (as FullWindowsPath gives it), whatever
// the disk holds: a name on the way that no directory can have (a character Windows refuses, a device name,
// a name that is empty or changes once its trailing dots and blanks go, so that no directory of that name can
// have been made), or a path of 248 characters or more (the room CreateDirectory keeps for a file name of 8.3
// characters under MAX_PATH). Nothing when the name is one Windows can make.
std::optional<std::string> DirectoryRefusal(const std::string& fullPath);

}  // namespace zs::zemcmp
