// The decoding side of the adaptive Huffman model.
//
// Walking a code from the root costs one dependent load per bit. A table indexed by the next TABLE_BITS bits
// gives the outcome of the first TABLE_BITS steps at once: the nodes taken, and the leaf reached or the node
// from which the walk goes on. Only exchanges change the shape of the tree, and nearly all of them happen far
// below the table's levels, so the table is kept in step cheaply:
//   - depth[p] and code[p] give, for every node within the table's levels, its depth and code (0: deeper);
//   - an exchange of nodes n and l moves the subtree that was at l to n and the other way round; the nodes of
//     both subtrees that are or were within the table's levels get their new depth and code, and the entries
//     under the codes of n and l are walked again;
//   - a rebuild of the model rebuilds the table.
#pragma once

#include <cstdint>
#include <cstring>

#include "compress/huffman_model.h"

namespace zs::codec {

inline constexpr int TABLE_BITS = 6;
inline constexpr int TABLE_SIZE = 1 << TABLE_BITS;

struct DecodeEntry {
    uint16_t path[TABLE_BITS];  // the nodes taken, from below the root down
    uint16_t reached;           // a leaf's symbol + NODE_COUNT, or the first child of the node at TABLE_BITS
    uint16_t bits;              // bits taken: 1 .. TABLE_BITS
};

struct DecodeTable {
    DecodeEntry entry[TABLE_SIZE];
    uint8_t depth[NODE_COUNT];
    uint8_t code[NODE_COUNT];
};

// Builds the whole table for the model's current shape.
void BuildDecodeTable(DecodeTable& t, const HuffmanModel& m);

// Brings the table in step after nodes n and l were exchanged; needed only when one of them lies within the
// table's levels.
void RefreshAfterExchange(DecodeTable& t, const HuffmanModel& m, unsigned n, unsigned l);

struct DecodeTableHook {
    DecodeTable& table;
    void operator()(const HuffmanModel& m, unsigned n, unsigned l) const {
        if ((table.depth[n] | table.depth[l]) != 0) RefreshAfterExchange(table, m, n, l);
    }
};

// Walks the code from the root, taking bits from the top of `bits`, counts the symbol found and returns it;
// *used receives the number of bits taken. Same result as walking down and then calling UpdateModel.
//
// Past the table, each level of the way down has a branch of its own, which the processor predicts from how
// often codes end at that depth, and the way back up enters a switch on the depth, whose target follows from
// the branch that ended the walk down.
// path[0 .. depth) is always written before the walk back up reads it; GCC cannot see that through the table
// copy and the switch.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
inline int DecodeAndCount(HuffmanModel& m, DecodeTable& t, uint64_t bits, int* used) {
    uint16_t path[MAX_RECORDED_PATH];
    const DecodeEntry& e = t.entry[bits >> (64 - TABLE_BITS)];
    std::memcpy(path, e.path, sizeof e.path);
    int depth = e.bits;
    unsigned n = e.reached;
    if (n < static_cast<unsigned>(NODE_COUNT)) {
#define ZS_DESCEND(level)                                                            \
    if ((level) >= TABLE_BITS) {                                                     \
        unsigned position = n + static_cast<unsigned>((bits >> (63 - (level))) & 1); \
        path[level] = static_cast<uint16_t>(position);                               \
        n = m.child[position];                                                       \
        if (n >= static_cast<unsigned>(NODE_COUNT)) {                                \
            depth = (level) + 1;                                                     \
            goto found;                                                              \
        }                                                                            \
    }
        static_assert(TABLE_BITS >= 4 && TABLE_BITS <= 12,
                      "the unrolled walk goes on from the table's last level");
        // clang-format off
        ZS_DESCEND(4) ZS_DESCEND(5) ZS_DESCEND(6) ZS_DESCEND(7) ZS_DESCEND(8) ZS_DESCEND(9) ZS_DESCEND(10)
        ZS_DESCEND(11) ZS_DESCEND(12) ZS_DESCEND(13) ZS_DESCEND(14) ZS_DESCEND(15)
        // clang-format on
#undef ZS_DESCEND
                depth = 16;
        bits <<= 16;
        do {
            unsigned position = n + static_cast<unsigned>(bits >> 63);
            bits <<= 1;
            path[depth++ & (MAX_RECORDED_PATH - 1)] = static_cast<uint16_t>(position);
            n = m.child[position];
        } while (n < static_cast<unsigned>(NODE_COUNT));
    }
found:
    *used = depth;
    int symbol = static_cast<int>(n) - NODE_COUNT;
    DecodeTableHook exchanged{t};
    if (m.weight[ROOT_NODE] == REBUILD_WEIGHT) {
        RebuildModel(m);
        BuildDecodeTable(t, m);
        CountFrom(m, m.parent[NODE_COUNT + symbol], exchanged);
        return symbol;
    }
    if (depth > 16) {
        if (depth <= MAX_RECORDED_PATH) {
            CountAlongPath(m, path, depth, exchanged);
        } else {
            CountFrom(m, m.parent[NODE_COUNT + symbol], exchanged);
        }
        return symbol;
    }
#define ZS_ASCEND(level)                          \
    case (level) + 1: {                           \
        unsigned p = path[level];                 \
        unsigned k = ++m.weight[p];               \
        if (k > m.weight[p + 1]) {                \
            unsigned l = ExchangeUpward(m, p, k); \
            exchanged(m, p, l);                   \
            CountFrom(m, m.parent[l], exchanged); \
            return symbol;                        \
        }                                         \
    }                                             \
        [[fallthrough]];
    // clang-format off
    switch (depth) {
        ZS_ASCEND(15) ZS_ASCEND(14) ZS_ASCEND(13) ZS_ASCEND(12) ZS_ASCEND(11) ZS_ASCEND(10) ZS_ASCEND(9)
        ZS_ASCEND(8) ZS_ASCEND(7) ZS_ASCEND(6) ZS_ASCEND(5) ZS_ASCEND(4) ZS_ASCEND(3) ZS_ASCEND(2)
        ZS_ASCEND(1) ZS_ASCEND(0)
        default:
            break;
    }
    // clang-format on
#undef ZS_ASCEND
    ++m.weight[ROOT_NODE];
    return symbol;
}
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

}  // namespace zs::codec
