#include "setup/setup_app_win32.h"

#include "setup/setup_host_win32.h"
#include "startup/start_up_sequence.h"

namespace zs::bootstrap {

BOOL SetupApp::InitInstance() {
    // The program's manifest asks for the common controls of version 6. Windows XP registers their window
    // classes only once that library is loaded, and the dialogs' buttons and list box are of those classes;
    // later Windows load it on demand. Loaded by name, so that nothing is imported for it.
    LoadLibraryA("comctl32.dll");
    SetupHost host(*this);
    exitStatus_ = StartUpSequence(host).Run();
    return FALSE;
}

}  // namespace zs::bootstrap
