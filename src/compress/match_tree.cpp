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

// Where two strings first differ within bytes 1..59, and how: `at` is that index (MAX_MATCH when bytes 1..59
// are all equal) and `order` is key[at] - candidate[at] (0 when equal). Compares eight bytes at a time; the
// window's padding covers the loads past byte 59. The first word of the key is loaded once per insertion.
struct Comparison {
    int at;
    int order;
};

inline Comparison Compare(uint64_t keyFirstWord, const uint8_t* key, const uint8_t* candidate) {
    uint64_t a = keyFirstWord;
    uint64_t b = LoadLittleEndian64(candidate + 1);
    for (int i = 1;;) {
        uint64_t x = a ^ b;
        if (x != 0) {
            int shift = __builtin_ctzll(x) & ~7;
            int at = i + (shift >> 3);
            if (at >= MAX_MATCH) return {MAX_MATCH, 0};
            return {at, static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)};
        }
        i += 8;
        if (i >= MAX_MATCH) return {MAX_MATCH, 0};
        a = LoadLittleEndian64(key + i);
        b = LoadLittleEndian64(candidate + i);
    }
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

namespace {

// The walk of InsertPosition. With kFindMatch false it only adds r to its tree (the same links, the same
// replacement of an equal string) and leaves matchLength and matchOffset alone: the coder needs the match only
// at the positions where it codes the next symbol, and skipping the bookkeeping spares a hard-to-predict
// branch at every step of the other walks.
template <bool kFindMatch>
inline void Insert(MatchTree& t, const uint8_t* window, int r) {
    const uint8_t* key = window + r;
    const uint64_t keyFirstWord = LoadLittleEndian64(key + 1);
    int cmp = 1;
    unsigned p = TREE_ROOTS + key[0];
    int bestLength = 0;
    int bestOffset = t.matchOffset;
    t.left[r] = t.right[r] = NIL;
    for (;;) {
        uint16_t* next = cmp >= 0 ? &t.right[p] : &t.left[p];
        if (*next == NIL) {
            *next = static_cast<uint16_t>(r);
            t.up[r] = static_cast<uint16_t>(p);
            if (kFindMatch) {
                t.matchLength = bestLength;
                t.matchOffset = bestOffset;
            }
            return;
        }
        p = *next;
        Comparison c = Compare(keyFirstWord, key, window + p);
        if (c.at < MAX_MATCH) cmp = c.order;
        if (!kFindMatch) {
            if (c.at >= MAX_MATCH) break;
            continue;
        }
        if (c.at > MATCH_THRESHOLD) {
            int offset = static_cast<int>((static_cast<unsigned>(r) - p) & (WINDOW_SIZE - 1)) - 1;
            if (c.at > bestLength) {
                bestOffset = offset;
                bestLength = c.at;
                if (c.at >= MAX_MATCH) break;
            } else if (c.at == bestLength && offset < bestOffset) {
                bestOffset = offset;
            }
        }
    }
    if (kFindMatch) {
        t.matchLength = bestLength;
        t.matchOffset = bestOffset;
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

}  // namespace

void InsertPosition(MatchTree& t, const uint8_t* window, int r) { Insert<true>(t, window, r); }

void AddPosition(MatchTree& t, const uint8_t* window, int r) { Insert<false>(t, window, r); }

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
