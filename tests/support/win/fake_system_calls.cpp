#include "fake_system_calls.h"

#include <cstdint>

namespace zs::test {

const HANDLE kFakeToken = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(0x5A5A0));
const LUID kFakeShutdownLuid = {0x13, 0};

namespace {

FakeSystem g_fake;

BOOL WINAPI FakeGetVersionEx(OSVERSIONINFOA* version) {
    g_fake.calls.push_back("GetVersionExA");
    g_fake.versionRecordSize = version->dwOSVersionInfoSize;
    if (!g_fake.versionQueryResult) return FALSE;
    version->dwPlatformId = g_fake.platformId;
    version->dwMajorVersion = g_fake.majorVersion;
    version->dwMinorVersion = g_fake.minorVersion;
    return TRUE;
}

BOOL WINAPI FakeExitWindowsEx(UINT flags, DWORD reason) {
    g_fake.calls.push_back("ExitWindowsEx");
    g_fake.exitFlags = flags;
    g_fake.exitReason = reason;
    return g_fake.exitWindowsResult;
}

BOOL WINAPI FakeOpenProcessToken(HANDLE process, DWORD access, HANDLE* token) {
    g_fake.calls.push_back("OpenProcessToken");
    g_fake.tokenProcess = process;
    g_fake.tokenAccess = access;
    if (!g_fake.openTokenResult) return FALSE;
    *token = kFakeToken;
    return TRUE;
}

BOOL WINAPI FakeLookupPrivilegeValue(const char* systemName, const char* privilegeName, LUID* luid) {
    g_fake.calls.push_back("LookupPrivilegeValueA");
    g_fake.systemNameGiven = systemName != nullptr;
    g_fake.privilegeName = privilegeName ? privilegeName : "";
    if (!g_fake.lookupResult) return FALSE;
    *luid = kFakeShutdownLuid;
    return TRUE;
}

BOOL WINAPI FakeAdjustTokenPrivileges(HANDLE token, BOOL disableAll, TOKEN_PRIVILEGES* newState,
                                      DWORD previousStateLength, TOKEN_PRIVILEGES* previousState,
                                      DWORD* returnLength) {
    g_fake.calls.push_back(token == kFakeToken ? "AdjustTokenPrivileges"
                                               : "AdjustTokenPrivileges(other token)");
    g_fake.adjustments.push_back({disableAll, newState->PrivilegeCount, newState->Privileges[0].Luid,
                                  newState->Privileges[0].Attributes, previousStateLength,
                                  previousState != nullptr, returnLength != nullptr});
    // Like the system: the adjustment succeeds and tells through the error code whether the privilege was
    // held.
    const bool enabling = newState->Privileges[0].Attributes & SE_PRIVILEGE_ENABLED;
    SetLastError(enabling ? g_fake.enablingError : g_fake.disablingError);
    return TRUE;
}

BOOL WINAPI FakeInitiateSystemShutdown(char* machineName, char* message, DWORD timeoutSeconds,
                                       BOOL forceAppsClosed, BOOL rebootAfterShutdown) {
    g_fake.calls.push_back("InitiateSystemShutdownA");
    g_fake.shutdowns.push_back(
        {machineName != nullptr, message != nullptr, timeoutSeconds, forceAppsClosed, rebootAfterShutdown});
    return g_fake.shutdownResult;
}

BOOL WINAPI FakeCloseHandle(HANDLE handle) {
    g_fake.calls.push_back("CloseHandle");
    g_fake.closedHandles.push_back(handle);
    return TRUE;
}

constexpr services::SystemCalls kFakeSystemCalls = {
    FakeGetVersionEx,          FakeExitWindowsEx,          FakeOpenProcessToken, FakeLookupPrivilegeValue,
    FakeAdjustTokenPrivileges, FakeInitiateSystemShutdown, FakeCloseHandle,
};

}  // namespace

FakeSystemInForce::FakeSystemInForce() : scope_(kFakeSystemCalls) {
    g_fake = FakeSystem();
}

FakeSystemInForce::~FakeSystemInForce() {
    g_fake = FakeSystem();
}

FakeSystem& FakeSystemInForce::fake() {
    return g_fake;
}

}  // namespace zs::test
