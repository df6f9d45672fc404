// All state of the codec, in one static instance: the window shared by compressor and decompressor, the
// Huffman model, the match tree, the stream table and the decompressor's output history. One compression or
// decompression runs at a time in a process.
//
// Everything here is constant-initialised (zero) so that the exported functions work in a module whose C
// runtime start-up never ran.
#pragma once

#include <cstdint>

#include "compress/codec_control.h"
#include "compress/huffman_decoder.h"
#include "compress/huffman_model.h"
#include "compress/match_tree.h"
#include "compress/stream_io.h"

namespace zs::codec {

// Positions WINDOW_SIZE .. WINDOW_SIZE + 58 repeat positions 0..58, so that a comparison starting near the
// end of the ring runs on without wrapping; the padding lets the compare load eight bytes at a time.
inline constexpr int WINDOW_MIRROR = MAX_MATCH - 1;
inline constexpr int WINDOW_PADDING = 8;
inline constexpr int WINDOW_BYTES = WINDOW_SIZE + WINDOW_MIRROR + WINDOW_PADDING;

// The decompressor works on a linear copy of the window followed by the output not yet handed to the write
// stream; a chunk is one stream buffer.
inline constexpr uint32_t HISTORY_CHUNK = STREAM_BUFFER_SIZE;
// Room past a full chunk for one more match and the overrun of the eight-byte match copy.
inline constexpr uint32_t HISTORY_BYTES = WINDOW_SIZE + HISTORY_CHUNK + MAX_MATCH + 8;

struct CodecState {
    uint8_t window[WINDOW_BYTES];
    HuffmanModel model;
    DecodeTable decodeTable;
    MatchTree tree;
    StreamSlot slots[MAX_STREAMS];
    uint8_t history[HISTORY_BYTES];
    ProgressHook progressHook;
    void* progressContext;
    WriteObserver writeObserver;
    void* writeObserverContext;
};

// The state of the exported functions. ResetCodecState and SetProgressHook (codec_control.h) act on it; a
// tool may make states of its own with NewCodecState.
extern CodecState g_codec;

}  // namespace zs::codec
