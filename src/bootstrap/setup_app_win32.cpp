#include "bootstrap/setup_app_win32.h"

#include "bootstrap/setup_host_win32.h"
#include "bootstrap/start_up_sequence.h"

namespace zs::bootstrap {

BOOL SetupApp::InitInstance() {
    SetupHost host(*this);
    exitStatus_ = StartUpSequence(host).Run();
    return FALSE;
}

}  // namespace zs::bootstrap
