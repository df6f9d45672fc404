// The plain copy of a start-up file and the free-space query of the start-up checks. Neither shows a message
// or writes to the setup log; their callers report failures. (MakeCompressedName, the pure naming rule, is in
// compressed_name.h.)
#pragma once

#include "startup/sha256.h"

namespace zs {

// Copies from the source's current position to its end into the destination, in blocks of 32,767 bytes.
// Both are open Win32 file handles (cast to int, as the codec takes them) that the caller closes.
// Returns 1 when everything read was written, 0 when a read or write failed or no buffer was available.
// With a hash, each block is added to it from the buffer before it is written.
int CopyFileContents(int source, int destination, Sha256* hash = nullptr);

// Free bytes on drive `drive` (1 = A:, 3 = C:); 0 when the system cannot tell.
long double GetDriveFreeBytes(int drive);

}  // namespace zs
