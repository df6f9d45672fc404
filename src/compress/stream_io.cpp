#include "compress/stream_io.h"

#include <cstdlib>
#include <cstring>

#include "compress/codec_state.h"
#include "compress/file_handle.h"

namespace zs::codec {
namespace {

// Fills up to `size` bytes in pieces of at most STREAM_BUFFER_SIZE, stopping at the first short piece.
// Returns the number of bytes read, or -1 when a read failed before anything arrived.
long ReadPieces(int handle, uint8_t* into, uint32_t size, bool* failed) {
    uint32_t done = 0;
    while (done < size) {
        uint32_t piece = size - done < STREAM_BUFFER_SIZE ? size - done : STREAM_BUFFER_SIZE;
        long got = ReadHandle(handle, into + done, piece);
        if (got < 0) {
            *failed = true;
            break;
        }
        done += static_cast<uint32_t>(got);
        if (static_cast<uint32_t>(got) < piece) break;
    }
    return static_cast<long>(done);
}

// Writes the slot's pending bytes unless an earlier write failed; a short or failed write makes the slot
// failed for good. The state's observer sees the bytes first, while they are still in the buffer.
void WritePending(CodecState& state, StreamSlot& s) {
    uint32_t pending = static_cast<uint32_t>(s.cursor - s.buffer);
    if (state.writeObserver != nullptr && pending != 0 && !s.failed) {
        state.writeObserver(state.writeObserverContext, s.buffer, pending);
    }
    uint32_t done = 0;
    while (!s.failed && done < pending) {
        uint32_t piece = pending - done < STREAM_BUFFER_SIZE ? pending - done : STREAM_BUFFER_SIZE;
        long put = WriteHandle(s.handle, s.buffer + done, piece);
        if (put != static_cast<long>(piece)) s.failed = 1;
        done += piece;
    }
    s.cursor = s.buffer;
}

void ReportRead(CodecState& state, StreamSlot& s, long got) {
    s.transferred += static_cast<uint64_t>(got);
    if (state.progressHook != nullptr) state.progressHook(state.progressContext, s.transferred);
}

}  // namespace

StreamSlot& Slot(CodecState& state, int slot) {
    return state.slots[slot];
}

int OpenStream(CodecState& state, int handle, int mode, uint32_t capacity) {
    int slot = 0;
    while (slot < MAX_STREAMS && state.slots[slot].state == SLOT_OPEN) ++slot;
    if (slot == MAX_STREAMS || capacity == 0) return -1;

    auto* buffer = static_cast<uint8_t*>(std::malloc(capacity));
    if (buffer == nullptr) return -1;

    StreamSlot& s = state.slots[slot];
    s.handle = handle;
    s.mode = mode;
    s.buffer = buffer;
    s.cursor = buffer;
    s.limit = buffer + capacity;
    s.capacity = capacity;
    s.moreInput = 1;
    s.failed = 0;
    s.transferred = 0;

    if (mode == STREAM_READ) {
        bool failed = false;
        long got = ReadPieces(handle, buffer, capacity, &failed);
        if (failed) {
            std::free(buffer);
            s.buffer = s.cursor = s.limit = nullptr;
            return -1;
        }
        if (static_cast<uint32_t>(got) < capacity) s.moreInput = 0;
        s.limit = buffer + got;
        ReportRead(state, s, got);
    }
    s.state = SLOT_OPEN;
    return slot;
}

int CloseStream(CodecState& state, int slot) {
    StreamSlot& s = state.slots[slot];
    if (s.state != SLOT_OPEN) return 0;
    if (s.mode == STREAM_WRITE) WritePending(state, s);
    int result = (s.mode == STREAM_WRITE && s.failed) ? STREAM_CLOSE_WRITE_FAILED : 0;
    std::free(s.buffer);
    s.buffer = s.cursor = s.limit = nullptr;
    s.state = SLOT_CLOSED;
    return result;
}

int ReadStreamByte(CodecState& state, int slot) {
    StreamSlot& s = state.slots[slot];
    if (s.cursor < s.limit) return *s.cursor++;
    return RefillStream(state, slot);
}

int RefillStream(CodecState& state, int slot) {
    StreamSlot& s = state.slots[slot];
    if (!s.moreInput) return -1;
    bool failed = false;
    long got = ReadPieces(s.handle, s.buffer, s.capacity, &failed);
    if (failed) {
        // A failed read ends the input for good, even when part of a piece arrived.
        s.failed = 1;
        s.moreInput = 0;
        s.cursor = s.limit = s.buffer;
        return -1;
    }
    if (static_cast<uint32_t>(got) < s.capacity) s.moreInput = 0;
    ReportRead(state, s, got);
    s.cursor = s.buffer;
    s.limit = s.buffer + got;
    if (got == 0) return -1;
    return *s.cursor++;
}

void WriteStreamByte(CodecState& state, int slot, uint8_t byte) {
    StreamSlot& s = state.slots[slot];
    if (s.cursor == s.limit) {
        FlushAndPut(state, byte, slot);
        return;
    }
    *s.cursor++ = byte;
}

void FlushAndPut(CodecState& state, uint8_t byte, int slot) {
    StreamSlot& s = state.slots[slot];
    WritePending(state, s);
    *s.cursor++ = byte;
}

void WriteStreamBlock(CodecState& state, int slot, const uint8_t* data, size_t size) {
    StreamSlot& s = state.slots[slot];
    while (size > 0) {
        if (s.cursor == s.limit) WritePending(state, s);
        size_t room = static_cast<size_t>(s.limit - s.cursor);
        size_t piece = size < room ? size : room;
        std::memcpy(s.cursor, data, piece);
        s.cursor += piece;
        data += piece;
        size -= piece;
    }
}

}  // namespace zs::codec
