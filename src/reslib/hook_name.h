// The one export of ZSRES.DLL. setup.exe does not link against the library: it looks the export up by
// name after loading it, so this header gives it the name and the function type to cast to.
#pragma once

extern "C" {
// Returns the hook command, a zero-terminated text owned by the library and valid while it is loaded.
// An empty text means that there is no hook; this build always returns the empty text.
const char* GetHookName();
}

namespace zs::reslib {

using GetHookNameFunction = const char* (*)();
inline constexpr char kGetHookNameExport[] = "GetHookName";

}  // namespace zs::reslib
