// File handles as Win32 file handles.
#include "compress/file_handle.h"

#include <windows.h>

#include <cstdint>

namespace zs::codec {
namespace {
HANDLE ToHandle(int handle) {
    return reinterpret_cast<HANDLE>(static_cast<intptr_t>(handle));
}
}  // namespace

long ReadHandle(int handle, void* buffer, uint32_t size) {
    DWORD got = 0;
    if (!ReadFile(ToHandle(handle), buffer, size, &got, nullptr)) return -1;
    return static_cast<long>(got);
}

long WriteHandle(int handle, const void* buffer, uint32_t size) {
    DWORD put = 0;
    if (!WriteFile(ToHandle(handle), buffer, size, &put, nullptr)) return -1;
    return static_cast<long>(put);
}

bool HandleSize(int handle, uint32_t* size) {
    // A directory has no file size, though GetFileSize reports 0 for it (and a read of it fails).
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileInformationByHandle(ToHandle(handle), &info) &&
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    DWORD low = GetFileSize(ToHandle(handle), nullptr);
    if (low == INVALID_FILE_SIZE) return false;
    *size = low;
    return true;
}

bool SameFile(int first, int second) {
    if (first == second) return true;
    BY_HANDLE_FILE_INFORMATION a = {};
    BY_HANDLE_FILE_INFORMATION b = {};
    if (!GetFileInformationByHandle(ToHandle(first), &a) ||
        !GetFileInformationByHandle(ToHandle(second), &b)) {
        return false;
    }
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
           a.nFileIndexLow == b.nFileIndexLow;
}

}  // namespace zs::codec
