// The exception kinds of the framework that the start-up sequence raises and handles. They are thrown by
// value and caught by reference to CException, so one handler catches every kind and nothing has to be
// deleted.
#pragma once

#include <string>

namespace zs::framework {

class CException {
  public:
    virtual ~CException() = default;
};

// An operation that is not supported; the staging step raises it for its own failures after setting the
// message text.
class CNotSupportedException : public CException {};

// Memory ran out.
class CMemoryException : public CException {};

// A file operation failed: `m_cause` says how in portable terms, `m_lOsError` is the system's error code (-1
// when there is none) and `m_strFileName` the file's name when it is known.
class CFileException : public CException {
  public:
    enum Cause {
        none = 0,
        genericException = 1,
        fileNotFound = 2,
        badPath = 3,
        tooManyOpenFiles = 4,
        accessDenied = 5,
        invalidFile = 6,
        removeCurrentDir = 7,
        directoryFull = 8,
        badSeek = 9,
        hardIO = 10,
        sharingViolation = 11,
        lockViolation = 12,
        diskFull = 13,
        endOfFile = 14,
    };

    CFileException() = default;
    CFileException(int cause, long osError, std::string fileName = std::string())
        : m_cause(cause), m_lOsError(osError), m_strFileName(std::move(fileName)) {}

    int m_cause = none;
    long m_lOsError = -1;
    std::string m_strFileName;
};

[[noreturn]] void AfxThrowNotSupportedException();
[[noreturn]] void AfxThrowMemoryException();
[[noreturn]] void AfxThrowFileException(int cause, long osError = -1, const char* fileName = nullptr);

}  // namespace zs::framework
