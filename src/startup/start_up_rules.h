// Small rules of the start-up sequence: the Windows directory's form, the command-line switch, the program's
// own directory and the temporary directory that TmpDirName names.
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

// The path of the temporary directory that TmpDirName names, before it is made a full path. The list file
// means the name followed by a backslash, so a bare drive ("C:", "d:") is that drive's root ("C:\"), not the
// current directory of the drive, which is what GetFullPathName makes of it. Every other name stays as it is.
std::string TemporaryDirectoryPath(const std::string& tmpDirName);

// Whether two full paths name one directory as Windows compares them: without regard to (ASCII) case, with
// or without a trailing backslash ("C:\Setup\" and "c:\SETUP").
bool SameDirectory(const std::string& a, const std::string& b);

// Whether the setup log may go to the file that /LOG= names: `logPath` is its full path and
// `sourceDirectory` the program's directory with its backslash, both folded as the file system compares
// names. A log path never damages the medium, so no file in that directory or below it is written; nor is a
// device ("\\.\COM1", "C:\LOGS\NUL.TXT"), which may block the run.
bool IsUsableLogPath(const std::string& logPath, const std::string& sourceDirectory);

inline constexpr char kAdminInfName[] = "ADMIN.INF";
inline constexpr char kResourceLibraryName[] = "ZSRES.DLL";

}  // namespace zs::bootstrap
