// A stand-in for the system calls of the platform query and the restart: it answers as configured and
// records every call, so that the tests can see which calls the restart makes, in which order and with which
// arguments, without restarting anything.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "services/system_calls_win32.h"

namespace zs::test {

struct PrivilegeAdjustment {
    BOOL disableAll;
    DWORD privilegeCount;
    LUID luid;
    DWORD attributes;
    DWORD previousStateLength;
    bool previousStateGiven;
    bool returnLengthGiven;
};

struct ShutdownRequest {
    bool machineNameGiven;
    bool messageGiven;
    DWORD timeoutSeconds;
    BOOL forceAppsClosed;
    BOOL rebootAfterShutdown;
};

struct FakeSystem {
    // What the calls answer.
    DWORD platformId = VER_PLATFORM_WIN32_NT;
    DWORD majorVersion = 4;
    DWORD minorVersion = 0;
    BOOL versionQueryResult = TRUE;
    BOOL exitWindowsResult = TRUE;
    BOOL openTokenResult = TRUE;
    BOOL lookupResult = TRUE;
    DWORD enablingError = ERROR_SUCCESS;  // the error code the enabling adjustment leaves
    DWORD disablingError = ERROR_SUCCESS;
    BOOL shutdownResult = TRUE;

    // What the calls were given.
    std::vector<std::string> calls;
    DWORD versionRecordSize = 0;
    UINT exitFlags = 0;
    DWORD exitReason = 0;
    HANDLE tokenProcess = nullptr;
    DWORD tokenAccess = 0;
    bool systemNameGiven = false;
    std::string privilegeName;
    std::vector<PrivilegeAdjustment> adjustments;
    std::vector<ShutdownRequest> shutdowns;
    std::vector<HANDLE> closedHandles;
};

// The handle and privilege identifier that the fake hands out.
extern const HANDLE kFakeToken;
extern const LUID kFakeShutdownLuid;

// Puts a fresh FakeSystem in force for the lifetime of this object.
class FakeSystemInForce {
  public:
    FakeSystemInForce();
    ~FakeSystemInForce();
    FakeSystemInForce(const FakeSystemInForce&) = delete;
    FakeSystemInForce& operator=(const FakeSystemInForce&) = delete;

    FakeSystem& fake();

  private:
    services::ScopedSystemCalls scope_;
};

}  // namespace zs::test
