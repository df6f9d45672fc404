// The exported restart. Through the fake system calls: which calls each family gets, in which order and with
// which arguments, and what each refusal returns. Without them: the NT branch as Wine answers it, whose
// shutdown request is accepted and restarts nothing.

#include "services/platform_win32.h"
#include "services/restart_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_system_calls.h"
#include "services/system_calls_win32.h"

namespace zs {
namespace {

using Calls = std::vector<std::string>;
using test::FakeSystem;
using test::FakeSystemInForce;

void PretendWindows95(FakeSystem& fake) {
    fake.platformId = VER_PLATFORM_WIN32_WINDOWS;
    fake.majorVersion = 4;
    fake.minorVersion = 0;
}

void PretendWindowsNt(FakeSystem& fake, DWORD majorVersion, DWORD minorVersion) {
    fake.platformId = VER_PLATFORM_WIN32_NT;
    fake.majorVersion = majorVersion;
    fake.minorVersion = minorVersion;
}

const Calls kFullNtSequence = {
    "GetVersionExA",           "OpenProcessToken",      "LookupPrivilegeValueA", "AdjustTokenPrivileges",
    "InitiateSystemShutdownA", "AdjustTokenPrivileges", "CloseHandle",
};

TEST(Reboot, Windows95AsksForTheRestartAloneAndReturnsTheAnswer) {
    FakeSystemInForce system;
    PretendWindows95(system.fake());
    system.fake().exitWindowsResult = 7;
    EXPECT_EQ(Reboot(), 7);
    EXPECT_EQ(system.fake().calls, (Calls{"GetVersionExA", "ExitWindowsEx"}));
    EXPECT_EQ(system.fake().exitFlags, static_cast<UINT>(EWX_REBOOT));
    EXPECT_EQ(system.fake().exitReason, 0u);

    system.fake().calls.clear();
    system.fake().exitWindowsResult = FALSE;
    EXPECT_EQ(Reboot(), 0);
    EXPECT_EQ(system.fake().calls, (Calls{"GetVersionExA", "ExitWindowsEx"}));
}

TEST(Reboot, NtEnablesTheShutdownPrivilegeAroundAnImmediateRestartRequest) {
    const std::pair<DWORD, DWORD> versions[] = {{3, 51}, {4, 0}, {10, 0}};
    for (const auto& [major, minor] : versions) {
        SCOPED_TRACE(major);
        FakeSystemInForce system;
        FakeSystem& fake = system.fake();
        PretendWindowsNt(fake, major, minor);
        EXPECT_EQ(Reboot(), 1);
        EXPECT_EQ(fake.calls, kFullNtSequence);

        EXPECT_EQ(fake.tokenProcess, GetCurrentProcess());
        EXPECT_EQ(fake.tokenAccess, 0x28u);
        EXPECT_FALSE(fake.systemNameGiven);
        EXPECT_EQ(fake.privilegeName, "SeShutdownPrivilege");

        ASSERT_EQ(fake.adjustments.size(), 2u);
        const DWORD expectedAttributes[] = {SE_PRIVILEGE_ENABLED, 0};
        for (int i = 0; i < 2; ++i) {
            const test::PrivilegeAdjustment& adjustment = fake.adjustments[i];
            EXPECT_FALSE(adjustment.disableAll);
            EXPECT_EQ(adjustment.privilegeCount, 1u);
            EXPECT_EQ(adjustment.luid.LowPart, test::kFakeShutdownLuid.LowPart);
            EXPECT_EQ(adjustment.luid.HighPart, test::kFakeShutdownLuid.HighPart);
            EXPECT_EQ(adjustment.attributes, expectedAttributes[i]);
            EXPECT_EQ(adjustment.previousStateLength, 0u);
            EXPECT_FALSE(adjustment.previousStateGiven);
            EXPECT_FALSE(adjustment.returnLengthGiven);
        }

        ASSERT_EQ(fake.shutdowns.size(), 1u);
        EXPECT_FALSE(fake.shutdowns[0].machineNameGiven);
        EXPECT_FALSE(fake.shutdowns[0].messageGiven);
        EXPECT_EQ(fake.shutdowns[0].timeoutSeconds, 0u);
        EXPECT_FALSE(fake.shutdowns[0].forceAppsClosed);
        EXPECT_TRUE(fake.shutdowns[0].rebootAfterShutdown);

        EXPECT_EQ(fake.closedHandles, std::vector<HANDLE>{test::kFakeToken});
    }
}

TEST(Reboot, NtWithoutAccessToTheTokenDoesNothing) {
    FakeSystemInForce system;
    system.fake().openTokenResult = FALSE;
    EXPECT_EQ(Reboot(), 0);
    EXPECT_EQ(system.fake().calls, (Calls{"GetVersionExA", "OpenProcessToken"}));
}

TEST(Reboot, NtWithAnUnknownPrivilegeStartsNoShutdown) {
    FakeSystemInForce system;
    system.fake().lookupResult = FALSE;
    EXPECT_EQ(Reboot(), 0);
    EXPECT_EQ(system.fake().calls,
              (Calls{"GetVersionExA", "OpenProcessToken", "LookupPrivilegeValueA", "CloseHandle"}));
}

TEST(Reboot, NtUnderAnAccountWithoutTheShutdownRightStartsNoShutdown) {
    FakeSystemInForce system;
    system.fake().enablingError = ERROR_NOT_ALL_ASSIGNED;
    EXPECT_EQ(Reboot(), 0);
    EXPECT_EQ(system.fake().calls, (Calls{"GetVersionExA", "OpenProcessToken", "LookupPrivilegeValueA",
                                          "AdjustTokenPrivileges", "CloseHandle"}));
    EXPECT_TRUE(system.fake().shutdowns.empty());
}

TEST(Reboot, NtWithARefusedShutdownLeavesThePrivilegeEnabled) {
    FakeSystemInForce system;
    system.fake().shutdownResult = FALSE;
    EXPECT_EQ(Reboot(), 0);
    EXPECT_EQ(system.fake().calls,
              (Calls{"GetVersionExA", "OpenProcessToken", "LookupPrivilegeValueA", "AdjustTokenPrivileges",
                     "InitiateSystemShutdownA", "CloseHandle"}));
    ASSERT_EQ(system.fake().adjustments.size(), 1u);
    EXPECT_EQ(system.fake().adjustments[0].attributes, static_cast<DWORD>(SE_PRIVILEGE_ENABLED));
}

TEST(Reboot, NtReportsAFailureToDisableThePrivilegeAfterTheRequest) {
    FakeSystemInForce system;
    system.fake().disablingError = ERROR_ACCESS_DENIED;
    EXPECT_EQ(Reboot(), 0);
    EXPECT_EQ(system.fake().calls, kFullNtSequence);
}

TEST(Reboot, ThePlatformIsAskedAnewOnEveryCall) {
    FakeSystemInForce system;
    PretendWindows95(system.fake());
    EXPECT_EQ(Reboot(), 1);
    PretendWindowsNt(system.fake(), 4, 0);
    system.fake().calls.clear();
    EXPECT_EQ(Reboot(), 1);
    EXPECT_EQ(system.fake().calls, kFullNtSequence);
}

// Whether the process token holds the shutdown privilege, and whether it is enabled.
struct ShutdownPrivilegeState {
    bool held = false;
    bool enabled = false;
};

ShutdownPrivilegeState ReadShutdownPrivilege() {
    ShutdownPrivilegeState state;
    HANDLE token = nullptr;
    LUID shutdown;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return state;
    DWORD size = 0;
    GetTokenInformation(token, TokenPrivileges, nullptr, 0, &size);
    std::vector<char> buffer(size);
    if (size && LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &shutdown) &&
        GetTokenInformation(token, TokenPrivileges, buffer.data(), size, &size)) {
        const auto* privileges = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer.data());
        for (DWORD i = 0; i < privileges->PrivilegeCount; ++i) {
            const LUID_AND_ATTRIBUTES& entry = privileges->Privileges[i];
            if (entry.Luid.LowPart == shutdown.LowPart && entry.Luid.HighPart == shutdown.HighPart) {
                state.held = true;
                state.enabled = entry.Attributes & SE_PRIVILEGE_ENABLED;
            }
        }
    }
    CloseHandle(token);
    return state;
}

TEST(Reboot, UnderWineTheNtBranchIsAcceptedAndLeavesThePrivilegeDisabled) {
    ASSERT_EQ(&services::CurrentSystemCalls(), &services::RealSystemCalls());
    ASSERT_EQ(GetPlatform(), PLATFORM_NT4_OR_LATER);
    ASSERT_TRUE(ReadShutdownPrivilege().held);
    // Wine accepts the shutdown request without restarting anything, so the whole branch runs for real: the
    // privilege is enabled, the request accepted and the privilege disabled again.
    EXPECT_EQ(Reboot(), 1);
    EXPECT_FALSE(ReadShutdownPrivilege().enabled);
}

}  // namespace
}  // namespace zs
