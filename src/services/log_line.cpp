#include "services/log_line.h"

#include <cstdio>
#include <cstring>

namespace zs {

size_t FormatLogLineV(char (&line)[kLogLineBufferSize], const char* format, va_list args) {
    // The message may take the whole buffer but the last two bytes; vsnprintf never writes past the size it
    // is given. The terminator is forced as well, because some runtimes' variants leave it out when they cut.
    line[0] = '\0';
    int formatted = std::vsnprintf(line, kMaxLogMessageLength + 1, format, args);
    line[kMaxLogMessageLength] = '\0';
    size_t length = formatted >= 0 ? static_cast<size_t>(formatted) : std::strlen(line);
    if (length > kMaxLogMessageLength) length = kMaxLogMessageLength;
    line[length] = '\n';
    line[length + 1] = '\0';
    return length + 1;
}

std::string FormatLogLine(const char* format, ...) {
    char line[kLogLineBufferSize];
    va_list args;
    va_start(args, format);
    size_t length = FormatLogLineV(line, format, args);
    va_end(args);
    return std::string(line, length);
}

}  // namespace zs
