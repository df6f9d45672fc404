// The program's entry point: everything happens in the application object (win_app.h). Kept apart from the
// framework library so that the linker always takes it, and only into the program that links it.
#include <windows.h>

#include "framework/win_app_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
    return zs::framework::AfxWinMain(instance, commandLine, showCommand);
}
