// LZSS coder: the longest earlier occurrence of the 60-byte look-ahead, found in the match tree, is sent as a
// length symbol and a 12-bit offset; anything shorter than three bytes goes as a literal. The tie-breaks of
// the search decide the exact output bytes, so the steps here follow them to the letter.
#include <cstring>

#include "compress/bit_writer.h"
#include "compress/cmpfile.h"
#include "compress/codec_state.h"
#include "compress/file_handle.h"
#include "compress/lzss.h"

namespace zs::codec {
namespace {

// Hands out the source bytes straight from the read stream's buffer.
class InputBytes {
  public:
    InputBytes(CodecState& state, int slot) : state_(state), slot_(slot), stream_(&Slot(state, slot)) {}
    inline int Next() {
        StreamSlot& s = *stream_;
        return s.cursor < s.limit ? *s.cursor++ : RefillStream(state_, slot_);
    }
    // Bytes handed out so far: what the stream read, less what it still holds.
    uint64_t Delivered() const {
        return stream_->transferred - static_cast<uint64_t>(stream_->limit - stream_->cursor);
    }

  private:
    CodecState& state_;
    int slot_;
    StreamSlot* stream_;
};

inline void EncodeSymbol(HuffmanModel& model, BitWriter& out, int symbol) {
    int length;
    uint32_t code = EncodeAndCount(model, symbol, &length);
    out.Put(code, length);
}

void StoreLittleEndian32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

int Compress(CodecState& state, int source, int destination, uint32_t size) {
    uint8_t lengthField[CMP_LENGTH_SIZE];
    StoreLittleEndian32(lengthField, size);
    if (WriteHandle(destination, lengthField, CMP_LENGTH_SIZE) != static_cast<long>(CMP_LENGTH_SIZE)) {
        return CMP_WRITE_FAILED;
    }
    if (size == 0) return CMP_OK;

    int in = OpenStream(state, source, STREAM_READ, STREAM_BUFFER_SIZE);
    if (in < 0) return CMP_STREAM_OPEN_FAILED;
    int outSlot = OpenStream(state, destination, STREAM_WRITE, STREAM_BUFFER_SIZE);
    if (outSlot < 0) {
        CloseStream(state, in);
        return CMP_STREAM_OPEN_FAILED;
    }

    HuffmanModel& model = state.model;
    MatchTree& tree = state.tree;
    uint8_t* window = state.window;
    InitModel(model);
    ResetMatchTree(tree);
    std::memset(window, ' ', WINDOW_START);

    InputBytes input(state, in);
    BitWriter out(state, outSlot);
    int s = 0;
    int r = WINDOW_START;
    int len = 0;
    for (int c; len < MAX_MATCH && (c = input.Next()) >= 0; ++len) window[r + len] = static_cast<uint8_t>(c);

    // The positions before the start hold spaces followed by the first input bytes, so a file that begins
    // with spaces can start with a match.
    CopyReversed(tree, window);
    for (int i = 1; i <= MAX_MATCH; ++i) AddPosition(tree, window, r - i);
    InsertPosition(tree, window, r);

    do {
        if (tree.matchLength > len) tree.matchLength = len;
        if (tree.matchLength <= MATCH_THRESHOLD) {
            tree.matchLength = 1;
            EncodeSymbol(model, out, window[r]);
        } else {
            EncodeSymbol(model, out, LengthSymbol(tree.matchLength));
            out.Put(static_cast<uint32_t>(tree.matchOffset) & OFFSET_MASK, OFFSET_BITS);
        }
        // The bytes of the symbol just coded enter the window, and their positions the tree. Only the
        // position where the next symbol starts needs its match; the others are just added.
        int last = tree.matchLength;
        int i = 0;
        int c = 0;
        auto enter = [&](int byte) {
            RemovePosition(tree, s);
            window[s] = static_cast<uint8_t>(byte);
            StoreReversed(tree, s, static_cast<uint8_t>(byte));
            if (s < WINDOW_MIRROR) {
                window[s + WINDOW_SIZE] = static_cast<uint8_t>(byte);
                if (s < 8) StoreReversed(tree, s + WINDOW_SIZE, static_cast<uint8_t>(byte));
            }
            s = (s + 1) & (WINDOW_SIZE - 1);
            r = (r + 1) & (WINDOW_SIZE - 1);
        };
        for (; i < last - 1 && (c = input.Next()) >= 0; ++i) {
            enter(c);
            AddPosition(tree, window, r);
        }
        if (i == last - 1 && (c = input.Next()) >= 0) {
            enter(c);
            InsertPosition(tree, window, r);
            ++i;
        }
        for (; i < last; ++i) {
            RemovePosition(tree, s);
            s = (s + 1) & (WINDOW_SIZE - 1);
            r = (r + 1) & (WINDOW_SIZE - 1);
            if (--len != 0) InsertPosition(tree, window, r);
        }
    } while (len > 0);
    out.Flush();

    bool shortSource = Slot(state, in).failed != 0 || input.Delivered() < size;
    CloseStream(state, in);
    bool writeFailed = CloseStream(state, outSlot) != 0;
    if (writeFailed) return CMP_WRITE_FAILED;
    if (shortSource) return CMP_BODY_TRUNCATED;
    return CMP_OK;
}

}  // namespace zs::codec
