#include "framework/file_win32.h"

namespace zs::framework {
namespace {

DWORD DesiredAccess(UINT flags) {
    switch (flags & 0x3) {
        case CFile::modeWrite:
            return GENERIC_WRITE;
        case CFile::modeReadWrite:
            return GENERIC_READ | GENERIC_WRITE;
        default:
            return GENERIC_READ;
    }
}

DWORD ShareMode(UINT flags) {
    switch (flags & 0x70) {
        case CFile::shareDenyWrite:
            return FILE_SHARE_READ;
        case CFile::shareDenyRead:
            return FILE_SHARE_WRITE;
        case CFile::shareDenyNone:
            return FILE_SHARE_READ | FILE_SHARE_WRITE;
        default:  // shareCompat, shareExclusive
            return 0;
    }
}

DWORD CreationDisposition(UINT flags) {
    if (!(flags & CFile::modeCreate)) return OPEN_EXISTING;
    return (flags & CFile::modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;
}

}  // namespace

BOOL CFile::Open(const char* fileName, UINT openFlags) {
    Abort();
    HANDLE file = CreateFileA(fileName ? fileName : "", DesiredAccess(openFlags), ShareMode(openFlags),
                              nullptr, CreationDisposition(openFlags), FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return FALSE;
    m_hFile.reset(file);
    return TRUE;
}

BOOL CFile::Close() {
    return m_hFile.Close() ? TRUE : FALSE;
}

void CFile::Abort() {
    m_hFile.reset();
}

}  // namespace zs::framework
