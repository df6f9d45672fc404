// SHA-256's compression of whole 64-byte blocks into the state (a, b, ..., h), the part that takes the time:
// the portable rounds, and on x86 processors that have them the SHA instructions, which do the same rounds
// many times faster. Sha256 (sha256.h) picks one when it starts a hash; the tests compare the two.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zs::sha256_blocks {

// The first 32 bits of the fractional parts of the cube roots of the first 64 primes.
extern const uint32_t kRoundConstants[64];

void CompressPortable(uint32_t (&state)[8], const uint8_t* blocks, size_t count);

// Whether this processor has the SHA instructions and the SSSE3 and SSE4.1 ones used with them (asked with
// CPUID); always false where the compiler targets no x86.
bool ShaExtensionsAvailable();
// Only where ShaExtensionsAvailable(); elsewhere the portable rounds.
void CompressWithShaExtensions(uint32_t (&state)[8], const uint8_t* blocks, size_t count);

}  // namespace zs::sha256_blocks
