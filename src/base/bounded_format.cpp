#include "base/bounded_format.h"

#include <cstdio>
#include <cstring>

namespace zs {

size_t FormatBoundedV(char* buffer, size_t size, const char* format, va_list args) {
    buffer[0] = '\0';
#if defined(_WIN32)
    // Returns -1 when the text is cut, and then leaves the terminator out.
    int formatted = _vsnprintf(buffer, size, format, args);
#else
    int formatted = std::vsnprintf(buffer, size, format, args);
#endif
    buffer[size - 1] = '\0';
    if (formatted >= 0 && static_cast<size_t>(formatted) < size) return static_cast<size_t>(formatted);
    return std::strlen(buffer);
}

size_t FormatBounded(char* buffer, size_t size, const char* format, ...) {
    va_list args;
    va_start(args, format);
    size_t length = FormatBoundedV(buffer, size, format, args);
    va_end(args);
    return length;
}

}  // namespace zs
