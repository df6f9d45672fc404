#include "bootstrap/target_directory_win32.h"

#include <windows.h>

#include "services/temp_directory_win32.h"

namespace zs::bootstrap {

void CleanUpTargetDirectory(const SetupApp& app, const SetupRun& run) {
    if (app.m_bWorkstation) return;
    if (run.createdTargetDirectory) {
        // Failures are not reported: nothing more can be done about them at the end of the run.
        RemoveTempDirectory(run.targetDirectory.c_str());
        return;
    }
    for (const std::string& path : run.stagedFiles) {
        // The main module may have made its files read-only; they were setup's all the same.
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
    }
}

}  // namespace zs::bootstrap
