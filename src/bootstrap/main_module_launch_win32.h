// The end of the run once the start-up files are staged: the main setup module is started and waited for, the
// target directory is cleaned up, and Windows is restarted when the module has left a restart request.
#pragma once

#include "bootstrap/setup_app.h"
#include "bootstrap/setup_run_win32.h"

namespace zs::bootstrap {

// Returns the run's exit status: kExitCompleted when the main module ran (the resource library then stays
// loaded and current until the process ends), kExitStopped when it could not be started (after its message).
int LaunchMainModule(SetupApp& app, SetupRun& run);

}  // namespace zs::bootstrap
