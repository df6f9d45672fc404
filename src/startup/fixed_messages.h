// setup.exe's own English messages: those shown before any language can be chosen, and those for which the
// resource library has no string. "%1" is filled as in the library's strings.
#pragma once

namespace zs::bootstrap {

inline constexpr char kMissingLibraryMessage[] = "Could not find ZSRES.DLL.";
inline constexpr char kWindowsDirectoryMessage[] =
    "Setup was unable to locate your Windows directory.\t\t\t\n"
    "Please verify that the PATH statement in your AUTOEXEC.BAT file contains the full path of your Windows "
    "directory.";
inline constexpr char kRedirectMessage[] = "Please run SETUPKRN.EXE.";
// %1: the temporary directory.
inline constexpr char kTargetInUseMessage[] =
    "Another Setup is using the temporary directory\n%1\nWait until it has ended, then start Setup again.";
// %1: one line per file or directory (target_directory_keeper.h, LeftBehindText).
inline constexpr char kNotPutBackMessage[] =
    "Setup could not put its temporary directory back as it was:\n%1\n"
    "Close the programs that may use these files, then rename or delete them by hand.";

}  // namespace zs::bootstrap
