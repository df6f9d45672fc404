#include "startup/compressed_name.h"

namespace zs {

std::string MakeCompressedName(std::string_view name) {
    std::string result(name);
    size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) {
        result += "._";
    } else if (name.size() - dot - 1 >= 3) {
        result.back() = '_';
    } else {
        result += '_';
    }
    return result;
}

}  // namespace zs
