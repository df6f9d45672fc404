// The exit status of setup.exe, for launchers and scripts that start it. (An outside launcher also finds a
// cancel recorded in WIN.INI, see launcher_record_win32.h.)
#pragma once

namespace zs::bootstrap {

enum ExitStatus : int {
    kExitCompleted = 0,  // the main setup module ran and ended (whatever its own result), or a hook took over
    kExitCancelled = 1,  // the user cancelled the language selection
    kExitStopped = 2,    // the run stopped after its message (shown, or logged in a quiet run); also when the
                         // temporary directory could not be put back afterwards (the log lists what)
    kExitRestartNeeded = 3,  // /NORESTART: the main module ran and asked for a restart, which was not made
    kExitNotPutBack = 4,  // the main module ran, but the temporary directory is not as it was: a file of the
                          // user's is still set aside, a start-up file or the directory the run made is left
    kExitNotPutBackRestartNeeded = 5,  // 3 and 4 together
};

}  // namespace zs::bootstrap
