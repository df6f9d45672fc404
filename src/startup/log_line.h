// One line of the setup log: a printf-style message followed by a line feed, in a 512-byte buffer with its
// terminating NUL. So a message keeps at most 510 characters; a longer one is cut there and the line still
// ends with its line feed. A message that formats to nothing gives a line of the line feed alone.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <string>

#include "base/bounded_format.h"

namespace zs {

inline constexpr size_t kLogLineBufferSize = 512;
inline constexpr size_t kMaxLogMessageLength = kLogLineBufferSize - 2;  // room for "\n" and the NUL

// Formats the message into line (kLogLineBufferSize bytes), appends "\n" and the NUL, and returns the line's
// length in bytes, line feed included (1 .. 511). A formatting error gives what was formatted before it, or
// the empty message.
size_t FormatLogLineV(char (&line)[kLogLineBufferSize], const char* format, va_list args);

// The same line as a string, for callers and tests that do not keep a buffer of their own.
std::string FormatLogLine(const char* format, ...) ZS_PRINTF_FORMAT(1, 2);

}  // namespace zs
