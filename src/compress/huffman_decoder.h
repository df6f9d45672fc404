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
#include <cstddef>
#include <cstring>
#include <utility>

#include "base/compiler.h"
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

// Levels of the tree, counted from the root, that the decoder walks with code of their own for each level:
// a branch on the way down, which the processor predicts from how often codes end at that depth, and a count
// on the way back up that the branch which ended the walk leads straight into. Deeper codes (rare: the tree
// must be very skewed) take a loop.
inline constexpr int UNROLLED_LEVELS = 16;
static_assert(TABLE_BITS < UNROLLED_LEVELS && UNROLLED_LEVELS <= MAX_CODE_BITS,
              "the unrolled walk goes on from the table's last level");

namespace decoding {

// The rare ways out of the walk, kept out of line so that the unrolled walk stays small: an exchange, after
// which the count goes on from the exchanged position, off the path that was walked down; and a rebuild that
// is due when the leaf is reached, after which the count starts afresh from the leaf.
void ExchangeAndCountOn(HuffmanModel& m, DecodeTable& t, unsigned p, unsigned k);
void RebuildAndCount(HuffmanModel& m, DecodeTable& t, int symbol);

// The walk below UNROLLED_LEVELS (rare: the tree must be very skewed) from node n, and its counts on the
// way back up to UNROLLED_LEVELS.
struct DeepWalk {
    bool finished;  // the count is finished
    unsigned leaf;
    int depth;  // the code's length
};
DeepWalk DescendPastUnrolledLevels(HuffmanModel& m, DecodeTable& t, uint64_t bits, unsigned n);

// Adds one to the weight of node p on the way up. True when that needed an exchange, which finishes the
// count.
ZS_ALWAYS_INLINE bool CountAt(HuffmanModel& m, DecodeTable& t, unsigned p) {
    unsigned k = ++m.weight[p];
    if (k > m.weight[p + 1]) {
        ExchangeAndCountOn(m, t, p, k);
        return true;
    }
    return false;
}

// One symbol's walk: down from the node the table reached, then back up counting. Each step returns true
// once the count is finished (an exchange or a rebuild took it over), false to go on counting upward.
struct Walk {
    HuffmanModel& m;
    DecodeTable& t;
    uint64_t bits;
    unsigned n;  // the node reached so far
    int depth;   // bits taken, once the leaf is reached

    // At the leaf: a rebuild that is due comes before the count, and then the count starts afresh from the
    // leaf, since the rebuild moves every node.
    ZS_ALWAYS_INLINE bool LeafReached(int leafDepth) {
        ZS_ASSERT(leafDepth <= MAX_CODE_BITS);
        depth = leafDepth;
        if (m.weight[ROOT_NODE] != REBUILD_WEIGHT) return false;
        RebuildAndCount(m, t, static_cast<int>(n) - NODE_COUNT);
        return true;
    }

    // Level `Level` (>= TABLE_BITS) of the walk down, then its count on the way back up.
    template <int Level>
    ZS_ALWAYS_INLINE bool Descend() {
        unsigned position = n + static_cast<unsigned>((bits >> (63 - Level)) & 1);
        n = m.child[position];
        if (n >= static_cast<unsigned>(NODE_COUNT)) {
            if (LeafReached(Level + 1)) return true;
        } else if constexpr (Level + 1 < UNROLLED_LEVELS) {
            if (Descend<Level + 1>()) return true;
        } else {
            DeepWalk deep = DescendPastUnrolledLevels(m, t, bits, n);
            n = deep.leaf;
            depth = deep.depth;
            if (deep.finished) return true;
        }
        return CountAt(m, t, position);
    }

    // The counts of the table's levels, from the deepest up (a short code's entry pads its path with the
    // scratch node).
    template <size_t... Steps>
    ZS_ALWAYS_INLINE bool CountTableLevels(const DecodeEntry& e, std::index_sequence<Steps...>) {
        return (CountAt(m, t, e.path[TABLE_BITS - 1 - Steps]) || ...);
    }
};

}  // namespace decoding

// Walks the code from the root, taking bits from the top of `bits`, counts the symbol found and returns it;
// *used receives the number of bits taken. Same result as walking down and then calling UpdateModel.
ZS_ALWAYS_INLINE int DecodeAndCount(HuffmanModel& m, DecodeTable& t, uint64_t bits, int* used) {
    const DecodeEntry& e = t.entry[bits >> (64 - TABLE_BITS)];
    decoding::Walk walk{m, t, bits, e.reached, 0};
    // Usually the code goes on past the table's levels.
    bool finished =
        e.reached < static_cast<unsigned>(NODE_COUNT) ? walk.Descend<TABLE_BITS>() : walk.LeafReached(e.bits);
    if (!finished && !walk.CountTableLevels(e, std::make_index_sequence<TABLE_BITS>())) ++m.weight[ROOT_NODE];
    *used = walk.depth;
    return static_cast<int>(walk.n) - NODE_COUNT;
}

}  // namespace zs::codec
