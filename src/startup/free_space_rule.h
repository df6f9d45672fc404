// The free-space test made before the language is chosen: the list file's "TmpDirSize" against the free bytes
// on drive C:.
#pragma once

#include <cstdint>
#include <string>

namespace zs::bootstrap {

// The number of bytes that "TmpDirSize" asks for, read like the C runtime's atol: leading white space, an
// optional sign, then decimal digits up to the first other character; text without digits gives 0. A number
// beyond the signed 32-bit range saturates at its nearest end (as a 32-bit strtol does) instead of wrapping.
int32_t ParseRequiredBytes(const std::string& text);

// The same reading with what it met on the way, for a media author's warnings.
struct RequiredBytesReading {
    int32_t bytes = 0;
    bool hasDigits = false;        // at least one digit after the white space and the sign
    bool textAfterDigits = false;  // something follows the digits, which the reading ignores
    bool saturated = false;        // the number lies beyond the signed 32-bit range
};
RequiredBytesReading ReadRequiredBytes(const std::string& text);

// The test passes only when the free bytes are strictly greater than the requirement, compared as
// floating-point numbers (free space may exceed any 32-bit count).
bool HasEnoughFreeSpace(long double freeBytes, int32_t requiredBytes);

// The number shown in the message when the test fails: the requirement in kilobytes, divided by 1024 with
// truncation toward zero and formatted as "%ld" (1048576 gives "1024", 1500 gives "1").
std::string RequiredKilobytesText(int32_t requiredBytes);

}  // namespace zs::bootstrap
