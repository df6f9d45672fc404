#include "compress/match_tree.h"

#include <cstring>
#include <type_traits>

#include "base/compiler.h"
#include "base/invariant.h"

namespace zs::codec {
namespace {

// Eight bytes read most significant first compare as unsigned numbers in the same order as the bytes one by
// one, and the first differing byte is where their leading zeros end.
inline uint64_t LoadBigEndian64(const uint8_t* p) {
    uint64_t v;
    std::memcpy(&v, p, sizeof v);
#if !defined(__BYTE_ORDER__) || __BYTE_ORDER__ != __ORDER_BIG_ENDIAN__
    v = __builtin_bswap64(v);
#endif
    return v;
}

inline uint64_t LoadNative64(const uint8_t* p) {
    uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// Bytes p + 1 .. p + 8 of the window as a big-endian number, from the reversed copy.
inline uint64_t FirstWord(const MatchTree& t, unsigned p) {
    return LoadNative64(t.reversed + (REVERSED_BYTES - 1 - 8 - p));
}

// The strings' bytes 1..59 are compared eight at a time: the first word (bytes 1..8) decides most steps,
// the rest only where the strings agree that far. The window's padding covers the loads past byte 59.
inline constexpr int WORDS_COMPARED = (MAX_MATCH - 1 + 7) / 8;
static_assert(1 + 8 * WORDS_COMPARED >= MAX_MATCH, "the words cover bytes 1..59");

// The last word reaches past byte 59: only its first bytes count.
inline constexpr int LAST_WORD_START = 1 + 8 * (WORDS_COMPARED - 1);
inline constexpr uint64_t LAST_WORD_MASK = ~uint64_t{0} << (8 * (LAST_WORD_START + 8 - MAX_MATCH));

// Where the strings at key and candidate first differ, and how: `at` is that index (MAX_MATCH when bytes
// 1..59 are all equal), `greater` is 1 when the key's byte there is the greater one.
struct Difference {
    int at;
    unsigned greater;
};

// The same for bytes 9..59, given that bytes 1..8 are equal.
Difference CompareAfterFirstWord(const uint8_t* key, const uint8_t* candidate) {
    for (int i = 9; i < MAX_MATCH; i += 8) {
        uint64_t a = LoadNative64(key + i);
        uint64_t b = LoadNative64(candidate + i);
        if (a != b) {
            a = LoadBigEndian64(key + i);
            b = LoadBigEndian64(candidate + i);
            if (i == LAST_WORD_START) {
                a &= LAST_WORD_MASK;
                b &= LAST_WORD_MASK;
                if (a == b) break;
            }
            return {i + (__builtin_clzll(a ^ b) >> 3), a > b ? 1u : 0u};
        }
    }
    return {MAX_MATCH, 1};
}

// `yes` when `condition` holds, else `no`, computed with masks: compilers turn a plain ?: on data that
// varies from step to step into a branch as often as into a conditional move.
template <class T>
ZS_ALWAYS_INLINE T Select(bool condition, T yes, T no) {
    using U = std::make_unsigned_t<T>;
    U mask = U{0} - static_cast<U>(condition);
    return static_cast<T>(static_cast<U>(no) ^ ((static_cast<U>(no) ^ static_cast<U>(yes)) & mask));
}

// Points the link of p's parent that pointed to p at q instead.
inline void ReplaceChild(MatchTree& t, unsigned p, unsigned q) {
    unsigned parent = t.up[p];
    unsigned side = t.link[parent][RIGHT] == p ? RIGHT : LEFT;
    t.link[parent][side] = static_cast<uint16_t>(q);
}

}  // namespace

void CopyReversed(MatchTree& t, const uint8_t* window) {
    for (int i = 0; i < REVERSED_BYTES; ++i) t.reversed[REVERSED_BYTES - 1 - i] = window[i];
}

void ResetMatchTree(MatchTree& t) {
    for (int i = 0; i < WINDOW_SIZE; ++i) t.up[i] = NIL;
    for (int i = TREE_ROOTS; i < TREE_ROOTS + TREE_COUNT; ++i) t.link[i][RIGHT] = NIL;
}

namespace {

// The walk of InsertPosition. With kFindMatch false it only adds r to its tree (the same links, the same
// replacement of an equal string) and leaves matchLength and matchOffset alone: the coder needs the match
// only at the positions where it codes the next symbol.
//
// A step is a chain of dependent loads: the child's index, the candidate's first word, the comparison, the
// next child's index. Everything that depends on the data is computed rather than branched on (the side, and
// the bookkeeping of the best match), so the processor runs the chain at the speed of its loads; the one
// branch left, "the first eight bytes are equal", is rare in most data and leads to the rest of the compare.
template <bool kFindMatch>
ZS_ALWAYS_INLINE void Insert(MatchTree& t, const uint8_t* window, int r) {
    const uint8_t* key = window + r;
    const uint64_t keyFirstWord = FirstWord(t, static_cast<unsigned>(r));
    unsigned side = RIGHT;
    unsigned p = TREE_ROOTS + key[0];
    int bestLength = 0;
    int bestOffset = t.matchOffset;
    t.link[r][LEFT] = t.link[r][RIGHT] = NIL;
    unsigned next = t.link[p][side];
    for (;;) {
        if (next == NIL) {
            t.link[p][side] = static_cast<uint16_t>(r);
            t.up[r] = static_cast<uint16_t>(p);
            if constexpr (kFindMatch) {
                t.matchLength = bestLength;
                t.matchOffset = bestOffset;
            }
            return;
        }
        p = next;
        const uint8_t* candidate = window + p;
        unsigned left = t.link[p][LEFT];
        unsigned right = t.link[p][RIGHT];
        uint64_t word = FirstWord(t, p);
        int at;
        if (word != keyFirstWord) {
            at = 1 + (__builtin_clzll(word ^ keyFirstWord) >> 3);
            side = keyFirstWord > word ? RIGHT : LEFT;
        } else {
            Difference d = CompareAfterFirstWord(key, candidate);
            at = d.at;
            side = d.greater;
        }
        if constexpr (kFindMatch) {
            // The longest match wins; of equally long ones the nearest (smallest offset).
            int offset = static_cast<int>((static_cast<unsigned>(r) - p) & (WINDOW_SIZE - 1)) - 1;
            // Bitwise operators: each condition is computed, none is branched on.
            bool better =
                (at > MATCH_THRESHOLD) & ((at > bestLength) | ((at == bestLength) & (offset < bestOffset)));
            bestLength = Select(better, at, bestLength);
            bestOffset = Select(better, offset, bestOffset);
        }
        next = side == RIGHT ? right : left;
        if (at >= MAX_MATCH) break;
    }
    if constexpr (kFindMatch) {
        t.matchLength = bestLength;
        t.matchOffset = bestOffset;
    }
    // An equal string of the full length: r takes p's place, and the older p leaves the tree.
    t.up[r] = t.up[p];
    t.link[r][LEFT] = t.link[p][LEFT];
    t.link[r][RIGHT] = t.link[p][RIGHT];
    t.up[t.link[p][LEFT]] = static_cast<uint16_t>(r);
    t.up[t.link[p][RIGHT]] = static_cast<uint16_t>(r);
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
    unsigned left = t.link[p][LEFT];
    unsigned right = t.link[p][RIGHT];
    unsigned q;
    if (left == NIL || right == NIL) {
        // At most one child: it takes p's place (or NIL, when p is a leaf).
        q = left ^ right ^ static_cast<unsigned>(NIL);
    } else {
        // Both children: the replacement is the greatest position of the left subtree.
        q = left;
        if (t.link[q][RIGHT] != NIL) {
            do {
                q = t.link[q][RIGHT];
            } while (t.link[q][RIGHT] != NIL);
            t.link[t.up[q]][RIGHT] = t.link[q][LEFT];
            t.up[t.link[q][LEFT]] = t.up[q];
            t.link[q][LEFT] = static_cast<uint16_t>(left);
            t.up[left] = static_cast<uint16_t>(q);
        }
        t.link[q][RIGHT] = static_cast<uint16_t>(right);
        t.up[right] = static_cast<uint16_t>(q);
    }
    ZS_ASSERT(q <= static_cast<unsigned>(NIL));
    t.up[q] = t.up[p];
    ReplaceChild(t, static_cast<unsigned>(p), q);
    t.up[p] = NIL;
}

}  // namespace zs::codec
