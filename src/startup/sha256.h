// SHA-256 (FIPS 180-4) over bytes handed in as they come: Init, any number of Updates, Final. Small enough
// for setup.exe, which hashes a start-up file while it stages it: no tables beyond the 64 round constants,
// and no allocation. Where the processor has the SHA instructions (x86), whole blocks go through them, many
// times faster than the portable rounds (sha256_blocks.h): fast enough not to slow the staging down.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zs {

inline constexpr size_t kSha256DigestSize = 32;
inline constexpr size_t kSha256HexLength = 2 * kSha256DigestSize;

class Sha256 {
  public:
    Sha256() { Init(); }

    // Starts a new hash (the constructor has done so already).
    void Init();
    void Update(const void* data, size_t size);
    // Update in the form of a callback that hands bytes with a context, which is the Sha256 (the codec's
    // WriteObserver, for one).
    static void UpdateOf(void* hash, const uint8_t* data, size_t size) {
        static_cast<Sha256*>(hash)->Update(data, size);
    }
    // Writes the digest of everything handed in since Init. The object must be Init'ed again before reuse.
    void Final(uint8_t (&digest)[kSha256DigestSize]);

  private:
    void CompressBlocks(const uint8_t* blocks, size_t count);

    uint32_t state_[8];
    uint64_t length_;  // bytes handed in
    uint8_t block_[64];
    size_t blockUsed_;
    bool shaExtensions_;  // the processor's SHA instructions compress the blocks
};

// The digest as 64 lower-case hex digits and a terminating NUL.
void Sha256Hex(const uint8_t (&digest)[kSha256DigestSize], char (&hex)[kSha256HexLength + 1]);

}  // namespace zs
