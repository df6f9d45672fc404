// The SHA instructions of x86 processors (SHA-NI): SHA256RNDS2 does two rounds on the state kept as the two
// registers ABEF and CDGH, SHA256MSG1 and SHA256MSG2 extend the message schedule four words at a time. Only
// this function is compiled for them; the program runs on any x86 and asks the processor first.
#include "startup/sha256_blocks.h"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#include <immintrin.h>
#endif

namespace zs::sha256_blocks {

#if defined(__i386__) || defined(__x86_64__)

bool ShaExtensionsAvailable() {
    unsigned eax, ebx, ecx, edx;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return false;
    const bool ssse3 = (ecx & bit_SSSE3) != 0;
    const bool sse41 = (ecx & bit_SSE4_1) != 0;
    if (!__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx)) return false;
    return ssse3 && sse41 && (ebx & bit_SHA) != 0;
}

// A 32-bit Windows thread's stack may be aligned to 4 bytes only; the registers that spill need 16.
#ifdef __i386__
#define ZS_ALIGN_INCOMING_STACK __attribute__((force_align_arg_pointer))
#else
#define ZS_ALIGN_INCOMING_STACK
#endif

__attribute__((target("sha,ssse3,sse4.1"))) ZS_ALIGN_INCOMING_STACK void CompressWithShaExtensions(
    uint32_t (&state)[8], const uint8_t* blocks, size_t count) {
    // The message words are big-endian.
    const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bULL, 0x0405060700010203ULL);
    // (a, b, c, d) and (e, f, g, h) as the instructions hold them: ABEF and CDGH, a and c the highest words.
    const __m128i cdab =
        _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(&state[0])), 0xB1);
    const __m128i efgh =
        _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(&state[4])), 0x1B);
    __m128i abef = _mm_alignr_epi8(cdab, efgh, 8);
    __m128i cdgh = _mm_blend_epi16(efgh, cdab, 0xF0);
    for (; count > 0; --count, blocks += 64) {
        const __m128i abefBefore = abef;
        const __m128i cdghBefore = cdgh;
        // The schedule as a ring of four groups of four words: group i replaces group i - 4.
        __m128i w[4];
        for (int i = 0; i < 16; ++i) {
            __m128i& group = w[i & 3];
            if (i < 4) {
                group = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(blocks + 16 * i)),
                                         byteSwap);
            } else {
                const __m128i previous = w[(i + 3) & 3];
                const __m128i extended = _mm_add_epi32(_mm_sha256msg1_epu32(group, w[(i + 1) & 3]),
                                                       _mm_alignr_epi8(previous, w[(i + 2) & 3], 4));
                group = _mm_sha256msg2_epu32(extended, previous);
            }
            const __m128i message = _mm_add_epi32(
                group, _mm_loadu_si128(reinterpret_cast<const __m128i*>(&kRoundConstants[4 * i])));
            cdgh = _mm_sha256rnds2_epu32(cdgh, abef, message);
            abef = _mm_sha256rnds2_epu32(abef, cdgh, _mm_shuffle_epi32(message, 0x0E));
        }
        abef = _mm_add_epi32(abef, abefBefore);
        cdgh = _mm_add_epi32(cdgh, cdghBefore);
    }
    const __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
    const __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(&state[0]), _mm_blend_epi16(feba, dchg, 0xF0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(&state[4]), _mm_alignr_epi8(dchg, feba, 8));
}

#else

bool ShaExtensionsAvailable() {
    return false;
}

void CompressWithShaExtensions(uint32_t (&state)[8], const uint8_t* blocks, size_t count) {
    CompressPortable(state, blocks, count);
}

#endif

}  // namespace zs::sha256_blocks
