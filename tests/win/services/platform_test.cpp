// The exported platform and language-version queries: under Wine as it is, and through the fake version
// query for the systems that Wine does not pretend to be.

#include "services/platform_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "fake_system_calls.h"
#include "services/system_calls_win32.h"

namespace zs {
namespace {

using services::CurrentSystemCalls;
using services::RealSystemCalls;

TEST(GetPlatform, WineIsTheNtFamilyOfVersion4OrLater) {
    ASSERT_EQ(&CurrentSystemCalls(), &RealSystemCalls());
    EXPECT_EQ(GetPlatform(), PLATFORM_NT4_OR_LATER);
}

TEST(ZemGetLanguageVersion, IsAlwaysOne) {
    EXPECT_EQ(ZemGetLanguageVersion(), 1);
    EXPECT_EQ(ZemGetLanguageVersion(), 1);
}

struct VersionCase {
    const char* system;
    DWORD platformId;
    DWORD majorVersion;
    DWORD minorVersion;
    int expected;
};

TEST(GetPlatform, ClassifiesEachSystemByPlatformAndMajorVersionOnly) {
    const VersionCase cases[] = {
        {"Windows 95", VER_PLATFORM_WIN32_WINDOWS, 4, 0, PLATFORM_WIN95_FAMILY},
        {"Windows 98", VER_PLATFORM_WIN32_WINDOWS, 4, 10, PLATFORM_WIN95_FAMILY},
        {"Win32s", VER_PLATFORM_WIN32s, 3, 10, PLATFORM_NT3_OR_WIN32S},
        {"Windows NT 3.51", VER_PLATFORM_WIN32_NT, 3, 51, PLATFORM_NT3_OR_WIN32S},
        {"Windows NT 4.0", VER_PLATFORM_WIN32_NT, 4, 0, PLATFORM_NT4_OR_LATER},
        {"Windows 2000", VER_PLATFORM_WIN32_NT, 5, 0, PLATFORM_NT4_OR_LATER},
        {"Windows 10", VER_PLATFORM_WIN32_NT, 10, 0, PLATFORM_NT4_OR_LATER},
        // Only the lowest bit of the platform identifier counts.
        {"odd identifier", 5, 3, 0, PLATFORM_WIN95_FAMILY},
    };
    test::FakeSystemInForce system;
    for (const VersionCase& c : cases) {
        SCOPED_TRACE(c.system);
        system.fake().platformId = c.platformId;
        system.fake().majorVersion = c.majorVersion;
        system.fake().minorVersion = c.minorVersion;
        system.fake().calls.clear();
        EXPECT_EQ(GetPlatform(), c.expected);
        // Asked anew on every call, with the record's true size.
        EXPECT_EQ(system.fake().calls, std::vector<std::string>{"GetVersionExA"});
        EXPECT_EQ(system.fake().versionRecordSize, 148u);
    }
}

TEST(GetPlatform, AFailedVersionQueryCountsAsTheNtFamilyOfVersion4OrLater) {
    test::FakeSystemInForce system;
    system.fake().versionQueryResult = FALSE;
    system.fake().platformId = VER_PLATFORM_WIN32_WINDOWS;
    EXPECT_EQ(GetPlatform(), PLATFORM_NT4_OR_LATER);
}

}  // namespace
}  // namespace zs
