// The calling convention of the exported functions: the standard Win32 convention (the called function
// removes the arguments) on 32-bit Windows, the platform's only convention everywhere else.
#pragma once

#if defined(_WIN32) && !defined(_WIN64)
#define ZS_STDCALL __attribute__((stdcall))
#else
#define ZS_STDCALL
#endif
