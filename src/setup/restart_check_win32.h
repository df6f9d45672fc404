// The restart check around the main module's run: the state of the application's restart key
// (restart_request.h), read before the module starts and after it has ended.
#pragma once

#include <string>

#include "startup/restart_request.h"

namespace zs::bootstrap {

// Reads the key HKEY_LOCAL_MACHINE "Software\Zemrova\" + appName + "\Setup" in the program's own registry
// view (an i686 setup.exe sees the 32-bit one): whether it exists, its last write time, and whether its value
// "Reboot" is a request. A missing value, or one that does not fit the 64-byte buffer, is no request.
RestartKeyState ReadRestartKey(const std::string& appName);

}  // namespace zs::bootstrap
