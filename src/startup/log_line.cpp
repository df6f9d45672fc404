#include "startup/log_line.h"

namespace zs {

size_t FormatLogLineV(char (&line)[kLogLineBufferSize], const char* format, va_list args) {
    // The message may take the whole buffer but the last two bytes.
    size_t length = FormatBoundedV(line, kMaxLogMessageLength + 1, format, args);
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
