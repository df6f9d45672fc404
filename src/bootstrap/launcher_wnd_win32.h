// The frame window that runs the main setup module. It never gets a window of its own: one object is made for
// the launch and deleted right after it.
#pragma once

#include <string>

#include "framework/wnd_win32.h"

namespace zs::bootstrap {

class LauncherWnd : public framework::CFrameWnd {
  public:
    LauncherWnd() = default;
    ~LauncherWnd() override;

    // Starts the program `applicationName` with the command line g_strCommandLine (setup_globals.h), the
    // program's own environment and current directory, and waits for it to end, without a time limit and
    // without dispatching window messages. Logs the outcome of the start. False when the program could not
    // be started; GetLastError then tells why.
    bool RunMainModule(const std::string& applicationName);
};

}  // namespace zs::bootstrap
