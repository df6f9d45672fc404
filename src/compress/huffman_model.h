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

// Counts one occurrence of `symbol`, exchanging nodes so that the weights stay in order.
inline void UpdateModel(HuffmanModel& m, int symbol) {
    if (m.weight[ROOT_NODE] == REBUILD_WEIGHT) RebuildModel(m);
    unsigned n = m.parent[NODE_COUNT + symbol];
    do {
        unsigned k = ++m.weight[n];
        if (k > m.weight[n + 1]) {
            // The partner is the last node of the run whose weight is still below k.
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
            n = l;
        }
        n = m.parent[n];
    } while (n != 0);
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
