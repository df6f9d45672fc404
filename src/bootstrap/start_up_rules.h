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

// Whether two full paths name one directory as Windows compares them: without regard to (ASCII) case, with
// or without a trailing backslash ("C:\Setup\" and "c:\SETUP").
bool SameDirectory(const std::string& a, const std::string& b);

inline constexpr char kAdminInfName[] = "ADMIN.INF";
inline constexpr char kResourceLibraryName[] = "ZSRES.DLL";

}  // namespace zs::bootstrap
