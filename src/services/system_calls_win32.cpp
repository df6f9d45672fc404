#include "services/system_calls_win32.h"

namespace zs::services {
namespace {

// The system functions are imported, so their addresses are known only once the loader has bound the
// imports; these forwarders have fixed addresses, which keeps the real table a compile-time constant.
BOOL WINAPI CallGetVersionEx(OSVERSIONINFOA* version) {
    return GetVersionExA(version);
}

BOOL WINAPI CallExitWindowsEx(UINT flags, DWORD reason) {
    return ExitWindowsEx(flags, reason);
}

BOOL WINAPI CallOpenProcessToken(HANDLE process, DWORD access, HANDLE* token) {
    return OpenProcessToken(process, access, token);
}

BOOL WINAPI CallLookupPrivilegeValue(const char* systemName, const char* privilegeName, LUID* luid) {
    return LookupPrivilegeValueA(systemName, privilegeName, luid);
}

BOOL WINAPI CallAdjustTokenPrivileges(HANDLE token, BOOL disableAll, TOKEN_PRIVILEGES* newState,
                                      DWORD previousStateLength, TOKEN_PRIVILEGES* previousState,
                                      DWORD* returnLength) {
    return AdjustTokenPrivileges(token, disableAll, newState, previousStateLength, previousState,
                                 returnLength);
}

BOOL WINAPI CallInitiateSystemShutdown(char* machineName, char* message, DWORD timeoutSeconds,
                                       BOOL forceAppsClosed, BOOL rebootAfterShutdown) {
    return InitiateSystemShutdownA(machineName, message, timeoutSeconds, forceAppsClosed,
                                   rebootAfterShutdown);
}

BOOL WINAPI CallCloseHandle(HANDLE handle) {
    return CloseHandle(handle);
}

constexpr SystemCalls kRealSystemCalls = {
    CallGetVersionEx,          CallExitWindowsEx,          CallOpenProcessToken, CallLookupPrivilegeValue,
    CallAdjustTokenPrivileges, CallInitiateSystemShutdown, CallCloseHandle,
};

const SystemCalls* g_currentSystemCalls = &kRealSystemCalls;

}  // namespace

const SystemCalls& RealSystemCalls() {
    return kRealSystemCalls;
}

const SystemCalls& CurrentSystemCalls() {
    return *g_currentSystemCalls;
}

ScopedSystemCalls::ScopedSystemCalls(const SystemCalls& calls) : previous_(g_currentSystemCalls) {
    g_currentSystemCalls = &calls;
}

ScopedSystemCalls::~ScopedSystemCalls() {
    g_currentSystemCalls = previous_;
}

}  // namespace zs::services
