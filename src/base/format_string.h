// The framework's one-argument message formatting, as a pure rule: every "%1" in a message is replaced by the
// argument. Nothing else is interpreted, so another "%" sequence ("%2", "%%", a "%" at the end) stays as it
// is. Portable: the native tests compile it on their own.
#pragma once

#include <string>
#include <string_view>

namespace zs::framework {

std::string FillArgument1(std::string_view message, std::string_view argument);

}  // namespace zs::framework
