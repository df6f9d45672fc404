#include "compress/match_tree.h"

#include <cstring>

namespace zs::codec {
namespace {

// Eight bytes read most significant first compare as unsigned numbers in the same order as the bytes one by
// one, and the first differing byte is where their leading zeros end.
uint64_t LoadBigEndian64(const uint8_t* p) {
    uint64_t v;
    std::memcpy(&v, p, sizeof v);
#if !defined(__BYTE_ORDER__) || __BYTE_ORDER__ != __ORDER_BIG_ENDIAN__
    v = __builtin_bswap64(v);
#endif
    return v;
}

// Where the strings at key and candidate first differ within bytes 1..59, and how: `at` is that index
// (MAX_MATCH when bytes 1..59 are all equal), `order` is 1 when the key's byte there is greater, -1 when it
// is smaller. Compares eight bytes at a time; the window's padding covers the loads past byte 59.
struct Comparison {
    int at;
    int order;
};

inline Comparison Compare(uint64_t keyFirstWord, const uint8_t* key, const uint8_t* candidate) {
    uint64_t a = keyFirstWord;
    uint64_t b = LoadBigEndian64(candidate + 1);
    for (int i = 1;;) {
        if (a != b) {
            int at = i + (__builtin_clzll(a ^ b) >> 3);
            if (at >= MAX_MATCH) return {MAX_MATCH, 0};
            return {at, a > b ? 1 : -1};
        }
        i += 8;
        if (i >= MAX_MATCH) return {MAX_MATCH, 0};
        a = LoadBigEndian64(key + i);
        b = LoadBigEndian64(candidate + i);
    }
}

// Only the order of the two strings by bytes 1..59: 1, -1, or 0 when they are equal.
inline int Order(uint64_t keyFirstWord, const uint8_t* key, const uint8_t* candidate) {
    uint64_t b = LoadBigEndian64(candidate + 1);
    if (keyFirstWord != b) return keyFirstWord > b ? 1 : -1;
    for (int i = 9; i < MAX_MATCH; i += 8) {
        // The last word reaches past byte 59: only its first MAX_MATCH - i bytes count.
        uint64_t mask = i + 8 <= MAX_MATCH ? ~uint64_t{0} : ~uint64_t{0} << (8 * (i + 8 - MAX_MATCH));
        uint64_t x = LoadBigEndian64(key + i) & mask;
        uint64_t y = LoadBigEndian64(candidate + i) & mask;
        if (x != y) return x > y ? 1 : -1;
    }
    return 0;
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
    for (int i = TREE_ROOTS; i < TREE_ROOTS + TREE_COUNT; ++i) t.right[i] = NIL;
}

namespace {

// The walk of InsertPosition. With kFindMatch false it only adds r to its tree (the same links, the same
// replacement of an equal string) and leaves matchLength and matchOffset alone: the coder needs the match
// only at the positions where it codes the next symbol, and skipping the bookkeeping spares a hard-to-predict
// branch at every step of the other walks.
template <bool kFindMatch>
inline void Insert(MatchTree& t, const uint8_t* window, int r) {
    const uint8_t* key = window + r;
    const uint64_t keyFirstWord = LoadBigEndian64(key + 1);
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
            if constexpr (kFindMatch) {
                t.matchLength = bestLength;
                t.matchOffset = bestOffset;
            }
            return;
        }
        p = *next;
        if constexpr (!kFindMatch) {
            cmp = Order(keyFirstWord, key, window + p);
            if (cmp == 0) break;
            continue;
        }
        Comparison c = Compare(keyFirstWord, key, window + p);
        if (c.at < MAX_MATCH) cmp = c.order;
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
    if constexpr (kFindMatch) {
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

void InsertPosition(MatchTree& t, const uint8_t* window, int r) {
    Insert<true>(t, window, r);
}

void AddPosition(MatchTree& t, const uint8_t* window, int r) {
    Insert<false>(t, window, r);
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
