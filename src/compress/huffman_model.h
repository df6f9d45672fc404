// The adaptive Huffman model over the 314 symbols of the code stream: the 256 byte values and the 58 match
// lengths 3..60 (symbol = length + 253).
//
// The tree lives in three flat tables. Invariants after every operation:
//   - the root is node ROOT_NODE; the two children of an internal node stand at adjacent indices, the first at
//     an even index; the bit to the first child is 0, to the second 1;
//   - weight[0] <= weight[1] <= ... <= weight[ROOT_NODE], and weight[NODE_COUNT] is the sentinel 0xFFFF that
//     stops the search for an exchange partner without a bound check;
//   - child[n] >= NODE_COUNT marks a leaf holding symbol child[n] - NODE_COUNT;
//   - parent[NODE_COUNT + s] is the node holding symbol s; parent[ROOT_NODE] is 0, which ends the walk to the
//     root (no node but the root has a parent below SYMBOL_COUNT).
// Compressor and decompressor start from the same state and apply the same updates, so no code table is
// stored. Weights are bounded by REBUILD_WEIGHT at the root, which keeps every code under 32 bits.
#pragma once

#include <cstdint>

namespace zs::codec {

inline constexpr int SYMBOL_COUNT = 314;
inline constexpr int NODE_COUNT = 2 * SYMBOL_COUNT - 1;  // 627
inline constexpr int ROOT_NODE = NODE_COUNT - 1;         // 626
inline constexpr uint32_t REBUILD_WEIGHT = 0x8000;
inline constexpr uint16_t SENTINEL_WEIGHT = 0xFFFF;
inline constexpr int MAX_CODE_BITS = 32;

struct HuffmanModel {
    uint16_t weight[NODE_COUNT + 1];
    uint16_t child[NODE_COUNT];
    uint16_t parent[NODE_COUNT + SYMBOL_COUNT];
};

void InitModel(HuffmanModel& m);
void RebuildModel(HuffmanModel& m);

// Exchanges node n (whose weight just became k) with the last node of the run whose weight is still below k,
// and returns that node's index: the walk to the root goes on from there.
inline unsigned ExchangeUpward(HuffmanModel& m, unsigned n, unsigned k) {
    unsigned l = n + 2;
    while (k > m.weight[l]) ++l;
    --l;
    m.weight[n] = m.weight[l];
    m.weight[l] = static_cast<uint16_t>(k);

    unsigned i = m.child[n];
    m.parent[i] = static_cast<uint16_t>(l);
    if (i < static_cast<unsigned>(NODE_COUNT)) m.parent[i + 1] = static_cast<uint16_t>(l);

    unsigned j = m.child[l];
    m.child[l] = static_cast<uint16_t>(i);
    m.parent[j] = static_cast<uint16_t>(n);
    if (j < static_cast<unsigned>(NODE_COUNT)) m.parent[j + 1] = static_cast<uint16_t>(n);
    m.child[n] = static_cast<uint16_t>(j);
    return l;
}

// Adds one to the weights from node n up to the root, exchanging nodes so that the weights stay in order.
inline void CountFrom(HuffmanModel& m, unsigned n) {
    do {
        unsigned k = ++m.weight[n];
        if (k > m.weight[n + 1]) n = ExchangeUpward(m, n, k);
        n = m.parent[n];
    } while (n != 0);
}

// Counts one occurrence of `symbol`.
inline void UpdateModel(HuffmanModel& m, int symbol) {
    if (m.weight[ROOT_NODE] == REBUILD_WEIGHT) RebuildModel(m);
    CountFrom(m, m.parent[NODE_COUNT + symbol]);
}

// Walks the code from the root, taking bits from the top of `bits`, counts the symbol found and returns it;
// *used receives the number of bits taken. Same result as walking down and then calling UpdateModel, but the
// walk back up follows the nodes recorded on the way down for as long as no exchange moves it off them, so
// those steps do not wait on a chain of parent loads.
inline int DecodeAndCount(HuffmanModel& m, uint64_t bits, int* used) {
    uint16_t path[64];
    int depth = 0;
    unsigned n = m.child[ROOT_NODE];
    do {
        unsigned position = n + static_cast<unsigned>(bits >> 63);
        bits <<= 1;
        path[depth++ & 63] = static_cast<uint16_t>(position);
        n = m.child[position];
    } while (n < static_cast<unsigned>(NODE_COUNT));
    *used = depth;
    int symbol = static_cast<int>(n) - NODE_COUNT;

    if (m.weight[ROOT_NODE] == REBUILD_WEIGHT || depth > 64) {
        UpdateModel(m, symbol);
        return symbol;
    }
    for (int i = depth - 1; i >= 0; --i) {
        unsigned p = path[i];
        unsigned k = ++m.weight[p];
        if (k > m.weight[p + 1]) {
            CountFrom(m, m.parent[ExchangeUpward(m, p, k)]);
            return symbol;
        }
    }
    ++m.weight[ROOT_NODE];
    return symbol;
}

// The current code of `symbol`, right-aligned in the result, first bit (the one taken at the root) highest;
// *length receives the number of bits.
inline uint32_t SymbolCode(const HuffmanModel& m, int symbol, int* length) {
    uint32_t code = 0;
    int bits = 0;
    unsigned n = m.parent[NODE_COUNT + symbol];
    do {
        code |= static_cast<uint32_t>(n & 1) << bits;
        ++bits;
        n = m.parent[n];
    } while (n != static_cast<unsigned>(ROOT_NODE));
    *length = bits;
    return code;
}

}  // namespace zs::codec
