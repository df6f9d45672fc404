// The body of a compressed file: the 4-byte UncompressedSize and the code stream.
#pragma once

#include <cstdint>

namespace zs::codec {

struct CodecState;

// Writes the body for the source file (from its current position) to destination, with `state` as the
// codec's working state. `size` is the platform's size of the source, which the length field records.
// Returns a CmpResult.
int Compress(CodecState& state, int source, int destination, uint32_t size);

// Reads a body from source and writes the decoded bytes to destination, never more than the length field
// says. Decoding stops once `limit` bytes are out; the item that reaches the limit may add up to 59 bytes
// (the rest of its match) beyond it. Returns a CmpResult.
int Decompress(CodecState& state, int source, int destination, uint32_t limit = UINT32_MAX);

}  // namespace zs::codec
