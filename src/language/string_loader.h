// How the language rules reach the resource library's string table: a string ID gives its text, or nothing
// when the table has no such string. setup.exe loads from its current resource module; tests and the media
// tool supply a table of their own.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace zs::language {

using StringLoader = std::function<std::optional<std::string>(int id)>;

}  // namespace zs::language
