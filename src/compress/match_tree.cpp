#include "compress/match_tree.h"

#include <cstring>

namespace zs::codec {
namespace {

uint64_t LoadLittleEndian64(const uint8_t* p) {
    uint64_t v;
    std::memcpy(&v, p, sizeof v);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    v = __builtin_bswap64(v);
#endif
    return v;
}

// The first index in 1..59 at which the strings differ, or MAX_MATCH when bytes 1..59 are all equal.
// Compares eight bytes at a time; the window's padding covers the loads past byte 59.
inline int FirstDifference(const uint8_t* a, const uint8_t* b) {
    for (int i = 1; i < MAX_MATCH; i += 8) {
        uint64_t x = LoadLittleEndian64(a + i) ^ LoadLittleEndian64(b + i);
        if (x != 0) {
            int at = i + (__builtin_ctzll(x) >> 3);
            return at < MAX_MATCH ? at : MAX_MATCH;
        }
    }
    return MAX_MATCH;
}

// Points the link of p's parent that pointed to p at q instead.
inline void ReplaceChild(MatchTree& t, unsigned p, unsigned q) {
    unsigned parent = t.up[p];
    if (t.right[parent] == p) {
        t.right[parent] = static_cast<uint16_t>(q);
    } else {
        t.left[parent] = static_cast<uint16_t>(q);
    }
}

}  // namespace

void ResetMatchTree(MatchTree& t) {
    for (int i = 0; i < WINDOW_SIZE; ++i) t.up[i] = NIL;
    for (int i = TREE_ROOTS; i < TREE_ROOTS + 256; ++i) t.right[i] = NIL;
}

void InsertPosition(MatchTree& t, const uint8_t* window, int r) {
    const uint8_t* key = window + r;
    int cmp = 1;
    unsigned p = TREE_ROOTS + key[0];
    t.left[r] = t.right[r] = NIL;
    t.matchLength = 0;
    for (;;) {
        uint16_t* next = cmp >= 0 ? &t.right[p] : &t.left[p];
        if (*next == NIL) {
            *next = static_cast<uint16_t>(r);
            t.up[r] = static_cast<uint16_t>(p);
            return;
        }
        p = *next;
        int i = FirstDifference(key, window + p);
        if (i < MAX_MATCH) cmp = static_cast<int>(key[i]) - static_cast<int>(window[p + i]);
        if (i > MATCH_THRESHOLD) {
            int offset = static_cast<int>((static_cast<unsigned>(r) - p) & (WINDOW_SIZE - 1)) - 1;
            if (i > t.matchLength) {
                t.matchOffset = offset;
                t.matchLength = i;
                if (i >= MAX_MATCH) break;
            } else if (i == t.matchLength && offset < t.matchOffset) {
                t.matchOffset = offset;
            }
        }
    }
    // An equal string of the full length: r takes p's place, and the older p leaves the tree.
    t.up[r] = t.up[p];
    t.left[r] = t.left[p];
    t.right[r] = t.right[p];
    t.up[t.left[p]] = static_cast<uint16_t>(r);
    t.up[t.right[p]] = static_cast<uint16_t>(r);
    ReplaceChild(t, p, static_cast<unsigned>(r));
    t.up[p] = NIL;
}

void RemovePosition(MatchTree& t, int p) {
    if (t.up[p] == NIL) return;
    unsigned q;
    if (t.right[p] == NIL) {
        q = t.left[p];
    } else if (t.left[p] == NIL) {
        q = t.right[p];
    } else {
        // Both children: the replacement is the greatest position of the left subtree.
        q = t.left[p];
        if (t.right[q] != NIL) {
            do {
                q = t.right[q];
            } while (t.right[q] != NIL);
            t.right[t.up[q]] = t.left[q];
            t.up[t.left[q]] = t.up[q];
            t.left[q] = t.left[p];
            t.up[t.left[p]] = static_cast<uint16_t>(q);
        }
        t.right[q] = t.right[p];
        t.up[t.right[p]] = static_cast<uint16_t>(q);
    }
    t.up[q] = t.up[p];
    ReplaceChild(t, static_cast<unsigned>(p), q);
    t.up[p] = NIL;
}

}  // namespace zs::codec
