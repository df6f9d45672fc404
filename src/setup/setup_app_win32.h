// The application object of setup.exe. There is no main window and no message loop of the program's own: the
// whole run is the start-up sequence inside InitInstance, which returns false on every path, so the program
// ends when the sequence ends, with the exit status the sequence left (exit_status.h).
#pragma once

#include "framework/win_app_win32.h"
#include "startup/exit_status.h"

namespace zs::bootstrap {

class SetupApp : public framework::CWinApp {
  public:
    SetupApp() = default;
    ~SetupApp() override = default;

    BOOL InitInstance() override;
    int ExitInstance() override { return exitStatus_; }

  private:
    int exitStatus_ = kExitStopped;
};

}  // namespace zs::bootstrap
