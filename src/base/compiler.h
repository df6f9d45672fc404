// ZS_ALWAYS_INLINE: for the few functions of the hot loops that must be inlined whatever the compiler's size
// estimate says (the walks of the code tree are large once unrolled, and a call there costs more than the
// work of a level).
#pragma once

#if defined(__GNUC__)
#define ZS_ALWAYS_INLINE inline __attribute__((always_inline))
#else
#define ZS_ALWAYS_INLINE inline
#endif
