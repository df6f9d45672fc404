// A slow, obviously correct model of the format for cross-checking the production codec: a byte-at-a-time
// ring window, a byte-at-a-time string compare, a bit writer that emits one bit at a time and a bit reader
// that reads one byte at a time, 0xFF past the end. It shares no code with src/compress.
//
// Like the production codec it keeps the window between calls (positions from 4036 on are never cleared), so
// a sequence of calls on both sides stays comparable; ResetReferenceState() is the fresh-process state.
#pragma once

#include <cstdint>
#include <vector>

namespace zs::test {

struct ReferenceStats {
    uint64_t symbols = 0;
    int longestCode = 0;  // bits
    int rebuilds = 0;
    uint64_t bitsRead = 0;  // code-stream bits the decoder consumed
};

void ResetReferenceState();

// The body (length field and code stream) for `input`.
std::vector<uint8_t> ReferenceCompress(const std::vector<uint8_t>& input, ReferenceStats* stats = nullptr);

// Decodes a body; copies whole matches even past the length (as the plain steps do), then cuts the result to
// the length field.
std::vector<uint8_t> ReferenceDecompress(const std::vector<uint8_t>& body, ReferenceStats* stats = nullptr);

}  // namespace zs::test
