// The codec's only contact with the platform: read, write and size of an open file handle.
// A handle is a Win32 file handle on Windows and a POSIX file descriptor elsewhere.
#pragma once

#include <cstdint>

namespace zs::codec {

// Reads up to `size` bytes; fewer only at the end of the file. Returns the number read, or -1 when the read
// failed.
long ReadHandle(int handle, void* buffer, uint32_t size);

// Writes `size` bytes. Returns the number written (fewer than `size` when the medium is full), or -1 when the
// write failed.
long WriteHandle(int handle, const void* buffer, uint32_t size);

// The file's size, lower 32 bits. False when the platform reports no size (or all ones, as Windows does for a
// failure), and for a directory, which has none.
bool HandleSize(int handle, uint32_t* size);

// Whether two handles reach the same file: the same handle, or handles of one file (same volume and file
// index on Windows, same device and inode elsewhere). Handles whose file cannot be told are not the same.
bool SameFile(int first, int second);

}  // namespace zs::codec
