// setup.exe: the one application object. The framework's WinMain runs it (framework/win_app_win32.h); the
// whole run is SetupApp::InitInstance.
#include "bootstrap/setup_app_win32.h"

zs::bootstrap::SetupApp theApp;
