#include "bootstrap/stage_and_launch_win32.h"

#include "bootstrap/exit_status.h"
#include "bootstrap/main_module_launch_win32.h"
#include "bootstrap/start_up_file_staging_win32.h"

namespace zs::bootstrap {

int StageAndLaunch(SetupApp& app, SetupRun& run) {
    if (!StageStartUpFiles(app, run)) return kExitStopped;
    return LaunchMainModule(app, run);
}

}  // namespace zs::bootstrap
