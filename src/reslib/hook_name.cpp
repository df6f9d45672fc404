#include "reslib/hook_name.h"

namespace {

// The hook text of this build: eight zero bytes, read-only, so the text is empty and stays valid for
// as long as the library is loaded.
const char kHookName[8] = {};

}  // namespace

extern "C" const char* GetHookName() {
    return kHookName;
}
