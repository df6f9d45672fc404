// setup.exe's own English messages, shown before any language can be chosen.
#pragma once

namespace zs::bootstrap {

inline constexpr char kMissingLibraryMessage[] = "Could not find ZSRES.DLL.";
inline constexpr char kWindowsDirectoryMessage[] =
    "Setup was unable to locate your Windows directory.\t\t\t\n"
    "Please verify that the PATH statement in your AUTOEXEC.BAT file contains the full path of your Windows "
    "directory.";
inline constexpr char kRedirectMessage[] = "Please run SETUPKRN.EXE.";

}  // namespace zs::bootstrap
