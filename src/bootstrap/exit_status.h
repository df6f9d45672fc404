// The exit status of setup.exe, for whoever started it. (An outside launcher also finds a cancel recorded in
// WIN.INI, see launcher_record_win32.h.)
#pragma once

namespace zs::bootstrap {

enum ExitStatus : int {
    kExitCompleted = 0,  // the main setup module ran, or the run was handed over to a hook
    kExitCancelled = 1,  // the user cancelled the language selection
    kExitStopped = 2,    // the run stopped early, after showing its message
    // The run reached the staging of the start-up files, which this build does not carry out yet: the
    // temporary directory is in place and nothing was staged.
    kExitReachedStaging = 3,
};

}  // namespace zs::bootstrap
