// The body of a compressed file: the 4-byte UncompressedSize and the code stream.
#pragma once

namespace zs::codec {

// Writes the body for the source file (from its current position) to destination. Returns a CmpResult.
int Compress(int source, int destination);

// Reads a body from source and writes exactly the decoded bytes to destination, never more than the length
// field says. Returns a CmpResult.
int Decompress(int source, int destination);

}  // namespace zs::codec
