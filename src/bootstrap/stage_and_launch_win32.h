// The run after the temporary directory is in place: the staging of the start-up files, the launch of the
// main setup module and the end of the run. The start-up sequence (start_up_sequence_win32.cpp) calls it as
// its last step with everything it has acquired and decided; it returns the run's exit status (exit_status.h)
// and releases whatever the run still holds on every path but a successful launch.
#pragma once

#include "bootstrap/setup_app.h"
#include "bootstrap/setup_run_win32.h"

namespace zs::bootstrap {

int StageAndLaunch(SetupApp& app, SetupRun& run);

}  // namespace zs::bootstrap
