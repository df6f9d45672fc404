// Emptying and removing the temporary directory of a setup run. Neither function shows a message or writes to
// the setup log.
#pragma once

namespace zs {

// Deletes the files matching a pattern such as "C:\\TMP\\*.*" (no subdirectories; names beginning with "."
// are skipped). Returns 1 when every matching file was deleted, 0 when none matched or one could not be.
int DeleteMatchingFiles(const char* pattern);

// Empties and removes the directory (full path ending in a backslash) and leaves "c:\\" as the current
// directory. Returns 0 when the directory was removed, -1 when not.
int RemoveTempDirectory(const char* directory);

}  // namespace zs
