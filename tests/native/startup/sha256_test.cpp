// SHA-256 against the published test vectors (FIPS 180-2, appendix B, and NIST's long message), and the same
// digests when the bytes arrive in pieces of every size around the 64-byte block; the processor's SHA
// instructions against the portable rounds.
#include "startup/sha256.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "startup/sha256_blocks.h"

namespace zs {
namespace {

std::string HexDigest(const std::string& message, size_t piece) {
    Sha256 hash;
    for (size_t at = 0; at < message.size(); at += piece) {
        hash.Update(message.data() + at, message.size() - at < piece ? message.size() - at : piece);
    }
    uint8_t digest[kSha256DigestSize];
    hash.Final(digest);
    char hex[kSha256HexLength + 1];
    Sha256Hex(digest, hex);
    return hex;
}

struct Vector {
    std::string message;
    const char* digest;
};

const Vector kVectors[] = {
    {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
    {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
    {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
     "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
    {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrs"
     "tnopqrstu",
     "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
    {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
};

TEST(Sha256, GivesThePublishedDigests) {
    for (const Vector& vector : kVectors) {
        EXPECT_EQ(HexDigest(vector.message, vector.message.size() + 1), vector.digest)
            << vector.message.substr(0, 60);
    }
}

// Pieces of 1 to 130 bytes cross the block boundary at every offset, and the padding of the 896-bit message
// (112 bytes: its length no longer fits the last block) is taken after each of them.
TEST(Sha256, GivesTheSameDigestWhateverPiecesTheBytesArriveIn) {
    for (const Vector& vector : kVectors) {
        const size_t largest = vector.message.size() > 1000 ? 8 : 130;
        for (size_t piece = 1; piece <= largest; ++piece) {
            EXPECT_EQ(HexDigest(vector.message, piece), vector.digest) << "pieces of " << piece;
        }
    }
    Sha256 reused;
    reused.Update("xyz", 3);
    reused.Init();
    reused.Update("abc", 3);
    uint8_t digest[kSha256DigestSize];
    reused.Final(digest);
    char hex[kSha256HexLength + 1];
    Sha256Hex(digest, hex);
    EXPECT_STREQ(hex, kVectors[1].digest) << "Init starts afresh";
}

// The processor's SHA instructions and the portable rounds leave the same state after any number of blocks.
TEST(Sha256, TheShaInstructionsCompressAsThePortableRoundsDo) {
    if (!sha256_blocks::ShaExtensionsAvailable()) GTEST_SKIP() << "this processor has no SHA instructions";
    std::string blocks;
    for (int i = 0; i < 64 * 9; ++i) blocks += static_cast<char>(i * 131 + i / 7);
    for (size_t count = 0; count <= 9; ++count) {
        uint32_t portable[8] = {1, 2, 3, 4, 5, 6, 7, 0xffffffff};
        uint32_t instructions[8] = {1, 2, 3, 4, 5, 6, 7, 0xffffffff};
        const auto* bytes = reinterpret_cast<const uint8_t*>(blocks.data());
        sha256_blocks::CompressPortable(portable, bytes, count);
        sha256_blocks::CompressWithShaExtensions(instructions, bytes, count);
        EXPECT_TRUE(std::equal(portable, portable + 8, instructions)) << count << " blocks";
    }
}

}  // namespace
}  // namespace zs
