// The body of a compressed file: the 4-byte UncompressedSize and the code stream.
#pragma once

namespace zs::codec {

struct CodecState;

// Writes the body for the source file (from its current position) to destination, with `state` as the
// codec's working state. Returns a CmpResult.
int Compress(CodecState& state, int source, int destination);

// Reads a body from source and writes exactly the decoded bytes to destination, never more than the length
// field says. Returns a CmpResult.
int Decompress(CodecState& state, int source, int destination);

}  // namespace zs::codec
