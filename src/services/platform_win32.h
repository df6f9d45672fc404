// Exported queries of setup.exe for the other modules of an installation: the platform and the language
// version. Standard-call convention on 32-bit Windows.
#pragma once

#include "base/calling_convention.h"

// Platform codes of GetPlatform.
enum PlatformCode : int {
    PLATFORM_NT3_OR_WIN32S = 1,  // platform identifier's lowest bit clear, major version below 4
    PLATFORM_WIN95_FAMILY = 2,   // platform identifier's lowest bit set
    PLATFORM_NT4_OR_LATER = 3,   // platform identifier's lowest bit clear, major version 4 or higher
};

extern "C" {
int ZS_STDCALL GetPlatform(void);
int ZS_STDCALL ZemGetLanguageVersion(void);
}
