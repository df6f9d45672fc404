// The exported restart of setup.exe, also called at the end of a run when the main module asked for it.
// Standard-call convention on 32-bit Windows.
#pragma once

#include "base/calling_convention.h"

extern "C" {
// Restarts Windows; nonzero when the restart was set going.
int ZS_STDCALL Reboot(void);
}
