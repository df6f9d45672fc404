// Buffered byte streams over file handles: a static table of MAX_STREAMS slots, each with a heap buffer that
// it owns from OpenStream to CloseStream. No single transfer to or from the file is larger than
// STREAM_BUFFER_SIZE bytes.
//
// Slot invariants while open:
//   read mode:  buffer <= cursor <= limit <= buffer + capacity; [cursor, limit) are the bytes not yet handed
//               out; moreInput is 0 once a read came back short, failed is 1 once a read failed.
//   write mode: limit == buffer + capacity; [buffer, cursor) are the bytes not yet written; failed is 1 once
//   a
//               write failed or came back short, and from then on nothing more is written (bytes stay within
//               the buffer and are dropped).
#pragma once

#include <cstddef>
#include <cstdint>

namespace zs::codec {

struct CodecState;

inline constexpr int MAX_STREAMS = 16;
inline constexpr uint32_t STREAM_BUFFER_SIZE = 65500;

enum StreamMode : int { STREAM_READ = 1, STREAM_WRITE = 2 };
enum SlotState : int { SLOT_NEVER_USED = 0, SLOT_OPEN = 1, SLOT_CLOSED = 2 };
inline constexpr int STREAM_CLOSE_WRITE_FAILED = 4;

struct StreamSlot {
    int handle;
    int mode;
    int state;
    int moreInput;
    int failed;
    uint8_t* buffer;
    uint8_t* cursor;
    uint8_t* limit;
    uint32_t capacity;
    uint64_t transferred;  // bytes read from the file so far (read mode)
};

// Every stream lives in the slot table of one codec state (codec_state.h); the functions name the state and
// the slot.

// Returns the slot number, or -1 when all slots are open, the buffer cannot be allocated or (read mode) the
// first read fails.
int OpenStream(CodecState& state, int handle, int mode, uint32_t capacity);

// Writes out what a write stream still holds and frees the buffer. Returns 0, or STREAM_CLOSE_WRITE_FAILED
// when any write of this stream failed.
int CloseStream(CodecState& state, int slot);

// Read mode: the next byte as 0..255, or -1 at the end of the input (and on every later call).
int ReadStreamByte(CodecState& state, int slot);
int RefillStream(CodecState& state, int slot);

// Write mode: stores one byte, writing out the buffer first when it is full.
void WriteStreamByte(CodecState& state, int slot, uint8_t byte);
void FlushAndPut(CodecState& state, uint8_t byte, int slot);

// Bulk forms for the codec's hot paths; same transfers to the file as the byte forms.
void WriteStreamBlock(CodecState& state, int slot, const uint8_t* data, size_t size);

StreamSlot& Slot(CodecState& state, int slot);

}  // namespace zs::codec
