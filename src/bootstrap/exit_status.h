// The exit status of setup.exe, for launchers and scripts that start it. (An outside launcher also finds a
// cancel recorded in WIN.INI, see launcher_record_win32.h.)
#pragma once

namespace zs::bootstrap {

enum ExitStatus : int {
    kExitCompleted = 0,  // the main setup module ran and ended (whatever its own result), or a hook took over
    kExitCancelled = 1,  // the user cancelled the language selection
    kExitStopped = 2,    // the run stopped after its message (shown, or logged in a quiet run)
    kExitRestartNeeded = 3,  // /NORESTART: the main module ran and asked for a restart, which was not made
};

}  // namespace zs::bootstrap
