// The restart check at the end of a run: has the main setup module left a restart request for this
// application (restart_request.h)?
#pragma once

#include <string>

namespace zs::bootstrap {

// Reads "Reboot" under HKEY_LOCAL_MACHINE "Software\Zemrova\" + appName + "\Setup". A missing key or value,
// or one that does not fit the 64-byte buffer, is no request.
bool IsRestartRequested(const std::string& appName);

}  // namespace zs::bootstrap
