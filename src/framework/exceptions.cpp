#include "framework/exceptions.h"

namespace zs::framework {

void AfxThrowNotSupportedException() {
    throw CNotSupportedException();
}

void AfxThrowMemoryException() {
    throw CMemoryException();
}

void AfxThrowFileException(int cause, long osError, const char* fileName) {
    throw CFileException(cause, osError, fileName ? fileName : "");
}

}  // namespace zs::framework
