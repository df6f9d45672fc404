// The launcher record: the WIN.INI section through which setup.exe tells an outside launcher that the user
// cancelled the language selection. On cancel the start-up sequence writes "ExitCode" = "0" and then releases
// the section: it is deleted again unless the launcher asked to keep it with a non-zero "Launcher" value.
// Neither function shows anything or writes to the setup log.
#pragma once

namespace zs::bootstrap {

inline constexpr char kLauncherSection[] = "ZemStpLauncher";
inline constexpr char kLauncherExitCodeKey[] = "ExitCode";
inline constexpr char kLauncherKeepKey[] = "Launcher";

// Writes the code as "ExitCode" (decimal) and flushes WIN.INI to disk. Returns 1.
int WriteLauncherExitCode(int code);

// Reads "Launcher" (default "0", read like atoi): a non-zero value is returned and the section stays; with 0
// the whole section is deleted, WIN.INI is flushed and the flush's result is returned.
int ReleaseLauncherSection();

}  // namespace zs::bootstrap
