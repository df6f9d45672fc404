#include "startup/restart_request.h"

#include <algorithm>
#include <cstdlib>

namespace zs::bootstrap {

std::string RestartRequestKeyPath(const std::string& appName) {
    return "Software\\Zemrova\\" + appName + "\\Setup";
}

bool IsRestartRequest(const unsigned char* value, size_t size) {
    // One byte more than the value may fill, so that the text always ends inside the buffer.
    char text[kRestartValueBufferSize + 1] = {};
    std::copy_n(value, std::min(size, kRestartValueBufferSize), text);
    // strtol rather than atoi: the same reading, but a number beyond the int range saturates (and so stays a
    // request) instead of being undefined.
    return std::strtol(text, nullptr, 10) != 0;
}

RestartRequestKind ClassifyRestartRequest(const RestartKeyState& before, const RestartKeyState& after) {
    if (!after.requestsRestart) return RestartRequestKind::kNone;
    if (!before.keyExists || before.lastWriteTime != after.lastWriteTime)
        return RestartRequestKind::kMadeInThisRun;
    return RestartRequestKind::kLeftFromEarlier;
}

}  // namespace zs::bootstrap
