// LZSS decoder. It works on a linear history: the 4096 window bytes that precede the output, then the output
// not yet handed to the write stream. A match of distance D + 1 copies from D + 1 bytes back, byte after byte
// in effect, so a match shorter in distance than in length repeats its last D + 1 bytes. At the end the last
// 4096 bytes go back into the ring at the positions a byte-at-a-time ring decoder would have left them, so
// the shared window is exactly as the format's reference steps leave it.
#include <cstring>

#include "base/compiler.h"
#include "compress/bit_reader.h"
#include "compress/cmpfile.h"
#include "compress/codec_state.h"
#include "compress/file_handle.h"
#include "compress/huffman_decoder.h"
#include "compress/lzss.h"

namespace zs::codec {
namespace {

// Ring position of history index j when history index 0 stands for absolute linear position `base`:
// absolute position WINDOW_SIZE is the first output byte, which the ring holds at WINDOW_START.
inline unsigned RingPosition(uint64_t base, uint32_t j) {
    return static_cast<unsigned>((base + j + WINDOW_START) & (WINDOW_SIZE - 1));
}

// Needs a whole item's bits in hand (after Refill): a code is never longer than MAX_CODE_BITS.
ZS_ALWAYS_INLINE int DecodeSymbol(HuffmanModel& model, DecodeTable& table, BitReader& in) {
    int used;
    uint64_t bits = in.Peek();
    int symbol = DecodeAndCount(model, table, bits, &used);
    ZS_ASSERT(used >= 1 && used <= MAX_CODE_BITS);
    in.Consume(bits << used, used);
    return symbol;
}

// Copies `length` bytes from `distance` bytes back. Chunks of 16 (or 8) bytes are safe when the distance is
// at least that: every chunk reads only bytes written before it. Most matches are short, so one chunk usually
// does it, and the tests for more are rarely taken. May write past the end, up to the next multiple of 16.
inline constexpr uint32_t MATCH_CHUNK = 16;
static_assert((MAX_MATCH + MATCH_CHUNK - 1) / MATCH_CHUNK * MATCH_CHUNK <=
                  HISTORY_BYTES - WINDOW_SIZE - HISTORY_CHUNK,
              "a match that starts in the last place of a chunk stays within the history, overrun and all");
inline void CopyMatch(uint8_t* to, uint32_t distance, uint32_t length) {
    const uint8_t* from = to - distance;
    if (distance >= MATCH_CHUNK) {
        for (uint32_t k = 0;;) {
            std::memcpy(to + k, from + k, MATCH_CHUNK);
            k += MATCH_CHUNK;
            if (k >= length) break;
        }
    } else if (distance >= 8) {
        for (uint32_t k = 0; k < length; k += 8) std::memcpy(to + k, from + k, 8);
    } else {
        for (uint32_t k = 0; k < length; ++k) to[k] = from[k];
    }
}
}  // namespace

int Decompress(CodecState& state, int source, int destination, uint32_t limit) {
    uint8_t lengthField[CMP_LENGTH_SIZE];
    long got = ReadHandle(source, lengthField, CMP_LENGTH_SIZE);
    if (got != static_cast<long>(CMP_LENGTH_SIZE)) return CMP_BODY_TRUNCATED;
    uint32_t size = 0;
    for (int i = 3; i >= 0; --i) size = (size << 8) | lengthField[i];
    if (size == 0) return CMP_OK;

    int inSlot = OpenStream(state, source, STREAM_READ, STREAM_BUFFER_SIZE);
    if (inSlot < 0) return CMP_STREAM_OPEN_FAILED;
    int outSlot = OpenStream(state, destination, STREAM_WRITE, STREAM_BUFFER_SIZE);
    if (outSlot < 0) {
        CloseStream(state, inSlot);
        return CMP_STREAM_OPEN_FAILED;
    }

    HuffmanModel& model = state.model;
    uint8_t* window = state.window;
    uint8_t* history = state.history;
    DecodeTable& table = state.decodeTable;
    InitModel(model);
    BuildDecodeTable(table, model);
    std::memset(window, ' ', WINDOW_START);
    // The ring as seen from the first output byte: positions 4036..4095, then 0..4035.
    std::memcpy(history, window + WINDOW_START, MAX_MATCH);
    std::memcpy(history + MAX_MATCH, window, WINDOW_START);

    BitReader in(state, inSlot);
    uint64_t base = 0;           // absolute linear position of history[0]
    uint32_t pos = WINDOW_SIZE;  // where the next output byte goes
    uint32_t produced = 0;
    bool truncated = false;
    bool damaged = false;
    const uint32_t stop = size < limit ? size : limit;

    while (produced < stop) {
        in.Refill();
        int symbol = DecodeSymbol(model, table, in);
        if (symbol < LITERAL_COUNT) {
            // An item that needed bits the file does not hold ends the decoding instead of inventing output.
            if (in.UsedBitsPastEnd()) {
                truncated = true;
                break;
            }
            history[pos++] = static_cast<uint8_t>(symbol);
            ++produced;
        } else {
            uint32_t distance = in.Take(OFFSET_BITS) + 1;
            if (in.UsedBitsPastEnd()) {
                truncated = true;
                break;
            }
            uint32_t length = static_cast<uint32_t>(MatchLength(symbol));
            if (length > size - produced) {
                length = size - produced;
                damaged = true;
            }
            ZS_ASSERT(pos < WINDOW_SIZE + HISTORY_CHUNK && distance <= pos);
            CopyMatch(history + pos, distance, length);
            pos += length;
            produced += length;
        }
        if (pos >= WINDOW_SIZE + HISTORY_CHUNK) {
            WriteStreamBlock(state, outSlot, history + WINDOW_SIZE, HISTORY_CHUNK);
            std::memmove(history, history + HISTORY_CHUNK, pos - HISTORY_CHUNK);
            pos -= HISTORY_CHUNK;
            base += HISTORY_CHUNK;
        }
    }
    WriteStreamBlock(state, outSlot, history + WINDOW_SIZE, pos - WINDOW_SIZE);
    for (uint32_t j = pos - WINDOW_SIZE; j < pos; ++j) window[RingPosition(base, j)] = history[j];

    CloseStream(state, inSlot);
    bool writeFailed = CloseStream(state, outSlot) != 0;
    if (writeFailed) return CMP_WRITE_FAILED;
    if (truncated) return CMP_BODY_TRUNCATED;
    if (damaged) return CMP_BODY_DAMAGED;
    return CMP_OK;
}

}  // namespace zs::codec
