// The adaptive Huffman model over the 314 symbols of the code stream: the 256 byte values and the 58 match
// lengths 3..60 (symbol = length + 253).
//
// The tree lives in three flat tables. Invariants after every operation:
//   - the root is node ROOT_NODE; the two children of an internal node stand at adjacent indices, the first
//     at an even index; the bit to the first child is 0, to the second 1;
//   - weight[0] <= weight[1] <= ... <= weight[ROOT_NODE]; weight[NODE_COUNT] and weight[NODE_COUNT + 1] hold
//     the sentinel 0xFFFF that stops the search for an exchange partner without a bound check;
//   - weight[SCRATCH_NODE] belongs to no node: a walk that counts it counts nothing (its neighbour holds the
//     sentinel, so it never leads to an exchange);
//   - child[n] >= NODE_COUNT marks a leaf holding symbol child[n] - NODE_COUNT;
//   - parent[NODE_COUNT + s] is the node holding symbol s; parent[ROOT_NODE] is 0, which ends the walk to the
//     root (no node but the root has a parent below SYMBOL_COUNT).
// Compressor and decompressor start from the same state and apply the same updates, so no code table is
// stored.
#pragma once

#include <cstdint>

#include "base/invariant.h"
#include "compress/format.h"

namespace zs::codec {

inline constexpr int NODE_COUNT = 2 * SYMBOL_COUNT - 1;  // 627
inline constexpr int ROOT_NODE = NODE_COUNT - 1;         // 626
inline constexpr uint32_t REBUILD_WEIGHT = 0x8000;
inline constexpr uint16_t SENTINEL_WEIGHT = 0xFFFF;

// The longest code, and why no code is longer.
//
// Weights never decrease along the node indices and siblings stand side by side (the sibling property), so
// the tree is a Huffman tree of its leaf weights, and every leaf weighs at least 1 (a halving rounds up). A
// parent weighs more than either child, so it stands above both, and above their pair: on the path to a
// leaf at depth d, let v(k) be the node at depth k and s(k) its sibling. The pair v(k + 1), s(k + 1) stands
// below the pair v(k), s(k), so s(k) weighs at least as much as v(k + 1), and
//     w(v(k - 1)) = w(v(k)) + w(s(k)) >= w(v(k)) + w(v(k + 1)),
// with w(v(d)) >= 1 and w(v(d - 1)) >= 2: the node at depth k weighs at least the Fibonacci number
// F(d - k + 2) (F(1) = F(2) = 1), the root at least F(d + 2).
// A code is read or written while the root weighs at most REBUILD_WEIGHT (reaching it, the model is halved
// before the next count), so the longest code is the largest d with F(d + 2) <= REBUILD_WEIGHT:
// F(23) = 28,657 <= 0x8000 < F(24) = 46,368 gives 21 bits. This holds for any sequence of symbols, so a
// damaged stream cannot lead a walk deeper either.
constexpr int LongestCodeBelowRootWeight(uint32_t rootWeight) {
    uint32_t previous = 1, current = 2;  // F(d + 1), F(d + 2) for d = 1
    int depth = 1;
    while (previous + current <= rootWeight) {
        uint32_t next = previous + current;
        previous = current;
        current = next;
        ++depth;
    }
    return depth;
}
inline constexpr int MAX_CODE_BITS = LongestCodeBelowRootWeight(REBUILD_WEIGHT);
static_assert(MAX_CODE_BITS == 21, "F(23) <= 0x8000 < F(24)");
static_assert(MAX_CODE_BITS <= 32, "a code is assembled in 32 bits");

// An item of the code stream: a symbol's code and, for a match, the offset field.
inline constexpr int MAX_ITEM_BITS = MAX_CODE_BITS + OFFSET_BITS;

inline constexpr int PARENT_SCRATCH = NODE_COUNT + SYMBOL_COUNT;
inline constexpr int SCRATCH_NODE = NODE_COUNT + 2;

struct HuffmanModel {
    // The sentinel and one more entry the exchange may read past it; the scratch node and its sentinel.
    uint16_t weight[NODE_COUNT + 4];
    uint16_t child[NODE_COUNT];
    uint16_t parent[NODE_COUNT + SYMBOL_COUNT + 1];  // the last entry is scratch
};

void InitModel(HuffmanModel& m);
void RebuildModel(HuffmanModel& m);

// Exchanges node n (whose weight just became k) with the last node of the run whose weight is still below k,
// and returns that node's index: the walk to the root goes on from there.
inline unsigned ExchangeUpward(HuffmanModel& m, unsigned n, unsigned k) {
    // The run of nodes below k is usually short: count its first two members without branching.
    unsigned l = n + 1 + (k > m.weight[n + 2]) + (k > m.weight[n + 3]);
    if (l == n + 3) {
        while (k > m.weight[l + 1]) ++l;
    }
    m.weight[n] = m.weight[l];
    m.weight[l] = static_cast<uint16_t>(k);

    // A leaf's child value has no second child; its second parent entry goes to a scratch slot instead of a
    // branch that exchanges make impossible to predict.
    unsigned i = m.child[n];
    unsigned j = m.child[l];
    m.parent[i] = static_cast<uint16_t>(l);
    m.parent[i < static_cast<unsigned>(NODE_COUNT) ? i + 1 : PARENT_SCRATCH] = static_cast<uint16_t>(l);
    m.parent[j] = static_cast<uint16_t>(n);
    m.parent[j < static_cast<unsigned>(NODE_COUNT) ? j + 1 : PARENT_SCRATCH] = static_cast<uint16_t>(n);
    m.child[l] = static_cast<uint16_t>(i);
    m.child[n] = static_cast<uint16_t>(j);
    return l;
}

// What an exchange tells the decoder's table; the compressor needs nothing.
struct NoExchangeHook {
    void operator()(const HuffmanModel&, unsigned, unsigned) const {}
};

// Adds one to the weights from node n up to the root, exchanging nodes so that the weights stay in order;
// `exchanged(m, n, l)` hears of every exchange.
template <class Hook>
inline void CountFrom(HuffmanModel& m, unsigned n, const Hook& exchanged) {
    do {
        unsigned k = ++m.weight[n];
        if (k > m.weight[n + 1]) {
            unsigned l = ExchangeUpward(m, n, k);
            exchanged(m, n, l);
            n = l;
        }
        n = m.parent[n];
    } while (n != 0);
}

// Counts one occurrence of `symbol`.
inline void UpdateModel(HuffmanModel& m, int symbol) {
    if (m.weight[ROOT_NODE] == REBUILD_WEIGHT) RebuildModel(m);
    CountFrom(m, m.parent[NODE_COUNT + symbol], NoExchangeHook());
}

// The current code of `symbol`, right-aligned in the result, first bit (the one taken at the root) highest;
// *length receives the number of bits.
inline uint32_t SymbolCode(const HuffmanModel& m, int symbol, int* length) {
    uint32_t code = 0;
    int bits = 0;
    unsigned n = m.parent[NODE_COUNT + symbol];
    do {
        ZS_ASSERT(bits < MAX_CODE_BITS);
        code |= static_cast<uint32_t>(n & 1) << bits;
        ++bits;
        n = m.parent[n];
    } while (n != static_cast<unsigned>(ROOT_NODE));
    *length = bits;
    return code;
}

// The current code of `symbol`, right-aligned in the result, first bit (the one taken at the root) highest,
// with *length its number of bits; then counts the symbol. Same result as SymbolCode and then UpdateModel.
//
// One walk up does both: counting a node changes no parent link until a count needs an exchange, so until
// then the walk reads the code from the tree as it was. An exchange of node n moves contents, not n itself:
// n's ancestors stay where they were, and the rest of the code is read from them; the count goes on from
// where the symbol's subtree went.
inline uint32_t EncodeAndCount(HuffmanModel& m, int symbol, int* length) {
    if (m.weight[ROOT_NODE] == REBUILD_WEIGHT) {
        uint32_t code = SymbolCode(m, symbol, length);
        UpdateModel(m, symbol);
        return code;
    }
    uint32_t code = 0;
    int bits = 0;
    unsigned n = m.parent[NODE_COUNT + symbol];
    do {
        ZS_ASSERT(bits < MAX_CODE_BITS);
        code |= static_cast<uint32_t>(n & 1) << bits;
        ++bits;
        unsigned k = ++m.weight[n];
        if (k > m.weight[n + 1]) {
            unsigned l = ExchangeUpward(m, n, k);
            for (unsigned a = m.parent[n]; a != static_cast<unsigned>(ROOT_NODE); a = m.parent[a]) {
                ZS_ASSERT(bits < MAX_CODE_BITS);
                code |= static_cast<uint32_t>(a & 1) << bits;
                ++bits;
            }
            *length = bits;
            CountFrom(m, m.parent[l], NoExchangeHook());
            return code;
        }
        n = m.parent[n];
    } while (n != static_cast<unsigned>(ROOT_NODE));
    ++m.weight[ROOT_NODE];
    *length = bits;
    return code;
}

}  // namespace zs::codec
