// The clean-up of the target directory after the main module has ended or when the run fails after the
// directory was set up. A workstation run works in the program's own directory and removes nothing.
#pragma once

#include "bootstrap/setup_app.h"
#include "bootstrap/setup_run_win32.h"

namespace zs::bootstrap {

// A temporary directory that this run created goes with everything in it. One that existed before the run may
// hold files that are not setup's: only the files this run staged into it are deleted, and it stays.
void CleanUpTargetDirectory(const SetupApp& app, const SetupRun& run);

}  // namespace zs::bootstrap
