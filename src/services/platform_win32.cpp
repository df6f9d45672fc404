// The exported platform and language-version queries.
#include "services/platform_win32.h"

#include <windows.h>

#include "services/system_calls_win32.h"

namespace {

// The version record's size as the callers of the version query have always passed it.
constexpr DWORD kVersionRecordSize = 148;
static_assert(sizeof(OSVERSIONINFOA) == kVersionRecordSize, "OSVERSIONINFOA must be the 148-byte record");

}  // namespace

extern "C" int ZS_STDCALL GetPlatform(void) {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = kVersionRecordSize;
    // The query fails only on a system that predates it, which makes the NT family of version 4 or later the
    // sensible answer: the restart then takes its careful path, which asks for the shutdown privilege first.
    if (!zs::services::CurrentSystemCalls().getVersionEx(&version)) return PLATFORM_NT4_OR_LATER;
    if (version.dwPlatformId & 1) return PLATFORM_WIN95_FAMILY;
    return version.dwMajorVersion < 4 ? PLATFORM_NT3_OR_WIN32S : PLATFORM_NT4_OR_LATER;
}

extern "C" int ZS_STDCALL ZemGetLanguageVersion(void) {
    return 1;
}
