#include "startup/sha256.h"

#include <cstring>

#include "startup/sha256_blocks.h"

namespace zs {
namespace sha256_blocks {

// The first 32 bits of the fractional parts of the cube roots of the first 64 primes.
const uint32_t kRoundConstants[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

}  // namespace sha256_blocks

namespace {

inline uint32_t RotateRight(uint32_t x, int n) {
    return (x >> n) | (x << (32 - n));
}

inline uint32_t LoadBigEndian32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
           static_cast<uint32_t>(p[2]) << 8 | p[3];
}

inline void StoreBigEndian32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (24 - 8 * i));
}

// The message schedule is kept as a ring of 16 words, extended as the rounds go.
void CompressOne(uint32_t (&state)[8], const uint8_t* block) {
    uint32_t w[16];
    for (int i = 0; i < 16; ++i) w[i] = LoadBigEndian32(block + 4 * i);
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    uint32_t e = state[4], f = state[5], g = state[6], h = state[7];
    for (int i = 0; i < 64; ++i) {
        if (i >= 16) {
            uint32_t w15 = w[(i - 15) & 15];
            uint32_t w2 = w[(i - 2) & 15];
            uint32_t s0 = RotateRight(w15, 7) ^ RotateRight(w15, 18) ^ (w15 >> 3);
            uint32_t s1 = RotateRight(w2, 17) ^ RotateRight(w2, 19) ^ (w2 >> 10);
            w[i & 15] += s0 + w[(i - 7) & 15] + s1;
        }
        uint32_t t1 = h + (RotateRight(e, 6) ^ RotateRight(e, 11) ^ RotateRight(e, 25)) +
                      ((e & f) ^ (~e & g)) + sha256_blocks::kRoundConstants[i] + w[i & 15];
        uint32_t t2 =
            (RotateRight(a, 2) ^ RotateRight(a, 13) ^ RotateRight(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
        h = g;
        g = f;
        f = e;
        e = d + t1;
        d = c;
        c = b;
        b = a;
        a = t1 + t2;
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
    state[4] += e;
    state[5] += f;
    state[6] += g;
    state[7] += h;
}

}  // namespace

void sha256_blocks::CompressPortable(uint32_t (&state)[8], const uint8_t* blocks, size_t count) {
    for (; count > 0; --count, blocks += 64) CompressOne(state, blocks);
}

void Sha256::CompressBlocks(const uint8_t* blocks, size_t count) {
    if (count == 0) return;
    if (shaExtensions_) {
        sha256_blocks::CompressWithShaExtensions(state_, blocks, count);
    } else {
        sha256_blocks::CompressPortable(state_, blocks, count);
    }
}

void Sha256::Init() {
    // The first 32 bits of the fractional parts of the square roots of the first eight primes.
    static constexpr uint32_t kInitial[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                             0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    std::memcpy(state_, kInitial, sizeof state_);
    length_ = 0;
    blockUsed_ = 0;
    shaExtensions_ = sha256_blocks::ShaExtensionsAvailable();
}

void Sha256::Update(const void* data, size_t size) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    length_ += size;
    if (blockUsed_ > 0) {
        size_t take = sizeof block_ - blockUsed_ < size ? sizeof block_ - blockUsed_ : size;
        std::memcpy(block_ + blockUsed_, bytes, take);
        blockUsed_ += take;
        bytes += take;
        size -= take;
        if (blockUsed_ < sizeof block_) return;
        CompressBlocks(block_, 1);
        blockUsed_ = 0;
    }
    // Whole blocks straight from the caller's bytes.
    const size_t whole = size / sizeof block_;
    CompressBlocks(bytes, whole);
    bytes += whole * sizeof block_;
    size -= whole * sizeof block_;
    std::memcpy(block_, bytes, size);
    blockUsed_ = size;
}

void Sha256::Final(uint8_t (&digest)[kSha256DigestSize]) {
    // The padding: a 1 bit, zeros up to 56 bytes into a block, then the length in bits, big-endian.
    const uint64_t bits = length_ * 8;
    block_[blockUsed_++] = 0x80;
    if (blockUsed_ > 56) {
        std::memset(block_ + blockUsed_, 0, sizeof block_ - blockUsed_);
        CompressBlocks(block_, 1);
        blockUsed_ = 0;
    }
    std::memset(block_ + blockUsed_, 0, 56 - blockUsed_);
    StoreBigEndian32(block_ + 56, static_cast<uint32_t>(bits >> 32));
    StoreBigEndian32(block_ + 60, static_cast<uint32_t>(bits));
    CompressBlocks(block_, 1);
    for (int i = 0; i < 8; ++i) StoreBigEndian32(digest + 4 * i, state_[i]);
}

void Sha256Hex(const uint8_t (&digest)[kSha256DigestSize], char (&hex)[kSha256HexLength + 1]) {
    static constexpr char kDigits[] = "0123456789abcdef";
    for (size_t i = 0; i < kSha256DigestSize; ++i) {
        hex[2 * i] = kDigits[digest[i] >> 4];
        hex[2 * i + 1] = kDigits[digest[i] & 15];
    }
    hex[kSha256HexLength] = '\0';
}

}  // namespace zs
