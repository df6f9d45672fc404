// Small rules of the start-up sequence before the list file is read: the Windows directory's form, the
// command-line switch and the program's own directory.
#pragma once

#include <string>

namespace zs::bootstrap {

// A Windows directory must begin with a drive: its second character is ":" and its third "\" (C:\WINDOWS).
// A network path (\\SERVER\WINDOWS) or a relative one does not.
bool IsDriveLetterDirectory(const std::string& directory);

// The administrative switch: "/a" or "/A" anywhere in the command line, as a plain substring, so "x/ay" and
// "/abc" count while "-a" and "A" do not.
bool HasAdminSwitch(const std::string& commandLine);

// The directory of a module path up to and including its last backslash ("D:\\SETUP.EXE" gives "D:\\"); empty
// when the path has no backslash.
std::string DirectoryWithBackslash(const std::string& modulePath);

// Whether the setup log may go to the file that /LOG= names: `logPath` is its full path and
// `sourceDirectory` the program's directory with its backslash, both folded as the file system compares
// names. A log path never damages the medium, so no file in that directory or below it is written; nor is a
// device ("\\.\COM1", "C:\LOGS\NUL.TXT"), which may block the run.
bool IsUsableLogPath(const std::string& logPath, const std::string& sourceDirectory);

inline constexpr char kAdminInfName[] = "ADMIN.INF";
inline constexpr char kResourceLibraryName[] = "ZSRES.DLL";

}  // namespace zs::bootstrap
