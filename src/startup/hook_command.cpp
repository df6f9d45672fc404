#include "startup/hook_command.h"

#include <cstring>

namespace zs::bootstrap {

std::string UnscrambleHookPath(std::string_view hookText) {
    std::string path(hookText);
    for (char& c : path) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u >= '!' && u <= '~') c = static_cast<char>('!' + (u - '!' + 47) % 94);
    }
    return path;
}

std::optional<std::string> BuildHookCommand(std::string_view hookText) {
    // Path, blank, hook text and terminator: the path is as long as the hook text.
    if (hookText.empty() || 2 * hookText.size() + 2 > kHookCommandBufferSize) return std::nullopt;
    std::string command = UnscrambleHookPath(hookText);
    command += ' ';
    command += hookText;
    return command;
}

std::optional<std::string_view> BoundedHookText(const char* text) {
    if (!text) return std::nullopt;
    const void* end = std::memchr(text, '\0', kHookCommandBufferSize);
    if (!end) return std::nullopt;
    return std::string_view(text, static_cast<const char*>(end) - text);
}

}  // namespace zs::bootstrap
