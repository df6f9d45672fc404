#include "setup/restart_check_win32.h"

#include <windows.h>

#include "framework/scoped_handle_win32.h"
#include "startup/restart_request.h"

namespace zs::bootstrap {

RestartKeyState ReadRestartKey(const std::string& appName) {
    RestartKeyState state;
    ScopedRegistryKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, RestartRequestKeyPath(appName).c_str(), 0, KEY_READ,
                      key.receive()) != ERROR_SUCCESS) {
        return state;
    }
    state.keyExists = true;
    FILETIME written = {};
    if (RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr, &written) == ERROR_SUCCESS) {
        state.lastWriteTime = (static_cast<uint64_t>(written.dwHighDateTime) << 32) | written.dwLowDateTime;
    }
    // The value's type is neither asked for nor checked: its bytes are read as text.
    unsigned char value[kRestartValueBufferSize] = {};
    DWORD size = sizeof value;
    LONG result = RegQueryValueExA(key.get(), kRestartValueName, nullptr, nullptr, value, &size);
    // A value too long for the buffer leaves the buffer's contents undefined: no request.
    state.requestsRestart = result == ERROR_SUCCESS && IsRestartRequest(value, size);
    return state;
}

}  // namespace zs::bootstrap
