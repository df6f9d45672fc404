// Emptying and removing the temporary directory of a setup run.
#include "services/temp_directory_win32.h"

#include <windows.h>
#include <direct.h>
#include <io.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace zs {
namespace {

// The fixed buffers of the file deletion bind these lengths: the pattern and every path built from it fit in
// 132 bytes, the pattern's directory part in 128 (NUL included in both).
constexpr size_t kPathBufferSize = 132;
constexpr size_t kDirectoryBufferSize = 128;
// The directory path followed by "*.*" fits the 256-byte work buffer of RemoveTempDirectory.
constexpr size_t kWorkBufferSize = 256;
constexpr char kAllFiles[] = "*.*";
constexpr size_t kMaxTempDirectoryLength = kWorkBufferSize - sizeof kAllFiles;

constexpr DWORD kAttributesThatBlockDeletion =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// drive + directory + name, joined without separators; false when it does not fit the path buffer.
bool JoinPath(char (&path)[kPathBufferSize], const char* drive, const char* directory, const char* name) {
    const size_t driveLength = std::strlen(drive);
    const size_t directoryLength = std::strlen(directory);
    const size_t nameLength = std::strlen(name);
    if (driveLength + directoryLength + nameLength >= kPathBufferSize) return false;
    std::memcpy(path, drive, driveLength);
    std::memcpy(path + driveLength, directory, directoryLength);
    std::memcpy(path + driveLength + directoryLength, name, nameLength + 1);
    return true;
}

// Clears the attributes that would make the deletion fail, then deletes the file. Every entry of the search
// gets this, the first one included, so that no file's place in the search decides whether it can go. A
// subdirectory cannot be deleted this way, which is what stops the emptying there.
bool DeleteFileWhateverItsAttributes(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        DWORD cleared = attributes & ~kAttributesThatBlockDeletion;
        // Zero would mean "leave the attributes as they are" to the system.
        if (cleared == 0) cleared = FILE_ATTRIBUTE_NORMAL;
        if (cleared != attributes) SetFileAttributesA(path, cleared);
    }
    return std::remove(path) == 0;
}

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

}  // namespace

int DeleteMatchingFiles(const char* pattern) {
    if (std::strlen(pattern) >= kPathBufferSize) return 0;
    // Full-size pieces: the pattern's length already bounds each of them.
    char drive[_MAX_DRIVE];
    char directory[_MAX_DIR];
    char name[_MAX_FNAME];
    char extension[_MAX_EXT];
    _splitpath(pattern, drive, directory, name, extension);
    if (std::strlen(directory) >= kDirectoryBufferSize) return 0;

    _finddata_t found;
    const intptr_t search = _findfirst(pattern, &found);
    if (search == -1) return 0;
    int result = 1;
    do {
        // ".", ".." and every other name that begins with a dot stay.
        if (found.name[0] == '.') continue;
        char path[kPathBufferSize];
        if (!JoinPath(path, drive, directory, found.name) || !DeleteFileWhateverItsAttributes(path)) {
            result = 0;
            break;
        }
    } while (_findnext(search, &found) == 0);
    _findclose(search);
    return result;
}

int RemoveTempDirectory(const char* directory) {
    static char workBuffer[kWorkBufferSize];
    const size_t length = std::strlen(directory);
    // Only a directory path ending in its separator is taken: without it, "*.*" appended would match files
    // beside the directory, and cutting the last character would name another directory.
    const bool usable = length > 0 && length <= kMaxTempDirectoryLength && IsSeparator(directory[length - 1]);
    if (usable) {
        std::memcpy(workBuffer, directory, length);
        std::memcpy(workBuffer + length, kAllFiles, sizeof kAllFiles);
        DeleteMatchingFiles(workBuffer);
    }
    // The process must not stand in the directory it removes; this holds whatever the outcome.
    _chdir("c:\\");
    if (!usable) return -1;

    std::memcpy(workBuffer, directory, length - 1);
    workBuffer[length - 1] = '\0';
    return _rmdir(workBuffer) == 0 ? 0 : -1;
}

}  // namespace zs
