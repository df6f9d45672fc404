// The name under which a file is stored compressed on an installation medium: its last character becomes an
// underscore (_SETUP.EXE -> _SETUP.EX_), or an underscore is added when the name has no extension of three or
// more characters (SETUP -> SETUP._, SETUP.HL -> SETUP.HL_).
#pragma once

#include <string>
#include <string_view>

namespace zs {

// The last "." of the whole text counts, so a path is searched as a whole, directories included.
std::string MakeCompressedName(std::string_view name);

}  // namespace zs
