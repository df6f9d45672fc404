// ZS_ASSERT states a condition that the codec's reasoning proves (a bound, a precondition of a fast path).
// Builds with ZS_CHECK_INVARIANTS (the sanitizer and fuzz builds) check it and abort with the condition's
// text when it fails; other builds compile it away, so it costs nothing where the codec ships.
#pragma once

#if defined(ZS_CHECK_INVARIANTS)

namespace zs::codec {
[[noreturn]] void InvariantFailed(const char* condition, const char* file, int line);
}  // namespace zs::codec

#define ZS_ASSERT(condition) \
    ((condition) ? static_cast<void>(0) : ::zs::codec::InvariantFailed(#condition, __FILE__, __LINE__))

#else

#define ZS_ASSERT(condition) static_cast<void>(sizeof(!(condition)))

#endif
