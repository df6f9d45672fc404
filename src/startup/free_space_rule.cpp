#include "startup/free_space_rule.h"

#include <limits>

#include "base/bounded_format.h"

namespace zs::bootstrap {
namespace {

bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

RequiredBytesReading ReadRequiredBytes(const std::string& text) {
    RequiredBytesReading reading;
    size_t i = 0;
    while (i < text.size() && IsCSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Accumulate the magnitude in 64 bits and stop growing it once it is past the 32-bit range.
    const int64_t limit = negative ? -static_cast<int64_t>(std::numeric_limits<int32_t>::min())
                                   : std::numeric_limits<int32_t>::max();
    int64_t magnitude = 0;
    const size_t digits = i;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > limit) {
            magnitude = limit;
            reading.saturated = true;
        }
    }
    reading.bytes = static_cast<int32_t>(negative ? -magnitude : magnitude);
    reading.hasDigits = i > digits;
    reading.textAfterDigits = i < text.size();
    return reading;
}

int32_t ParseRequiredBytes(const std::string& text) {
    return ReadRequiredBytes(text).bytes;
}

bool HasEnoughFreeSpace(long double freeBytes, int32_t requiredBytes) {
    return freeBytes > static_cast<long double>(requiredBytes);
}

std::string RequiredKilobytesText(int32_t requiredBytes) {
    char text[16];
    FormatBounded(text, sizeof text, "%ld", static_cast<long>(requiredBytes / 1024));
    return text;
}

}  // namespace zs::bootstrap
