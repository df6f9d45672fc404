// Entry point of ZSRES.DLL. The library holds resources and one constant export and is linked without a
// C runtime, so this function is the image's entry point itself: there is nothing to set up or tear
// down, and every load succeeds.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
    return TRUE;
}
