#include "bootstrap/restart_check_win32.h"

#include <windows.h>

#include "bootstrap/restart_request.h"

namespace zs::bootstrap {

bool IsRestartRequested(const std::string& appName) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, RestartRequestKeyPath(appName).c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
        return false;
    }
    // The value's type is neither asked for nor checked: its bytes are read as text.
    unsigned char value[kRestartValueBufferSize] = {};
    DWORD size = sizeof value;
    LONG result = RegQueryValueExA(key, kRestartValueName, nullptr, nullptr, value, &size);
    RegCloseKey(key);
    // A value too long for the buffer leaves the buffer's contents undefined: no request.
    if (result != ERROR_SUCCESS) return false;
    return IsRestartRequest(value, size);
}

}  // namespace zs::bootstrap
