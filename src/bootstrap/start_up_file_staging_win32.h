// The staging of the start-up files: every file that the list file's "StartUp" entries name is copied from
// the program's directory into the target directory, or, when only its compressed name is on the medium,
// expanded there. A workstation run copies nothing and only makes sure that each file is there and can be
// opened.
#pragma once

#include "bootstrap/setup_app.h"
#include "bootstrap/setup_run_win32.h"

namespace zs::bootstrap {

// True when every file is staged. On the first failure: closes the files, destroys the please-wait window,
// restores the cursor, shows the failure's message in the chosen language (stop icon), cleans the target
// directory up (target_directory_win32.h), releases the resource library and returns false.
bool StageStartUpFiles(SetupApp& app, SetupRun& run);

}  // namespace zs::bootstrap
