// The frame window that runs the main setup module. It never gets a window of its own: one object is made for
// the launch and deleted right after it.
#pragma once

#include <functional>
#include <string>

#include "framework/wnd_win32.h"
#include "startup/start_up_host.h"

namespace zs::bootstrap {

class LauncherWnd : public framework::CFrameWnd {
  public:
    LauncherWnd() = default;
    ~LauncherWnd() override;

    // Starts the program `applicationName` with the command line `strCommandLine`, the program's own
    // environment and current directory, tells `started` how the start went and then waits for the program to
    // end, without a time limit and without dispatching window messages.
    MainModuleStart RunMainModule(const std::string& applicationName, const std::string& strCommandLine,
                                  const std::function<void(const MainModuleStart&)>& started);
};

}  // namespace zs::bootstrap
