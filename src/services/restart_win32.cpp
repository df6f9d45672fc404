// The exported restart: the Windows 95 family restarts on request; the NT family wants the calling process
// to hold the shutdown privilege, enabled only around the request.
#include <windows.h>

#include "services/platform_win32.h"
#include "services/restart_win32.h"
#include "services/system_calls_win32.h"

namespace {

using zs::services::SystemCalls;

// One adjustment of the token's privileges. The adjustment reports success even when the account does not
// hold the privilege, so the error code it leaves decides. It is cleared first so that an older error cannot
// be taken for this call's.
bool AdjustPrivileges(const SystemCalls& calls, HANDLE token, TOKEN_PRIVILEGES* privileges) {
    SetLastError(ERROR_SUCCESS);
    BOOL adjusted = calls.adjustTokenPrivileges(token, FALSE, privileges, 0, nullptr, nullptr);
    return adjusted && GetLastError() == ERROR_SUCCESS;
}

// Enables the shutdown privilege, asks for the restart and disables the privilege again once the request
// has been accepted. A refused request leaves the privilege enabled.
int RequestRestartWithPrivilege(const SystemCalls& calls, HANDLE token) {
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    if (!calls.lookupPrivilegeValue(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid)) return 0;

    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!AdjustPrivileges(calls, token, &privileges)) return 0;

    // The local machine, no message, no delay, applications not forced to close, restart afterwards.
    if (!calls.initiateSystemShutdown(nullptr, nullptr, 0, FALSE, TRUE)) return 0;

    privileges.Privileges[0].Attributes = 0;
    return AdjustPrivileges(calls, token, &privileges) ? 1 : 0;
}

}  // namespace

extern "C" int ZS_STDCALL Reboot(void) {
    const SystemCalls& calls = zs::services::CurrentSystemCalls();
    if (GetPlatform() == PLATFORM_WIN95_FAMILY) return calls.exitWindowsEx(EWX_REBOOT, 0);

    HANDLE token = nullptr;
    if (!calls.openProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return 0;
    int result = RequestRestartWithPrivilege(calls, token);
    calls.closeHandle(token);
    return result;
}
