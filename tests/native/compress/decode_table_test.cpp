// The decoder's table of the first tree levels is kept in step with every exchange instead of being rebuilt;
// after any sequence of symbols it must equal a table built afresh from the tree.
#include "compress/huffman_decoder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace zs::codec {
namespace {

bool SameTable(const DecodeTable& a, const DecodeTable& b) {
    for (int i = 0; i < TABLE_SIZE; ++i) {
        const DecodeEntry& x = a.entry[i];
        const DecodeEntry& y = b.entry[i];
        if (x.bits != y.bits || x.reached != y.reached) return false;
        if (std::memcmp(x.path, y.path, sizeof(uint16_t) * x.bits) != 0) return false;
    }
    for (int n = 0; n < NODE_COUNT; ++n) {
        if (a.depth[n] != b.depth[n]) return false;
        if (a.depth[n] != 0 && a.code[n] != b.code[n]) return false;
    }
    return true;
}

// Decodes `symbol` from its current code, as the decompressor would.
int DecodeOne(HuffmanModel& m, DecodeTable& t, int symbol) {
    int length;
    uint32_t code = SymbolCode(m, symbol, &length);
    int used;
    int decoded = DecodeAndCount(m, t, static_cast<uint64_t>(code) << (64 - length), &used);
    EXPECT_EQ(used, length);
    return decoded;
}

TEST(DecodeTable, StaysEqualToAFreshTableThroughExchangesAndRebuilds) {
    HuffmanModel m;
    InitModel(m);
    DecodeTable t;
    BuildDecodeTable(t, m);
    std::mt19937 rng(17);
    std::geometric_distribution<int> skewed(0.03);
    for (int i = 0; i < 80000; ++i) {
        // Mostly a skewed few, sometimes anything: exchanges near the root as well as deep ones.
        int symbol = (rng() % 10 == 0) ? static_cast<int>(rng() % SYMBOL_COUNT) : skewed(rng) % SYMBOL_COUNT;
        ASSERT_EQ(DecodeOne(m, t, symbol), symbol) << "at symbol " << i;
        if (i % 97 == 0) {
            DecodeTable fresh;
            BuildDecodeTable(fresh, m);
            ASSERT_TRUE(SameTable(t, fresh)) << "table out of step after symbol " << i;
        }
    }
}

TEST(DecodeTable, DecodingMatchesTheModelUpdatedByTheCompressorsPath) {
    HuffmanModel decoder, encoder;
    InitModel(decoder);
    InitModel(encoder);
    DecodeTable t;
    BuildDecodeTable(t, decoder);
    std::mt19937 rng(5);
    for (int i = 0; i < 50000; ++i) {
        int symbol = static_cast<int>(rng() % (i % 1000 < 500 ? 20 : SYMBOL_COUNT));
        int length;
        uint32_t code = EncodeAndCount(encoder, symbol, &length);
        int used;
        ASSERT_EQ(DecodeAndCount(decoder, t, static_cast<uint64_t>(code) << (64 - length), &used), symbol);
        ASSERT_EQ(used, length);
    }
    // The scratch node past the sentinels counts the decoder's padding and is no part of the model.
    EXPECT_EQ(std::memcmp(decoder.weight, encoder.weight, sizeof(uint16_t) * (NODE_COUNT + 2)), 0);
    EXPECT_EQ(std::memcmp(decoder.child, encoder.child, sizeof decoder.child), 0);
}

}  // namespace
}  // namespace zs::codec
