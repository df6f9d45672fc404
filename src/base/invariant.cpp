#include "base/invariant.h"

#if defined(ZS_CHECK_INVARIANTS)

#include <cstdio>
#include <cstdlib>

namespace zs::codec {

void InvariantFailed(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: codec invariant failed: %s\n", file, line, condition);
    std::abort();
}

}  // namespace zs::codec

#endif
