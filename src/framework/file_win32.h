// The framework's file object: a Win32 file handle that is opened by name with the framework's mode flags,
// closed with Close (which reports a failure as CFileException) or Abort (which ignores every error), and
// closed without a report when the object goes while the file is still open.
#pragma once

#include <windows.h>

#include <string>

#include "framework/exceptions.h"

namespace zs::framework {

class CFile {
  public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        // The compatibility sharing mode shares nothing, like shareExclusive.
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        // Creates the file, or empties one that exists.
        modeCreate = 0x1000,
        // With modeCreate: an existing file is opened as it is.
        modeNoTruncate = 0x2000,
    };

    CFile() = default;
    ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // Returns FALSE when the file cannot be opened and then fills `error`, when given, with the cause; it
    // never throws.
    BOOL Open(const char* fileName, UINT openFlags, CFileException* error = nullptr);
    // Throws CFileException when the system reports a failure; the object is closed either way.
    void Close();
    // Closes the file if it is open and ignores every error.
    void Abort();

    bool IsOpen() const { return m_hFile != INVALID_HANDLE_VALUE; }

    // The operating system's handle of the open file; INVALID_HANDLE_VALUE when closed.
    HANDLE m_hFile = INVALID_HANDLE_VALUE;
    std::string m_strFileName;
};

// The portable cause of a system error code (CFileException::Cause).
int FileExceptionCauseOf(DWORD osError);

}  // namespace zs::framework
