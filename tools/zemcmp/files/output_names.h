// Where outputs go and what they are called: the compressed name of an input, and the name an expanded file
// gets back where its compressed name tells it without doubt.
#pragma once

#include <optional>
#include <string>

namespace zs::zemcmp {

// The last component of a path, and everything before it (with its trailing separator, or empty).
std::string BaseName(const std::string& path);
std::string DirectoryPart(const std::string& path);
std::string JoinPath(const std::string& directory, const std::string& name);

// The compressed name of the input's base name, in `directory`, or beside the input when that is empty.
std::string CompressedOutputPath(const std::string& input, const std::string& directory);

// The original name behind a compressed name, where only one name can have given it: NAME._ from NAME (a name
// without a dot), NAME.X_ from NAME.X. Any other name has lost its last character (_SETUP.EX_ may stand for
// _SETUP.EXE or _SETUP.EX) or is no compressed name at all: nullopt.
std::optional<std::string> ExpandedName(const std::string& compressedName);

// The expanded name of the input's base name, in `directory` or beside the input.
std::optional<std::string> ExpandedOutputPath(const std::string& input, const std::string& directory);

}  // namespace zs::zemcmp
