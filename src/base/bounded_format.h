// printf-style formatting into a fixed buffer, by the C runtime library's own formatter.
//
// On Windows that is the C runtime DLL's _vsnprintf: the standard names (std::snprintf, std::vsnprintf) are
// switched by MinGW's C++ headers to MinGW's own C99 formatter, which is linked into the program (about 20 KB
// with its floating-point support). Formats must therefore keep to what every runtime reads alike: %d %i %u
// %ld %lu %x %c %s with flags, width and precision; no %zu, %lld or %hhd (the format attribute checks this).
#pragma once

#include <cstdarg>
#include <cstddef>

#if defined(__MINGW32__)
#define ZS_PRINTF_FORMAT(format_index, first_arg) __attribute__((format(ms_printf, format_index, first_arg)))
#elif defined(__GNUC__)
#define ZS_PRINTF_FORMAT(format_index, first_arg) __attribute__((format(printf, format_index, first_arg)))
#else
#define ZS_PRINTF_FORMAT(format_index, first_arg)
#endif

namespace zs {

// Formats into buffer (size > 0 bytes), never writing past it, and always ends the text with a NUL; a text
// that does not fit is cut. Returns the length of the text kept (0 .. size - 1); a formatting error keeps
// what was formatted before it.
size_t FormatBoundedV(char* buffer, size_t size, const char* format, va_list args);
size_t FormatBounded(char* buffer, size_t size, const char* format, ...) ZS_PRINTF_FORMAT(3, 4);

}  // namespace zs
