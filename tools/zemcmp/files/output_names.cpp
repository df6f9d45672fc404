#include "files/output_names.h"

#include "platform/platform.h"
#include "startup/compressed_name.h"

namespace zs::zemcmp {
namespace {

size_t BaseNameStart(const std::string& path) {
    size_t start = path.size();
    while (start > 0 && !IsPathSeparator(path[start - 1])) --start;
    return start;
}

std::string OutputDirectory(const std::string& input, const std::string& directory) {
    return directory.empty() ? DirectoryPart(input) : directory;
}

}  // namespace

std::string BaseName(const std::string& path) {
    return path.substr(BaseNameStart(path));
}

std::string DirectoryPart(const std::string& path) {
    return path.substr(0, BaseNameStart(path));
}

std::string JoinPath(const std::string& directory, const std::string& name) {
    if (directory.empty() || IsPathSeparator(directory.back())) return directory + name;
    return directory + PreferredSeparator() + name;
}

std::string CompressedOutputPath(const std::string& input, const std::string& directory) {
    // The rule is applied to the base name alone: a dot in a directory name must not count.
    return JoinPath(OutputDirectory(input, directory), MakeCompressedName(BaseName(input)));
}

std::optional<std::string> ExpandedName(const std::string& compressedName) {
    size_t dot = compressedName.rfind('.');
    if (dot == std::string::npos || compressedName.back() != '_') return std::nullopt;
    size_t afterDot = compressedName.size() - dot - 1;
    // NAME._ -> NAME. (NAME. gives NAME._ too, but a name ending in a dot is no usable file name.)
    if (afterDot == 1 && dot > 0) return compressedName.substr(0, dot);
    if (afterDot == 2) return compressedName.substr(0, compressedName.size() - 1);  // NAME.X_ -> NAME.X
    return std::nullopt;
}

std::optional<std::string> ExpandedOutputPath(const std::string& input, const std::string& directory) {
    std::optional<std::string> name = ExpandedName(BaseName(input));
    if (!name) return std::nullopt;
    return JoinPath(OutputDirectory(input, directory), *name);
}

}  // namespace zs::zemcmp
