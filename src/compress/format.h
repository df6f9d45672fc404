// The constants of the compressed format's code stream, each derived from the few that the format fixes: the
// window, the longest match and the shortest match worth sending.
#pragma once

namespace zs::codec {

// LZSS window and look-ahead.
inline constexpr int WINDOW_SIZE = 4096;
inline constexpr int MAX_MATCH = 60;
inline constexpr int MATCH_THRESHOLD = 2;  // a match this long or shorter is sent as literals
inline constexpr int WINDOW_START = WINDOW_SIZE - MAX_MATCH;  // 4036: where the first byte goes

// A match's offset field: distance back minus one, as plain bits after the length symbol.
inline constexpr int OFFSET_BITS = 12;
inline constexpr unsigned OFFSET_MASK = (1u << OFFSET_BITS) - 1;
static_assert(1 << OFFSET_BITS == WINDOW_SIZE, "an offset field reaches every position of the window");

// Symbols: the 256 byte values, then one symbol for each match length MATCH_THRESHOLD + 1 .. MAX_MATCH.
inline constexpr int LITERAL_COUNT = 256;
inline constexpr int SHORTEST_MATCH = MATCH_THRESHOLD + 1;
inline constexpr int LENGTH_SYMBOL_BIAS = LITERAL_COUNT - SHORTEST_MATCH;         // symbol = length + 253
inline constexpr int SYMBOL_COUNT = LITERAL_COUNT + MAX_MATCH - MATCH_THRESHOLD;  // 314
static_assert(LENGTH_SYMBOL_BIAS == 253 && SYMBOL_COUNT == 314, "the symbol numbering of the format");

inline constexpr int LengthSymbol(int length) {
    return length + LENGTH_SYMBOL_BIAS;
}
inline constexpr int MatchLength(int symbol) {
    return symbol - LENGTH_SYMBOL_BIAS;
}

}  // namespace zs::codec
