// The adaptive Huffman model: starting codes, the order invariants after updates, and the rebuild.
#include "compress/huffman_model.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

namespace zs::codec {
namespace {

std::string CodeOf(const HuffmanModel& m, int symbol) {
    int length;
    uint32_t code = SymbolCode(m, symbol, &length);
    std::string bits;
    for (int i = length - 1; i >= 0; --i) bits += ((code >> i) & 1) ? '1' : '0';
    return bits;
}

uint32_t LeafWeightSum(const HuffmanModel& m) {
    uint32_t sum = 0;
    for (int n = 0; n < NODE_COUNT; ++n) {
        if (m.child[n] >= NODE_COUNT) sum += m.weight[n];
    }
    return sum;
}

// Weights in node order, sums at internal nodes, and parent/child links agreeing both ways.
void ExpectConsistent(const HuffmanModel& m) {
    for (int n = 0; n < ROOT_NODE; ++n) ASSERT_LE(m.weight[n], m.weight[n + 1]) << "at node " << n;
    ASSERT_EQ(m.weight[NODE_COUNT], SENTINEL_WEIGHT);
    ASSERT_EQ(m.parent[ROOT_NODE], 0);
    for (int n = 0; n < NODE_COUNT; ++n) {
        unsigned c = m.child[n];
        if (c >= NODE_COUNT) {
            ASSERT_EQ(m.parent[c], n);
        } else {
            ASSERT_EQ(c % 2, 0u);
            ASSERT_EQ(m.parent[c], n);
            ASSERT_EQ(m.parent[c + 1], n);
            ASSERT_EQ(m.weight[n], m.weight[c] + m.weight[c + 1]);
        }
    }
}

TEST(HuffmanModel, StartsWithNineBitCodesForTheFirst116SymbolsAndEightBitsAfter) {
    HuffmanModel m;
    InitModel(m);
    EXPECT_EQ(CodeOf(m, 0), "110001100");
    EXPECT_EQ(CodeOf(m, 97), "111101101");
    EXPECT_EQ(CodeOf(m, 255), "10001011");
    EXPECT_EQ(CodeOf(m, 256), "10001100");
    EXPECT_EQ(CodeOf(m, 313), "11000101");
    for (int s = 0; s < SYMBOL_COUNT; ++s) {
        EXPECT_EQ(CodeOf(m, s).size(), s < 116 ? 9u : 8u) << s;
    }
    ExpectConsistent(m);
    EXPECT_EQ(m.weight[ROOT_NODE], 314);
}

TEST(HuffmanModel, StaysOrderedAndCountsEverySymbolAtTheRoot) {
    HuffmanModel m;
    InitModel(m);
    std::mt19937 rng(7);
    std::geometric_distribution<int> skewed(0.05);
    for (int i = 1; i <= 20000; ++i) {
        UpdateModel(m, skewed(rng) % SYMBOL_COUNT);
        if (i % 997 == 0) {
            ASSERT_NO_FATAL_FAILURE(ExpectConsistent(m));
        }
        ASSERT_EQ(m.weight[ROOT_NODE], 314u + i);
    }
    EXPECT_EQ(LeafWeightSum(m), m.weight[ROOT_NODE]);
}

TEST(HuffmanModel, FirstRebuildComesWithThe32455thSymbolAndKeepsTheInvariants) {
    HuffmanModel m;
    InitModel(m);
    std::mt19937 rng(9);
    for (int i = 1; i < 32455; ++i) UpdateModel(m, static_cast<int>(rng() % 40));
    ASSERT_EQ(m.weight[ROOT_NODE], REBUILD_WEIGHT);
    UpdateModel(m, 5);  // halves, rebuilds, then counts this symbol
    EXPECT_LT(m.weight[ROOT_NODE], REBUILD_WEIGHT / 2 + 400);
    EXPECT_EQ(LeafWeightSum(m), m.weight[ROOT_NODE]);
    ExpectConsistent(m);
    // A symbol seen once keeps weight 1 after halving: (1 + 1) / 2.
    EXPECT_EQ(m.weight[m.parent[NODE_COUNT + 300]], 1);
}

// The rebuild by its plain steps: halve the leaves, then insert each new internal node after every node of
// equal or smaller weight, moving the nodes after it up by one.
void RebuildByInsertion(HuffmanModel& m) {
    int j = 0;
    for (int n = 0; n < NODE_COUNT; ++n) {
        if (m.child[n] >= NODE_COUNT) {
            m.weight[j] = static_cast<uint16_t>((m.weight[n] + 1) / 2);
            m.child[j] = m.child[n];
            ++j;
        }
    }
    for (int i = 0, next = SYMBOL_COUNT; next < NODE_COUNT; i += 2, ++next) {
        unsigned w = m.weight[i] + m.weight[i + 1];
        int k = next - 1;
        while (w < m.weight[k]) --k;
        ++k;
        for (int n = next; n > k; --n) {
            m.weight[n] = m.weight[n - 1];
            m.child[n] = m.child[n - 1];
        }
        m.weight[k] = static_cast<uint16_t>(w);
        m.child[k] = static_cast<uint16_t>(i);
    }
    for (int n = 0; n < NODE_COUNT; ++n) {
        unsigned c = m.child[n];
        m.parent[c] = static_cast<uint16_t>(n);
        if (c < NODE_COUNT) m.parent[c + 1] = static_cast<uint16_t>(n);
    }
}

// The rebuild merges the sorted leaves with the internal nodes as they come; ties between a leaf and an
// internal node, and between internal nodes, must fall exactly as the insertion places them.
TEST(HuffmanModel, RebuildPlacesEveryNodeWhereThePlainInsertionDoes) {
    std::mt19937 rng(23);
    for (int round = 0; round < 40; ++round) {
        HuffmanModel m;
        InitModel(m);
        // Few distinct symbols give many equal weights; many give long runs of ones.
        int spread = round % 2 == 0 ? 6 + round : SYMBOL_COUNT;
        int updates = 1000 + static_cast<int>(rng() % 30000);
        for (int i = 0; i < updates && m.weight[ROOT_NODE] < REBUILD_WEIGHT; ++i) {
            UpdateModel(m, static_cast<int>(rng() % spread));
        }
        HuffmanModel expected = m;
        RebuildByInsertion(expected);
        RebuildModel(m);
        ASSERT_EQ(std::memcmp(m.weight, expected.weight, sizeof m.weight), 0) << "round " << round;
        ASSERT_EQ(std::memcmp(m.child, expected.child, sizeof m.child), 0) << "round " << round;
        ASSERT_EQ(std::memcmp(m.parent, expected.parent, sizeof(uint16_t) * (NODE_COUNT + SYMBOL_COUNT)), 0);
        ASSERT_NO_FATAL_FAILURE(ExpectConsistent(m));
    }
}

TEST(HuffmanModel, CodesStayPrefixFreeAndDecodableAfterManyUpdates) {
    HuffmanModel m;
    InitModel(m);
    std::mt19937 rng(11);
    for (int i = 0; i < 100000; ++i)
        UpdateModel(m, static_cast<int>(rng() % 7 == 0 ? rng() % 314 : rng() % 12));
    for (int s = 0; s < SYMBOL_COUNT; ++s) {
        int length;
        uint32_t code = SymbolCode(m, s, &length);
        ASSERT_LE(length, MAX_CODE_BITS);
        unsigned n = m.child[ROOT_NODE];
        for (int i = length - 1; i >= 0; --i) {
            ASSERT_LT(n, static_cast<unsigned>(NODE_COUNT)) << "reached a leaf before the code ended";
            n = m.child[n + ((code >> i) & 1)];
        }
        ASSERT_EQ(n, static_cast<unsigned>(NODE_COUNT + s));
    }
}

}  // namespace
}  // namespace zs::codec
