#include "bootstrap/main_module_launch_win32.h"

#include <windows.h>

#include <memory>
#include <string>

#include "bootstrap/exit_status.h"
#include "bootstrap/launcher_wnd_win32.h"
#include "bootstrap/main_module_command_line.h"
#include "bootstrap/restart_check_win32.h"
#include "bootstrap/setup_globals.h"
#include "bootstrap/target_directory_win32.h"
#include "framework/message_box_win32.h"
#include "framework/strings_win32.h"
#include "language/messages.h"
#include "reslib/resource_ids.h"
#include "services/restart_win32.h"
#include "services/setup_log_win32.h"

namespace zs::bootstrap {

int LaunchMainModule(SetupApp& app, SetupRun& run) {
    g_strCommandLine = BuildMainModuleCommandLine(run.targetDirectory, run.sourceDirectory,
                                                  run.selection.languageName, run.adminMode);
    WriteSetupLog("Attempting to launch main setup module...");
    WriteSetupLog("CMD:%s", g_strCommandLine.c_str());

    // Nothing of setup.exe is on the screen while the main module runs.
    run.cursor.Restore();
    run.pleaseWait.reset();

    auto launcher = std::make_unique<LauncherWnd>();
    const bool ran = launcher->RunMainModule(run.targetDirectory + kMainModuleName);
    launcher.reset();

    if (!ran) {
        // The user is told, instead of a run that ends as if it had succeeded. The module never ran, so a
        // restart request in the registry is not its: it is not acted on.
        framework::AfxLoadString(
            static_cast<UINT>(language::MessageId(run.selection.languageBase, IDS_START_FAILED)),
            run.messageText);
        framework::AfxMessageBox(run.messageText.c_str(), MB_ICONSTOP);
        CleanUpTargetDirectory(app, run);
        run.resourceLibrary.Release();
        return kExitStopped;
    }

    CleanUpTargetDirectory(app, run);
    // The restart is set going without asking; its result changes nothing here.
    if (IsRestartRequested(run.appName)) Reboot();
    PostQuitMessage(0);
    run.resourceLibrary.KeepUntilExit();
    return kExitCompleted;
}

}  // namespace zs::bootstrap
