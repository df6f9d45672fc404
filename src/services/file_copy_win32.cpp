// The plain copy of a start-up file and the free-space query.
#include "services/file_copy_win32.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <new>

namespace zs {
namespace {

constexpr DWORD kCopyBlockSize = 0x7FFF;

HANDLE ToHandle(int handle) {
    return reinterpret_cast<HANDLE>(static_cast<intptr_t>(handle));
}

}  // namespace

int CopyFileContents(int source, int destination, Sha256* hash) {
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[kCopyBlockSize]);
    if (!buffer) return 0;

    // Every block read is written, the empty one too; only a full block can be followed by more data.
    DWORD read = 0;
    do {
        if (!ReadFile(ToHandle(source), buffer.get(), kCopyBlockSize, &read, nullptr)) return 0;
        if (hash) hash->Update(buffer.get(), read);
        DWORD written = 0;
        // A short write is a full medium: it fails the copy like a refused one.
        if (!WriteFile(ToHandle(destination), buffer.get(), read, &written, nullptr) || written != read)
            return 0;
    } while (read == kCopyBlockSize);
    return 1;
}

long double GetDriveFreeBytes(int drive) {
    if (drive < 1 || drive > 26) return 0;
    const char root[] = {static_cast<char>('@' + drive), ':', '\\', '\0'};
    DWORD sectorsPerCluster = 0;
    DWORD bytesPerSector = 0;
    DWORD freeClusters = 0;
    DWORD totalClusters = 0;
    if (!GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters))
        return 0;
    // Multiplied in extended precision: the product of three 32-bit counts overflows any 32-bit type.
    return static_cast<long double>(sectorsPerCluster) * bytesPerSector * freeClusters;
}

}  // namespace zs
