// The hook: a resource library may name another program that takes over the run before anything else
// happens. Its GetHookName export returns the hook text; an empty text means no hook.
//
// The hook text is the program's path in a simple scrambled form: every printable ASCII character ("!" to
// "~") is rotated by 47 places within that range (so scrambling and unscrambling are the same operation) and
// every other byte stands for itself. The command that is started is the unscrambled path, one blank and the
// hook text unchanged. It has to fit in 256 bytes with its terminator, so a hook text may be at most 127
// characters long; a longer one (or one without a terminator within 256 bytes) gives no command.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zs::bootstrap {

inline constexpr size_t kHookCommandBufferSize = 256;

std::string UnscrambleHookPath(std::string_view hookText);

// The command for a non-empty hook text; nothing when it does not fit.
std::optional<std::string> BuildHookCommand(std::string_view hookText);

// The hook text behind the pointer that GetHookName returned, read no further than the command buffer's size:
// nothing when the pointer is null or no terminator comes within that size.
std::optional<std::string_view> BoundedHookText(const char* text);

}  // namespace zs::bootstrap
