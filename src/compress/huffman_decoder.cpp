#include "compress/huffman_decoder.h"

#include <initializer_list>

namespace zs::codec {
namespace {

// The outcome of the first TABLE_BITS steps of the walk for the bits `index`.
void WalkEntry(DecodeTable& t, const HuffmanModel& m, unsigned index) {
    DecodeEntry& e = t.entry[index];
    unsigned n = m.child[ROOT_NODE];
    for (int level = 0; level < TABLE_BITS; ++level) {
        unsigned position = n + ((index >> (TABLE_BITS - 1 - level)) & 1);
        e.path[level] = static_cast<uint16_t>(position);
        n = m.child[position];
        if (n >= static_cast<unsigned>(NODE_COUNT)) {
            e.reached = static_cast<uint16_t>(n);
            e.bits = static_cast<uint16_t>(level + 1);
            // The levels below a short code count the scratch node, so that the walk back up can count all
            // of the table's levels without asking how many there are.
            for (int below = level + 1; below < TABLE_BITS; ++below) e.path[below] = SCRATCH_NODE;
            return;
        }
    }
    e.reached = static_cast<uint16_t>(n);
    e.bits = TABLE_BITS;
}

// Walks the entries whose bits begin with the code of a node within the table's levels.
void WalkEntriesUnder(DecodeTable& t, const HuffmanModel& m, unsigned node) {
    unsigned depth = t.depth[node];
    unsigned first = static_cast<unsigned>(t.code[node]) << (TABLE_BITS - depth);
    unsigned count = 1u << (TABLE_BITS - depth);
    for (unsigned index = first; index < first + count; ++index) WalkEntry(t, m, index);
}

// Gives node p, now at `depth` with `code`, and its descendants down to `lastDepth` their depth and code, or
// 0 for those below the table's levels.
void Relabel(DecodeTable& t, const HuffmanModel& m, unsigned p, int depth, unsigned code, int lastDepth) {
    bool within = depth <= TABLE_BITS;
    t.depth[p] = static_cast<uint8_t>(within ? depth : 0);
    t.code[p] = static_cast<uint8_t>(within ? code : 0);
    unsigned c = m.child[p];
    if (depth >= lastDepth || c >= static_cast<unsigned>(NODE_COUNT)) return;
    Relabel(t, m, c, depth + 1, code << 1, lastDepth);
    Relabel(t, m, c + 1, depth + 1, code << 1 | 1, lastDepth);
}

// A node below the table's levels counts as one level past them.
int EffectiveDepth(const DecodeTable& t, unsigned node) {
    return t.depth[node] != 0 ? t.depth[node] : TABLE_BITS + 1;
}

}  // namespace

void BuildDecodeTable(DecodeTable& t, const HuffmanModel& m) {
    for (uint8_t& d : t.depth) d = 0;
    for (uint8_t& c : t.code) c = 0;
    unsigned first = m.child[ROOT_NODE];
    Relabel(t, m, first, 1, 0, TABLE_BITS);
    Relabel(t, m, first + 1, 1, 1, TABLE_BITS);
    for (unsigned index = 0; index < static_cast<unsigned>(TABLE_SIZE); ++index) WalkEntry(t, m, index);
}

namespace decoding {

void ExchangeAndCountOn(HuffmanModel& m, DecodeTable& t, unsigned p, unsigned k) {
    DecodeTableHook exchanged{t};
    unsigned l = ExchangeUpward(m, p, k);
    exchanged(m, p, l);
    CountFrom(m, m.parent[l], exchanged);
}

void RebuildAndCount(HuffmanModel& m, DecodeTable& t, int symbol) {
    RebuildModel(m);
    BuildDecodeTable(t, m);
    CountFrom(m, m.parent[NODE_COUNT + symbol], DecodeTableHook{t});
}

DeepWalk DescendPastUnrolledLevels(HuffmanModel& m, DecodeTable& t, uint64_t bits, unsigned n) {
    uint16_t path[MAX_CODE_BITS - UNROLLED_LEVELS];
    int count = 0;
    uint64_t rest = bits << UNROLLED_LEVELS;
    unsigned node = n;
    do {
        ZS_ASSERT(count < MAX_CODE_BITS - UNROLLED_LEVELS);
        unsigned position = node + static_cast<unsigned>(rest >> 63);
        rest <<= 1;
        path[count++] = static_cast<uint16_t>(position);
        node = m.child[position];
    } while (node < static_cast<unsigned>(NODE_COUNT));
    DeepWalk walk{true, node, UNROLLED_LEVELS + count};
    ZS_ASSERT(walk.depth <= MAX_CODE_BITS);
    if (m.weight[ROOT_NODE] == REBUILD_WEIGHT) {
        RebuildAndCount(m, t, static_cast<int>(node) - NODE_COUNT);
        return walk;
    }
    while (count > 0) {
        if (CountAt(m, t, path[--count])) return walk;
    }
    walk.finished = false;
    return walk;
}

}  // namespace decoding

void RefreshAfterExchange(DecodeTable& t, const HuffmanModel& m, unsigned n, unsigned l) {
    // The subtree now at n was at l and the other way round. Each is visited down to where its nodes were or
    // are within the table's levels, whichever reaches deeper.
    int atN = EffectiveDepth(t, n);
    int atL = EffectiveDepth(t, l);
    int reach = TABLE_BITS - (atN < atL ? atN : atL);
    for (unsigned node : {n, l}) {
        int depth = node == n ? atN : atL;
        unsigned c = m.child[node];
        if (c < static_cast<unsigned>(NODE_COUNT) && reach > 0) {
            unsigned code = t.code[node];
            Relabel(t, m, c, depth + 1, code << 1, depth + reach);
            Relabel(t, m, c + 1, depth + 1, code << 1 | 1, depth + reach);
        }
    }
    if (t.depth[n] != 0) WalkEntriesUnder(t, m, n);
    if (t.depth[l] != 0) WalkEntriesUnder(t, m, l);
}

}  // namespace zs::codec
