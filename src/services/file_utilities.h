// File operations around the temporary directory of a setup run. None of them shows a message or writes to
// the setup log; their callers report failures. Win32 only (MakeCompressedName, the pure naming rule, is in
// compressed_name.h).
#pragma once

namespace zs {

// Copies from the source's current position to its end into the destination, in blocks of 32,767 bytes.
// Both are open Win32 file handles (cast to int, as the codec takes them) that the caller closes.
// Returns 1 when everything read was written, 0 when a read or write failed or no buffer was available.
int CopyFileContents(int source, int destination);

// Free bytes on drive `drive` (1 = A:, 3 = C:); 0 when the system cannot tell.
long double GetDriveFreeBytes(int drive);

// Deletes the files matching a pattern such as "C:\\TMP\\*.*" (no subdirectories; names beginning with "."
// are skipped). Returns 1 when every matching file was deleted, 0 when none matched or one could not be.
int DeleteMatchingFiles(const char* pattern);

// Empties and removes the directory (full path ending in a backslash) and leaves "c:\\" as the current
// directory. Returns 0 when the directory was removed, -1 when not.
int RemoveTempDirectory(const char* directory);

}  // namespace zs
