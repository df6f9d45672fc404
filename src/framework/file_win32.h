// The framework's file object: a Win32 file handle that is opened by name with the framework's mode flags,
// closed with Close (which says whether the system closed it without a failure) or Abort (which ignores every
// error), and closed without a report when the object goes while the file is still open. Failures are
// results: nothing here throws.
#pragma once

#include <windows.h>

#include "framework/scoped_handle_win32.h"

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
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // Returns FALSE when the file cannot be opened; GetLastError() then gives the system's reason.
    BOOL Open(const char* fileName, UINT openFlags);
    // Returns FALSE when the system reports a failure (for a file written to: its last data may not have
    // reached the disk); the object is closed either way. A file that is not open closes without a failure.
    BOOL Close();
    // Closes the file if it is open and ignores every error.
    void Abort();

    bool IsOpen() const { return static_cast<bool>(m_hFile); }

    // The operating system's handle of the open file; empty when closed.
    ScopedHandle m_hFile;
};

}  // namespace zs::framework
