// setup.exe's WinMain: the one application object, for the length of the run. The framework runs it
// (framework/win_app_win32.h); the whole run is SetupApp::InitInstance.
#include <windows.h>

#include "setup/setup_app_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
    zs::bootstrap::SetupApp app;
    return zs::framework::AfxWinMain(instance, commandLine, showCommand);
}
