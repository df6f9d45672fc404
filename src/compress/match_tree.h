// The compressor's dictionary: 256 binary search trees of window positions, one per first byte, each
// position standing for the 60-byte string that starts there. Within a tree strings are ordered by bytes
// 1..59, compared as unsigned values; equal strings go right.
//
// Entries 0..4095 of the tables are positions; NIL (4096) means "no position" and its `left`/`up` entries are
// scratch that the operations may write; right[4097 + b] is the root of the tree for first byte b. The two
// children of a position stand side by side, link[p][LEFT] and link[p][RIGHT]: a step down the tree loads
// both while it compares, then picks one by a value computed from the comparison rather than by a branch
// that the processor would have to guess.
#pragma once

#include <cstdint>

#include "compress/format.h"

namespace zs::codec {

inline constexpr int NIL = WINDOW_SIZE;
inline constexpr int TREE_COUNT = 256;              // one tree for each value of the first byte
inline constexpr int TREE_ROOTS = WINDOW_SIZE + 1;  // right[TREE_ROOTS + b]

enum TreeSide : unsigned { LEFT = 0, RIGHT = 1 };

// The window's bytes 0 .. REVERSED_BYTES - 1 in reverse order: eight bytes loaded from it least significant
// first are eight bytes of the window read most significant first, the order in which strings compare.
inline constexpr int REVERSED_BYTES = WINDOW_SIZE + 8;

struct MatchTree {
    uint16_t link[TREE_ROOTS + TREE_COUNT][2];  // LEFT: strings that compare smaller; RIGHT: greater or equal
    uint8_t reversed[REVERSED_BYTES];           // reversed[REVERSED_BYTES - 1 - i] = window[i]
    uint16_t up[WINDOW_SIZE + 1];
    int matchLength;
    int matchOffset;  // distance back minus one
};

// Empties all 256 trees.
void ResetMatchTree(MatchTree& t);

// Copies the window into t.reversed; then every byte stored at window position i (0..REVERSED_BYTES - 1) is
// stored with StoreReversed as well.
void CopyReversed(MatchTree& t, const uint8_t* window);
inline void StoreReversed(MatchTree& t, int i, uint8_t byte) {
    t.reversed[REVERSED_BYTES - 1 - i] = byte;
}

// Adds position r and leaves in matchLength/matchOffset the longest match for the string at r among the
// candidates met on the search path (the nearest of equally long ones). A candidate equal in all 60 bytes
// ends the search and leaves the tree in favour of r.
void InsertPosition(MatchTree& t, const uint8_t* window, int r);

// Adds position r exactly as InsertPosition does, without looking for the match: matchLength and matchOffset
// keep their values.
void AddPosition(MatchTree& t, const uint8_t* window, int r);

// Removes position p, if it is in a tree.
void RemovePosition(MatchTree& t, int p);

}  // namespace zs::codec
