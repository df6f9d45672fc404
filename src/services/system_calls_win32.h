// The system calls behind the platform query and the restart, reached through a table so that a test can
// stand in for what it cannot let happen (a real restart) or cannot choose (the Windows version reported).
// The table in force is the real one unless a test installs its own with ScopedSystemCalls; the shipped
// program never does, and no setting outside the program can. The real table and the pointer to it are
// constant-initialised, so the exports work in a module whose C runtime start-up never ran.
#pragma once

#include <windows.h>

namespace zs::services {

// The signatures of the calls, as the system declares them (the text arguments in their ANSI forms).
using GetVersionExCall = BOOL(WINAPI*)(OSVERSIONINFOA* version);
using ExitWindowsExCall = BOOL(WINAPI*)(UINT flags, DWORD reason);
using OpenProcessTokenCall = BOOL(WINAPI*)(HANDLE process, DWORD access, HANDLE* token);
using LookupPrivilegeValueCall = BOOL(WINAPI*)(const char* systemName, const char* privilegeName, LUID* luid);
using AdjustTokenPrivilegesCall = BOOL(WINAPI*)(HANDLE token, BOOL disableAll, TOKEN_PRIVILEGES* newState,
                                                DWORD previousStateLength, TOKEN_PRIVILEGES* previousState,
                                                DWORD* returnLength);
using InitiateSystemShutdownCall = BOOL(WINAPI*)(char* machineName, char* message, DWORD timeoutSeconds,
                                                 BOOL forceAppsClosed, BOOL rebootAfterShutdown);
using CloseHandleCall = BOOL(WINAPI*)(HANDLE handle);

struct SystemCalls {
    GetVersionExCall getVersionEx;
    ExitWindowsExCall exitWindowsEx;
    OpenProcessTokenCall openProcessToken;
    LookupPrivilegeValueCall lookupPrivilegeValue;
    AdjustTokenPrivilegesCall adjustTokenPrivileges;
    InitiateSystemShutdownCall initiateSystemShutdown;
    CloseHandleCall closeHandle;
};

// The table that calls the system itself.
const SystemCalls& RealSystemCalls();

// The table in force.
const SystemCalls& CurrentSystemCalls();

// For tests only: puts `calls` in force for the lifetime of this object, then the previous table again.
class ScopedSystemCalls {
  public:
    explicit ScopedSystemCalls(const SystemCalls& calls);
    ~ScopedSystemCalls();
    ScopedSystemCalls(const ScopedSystemCalls&) = delete;
    ScopedSystemCalls& operator=(const ScopedSystemCalls&) = delete;

  private:
    const SystemCalls* previous_;
};

}  // namespace zs::services
