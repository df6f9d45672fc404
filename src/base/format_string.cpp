#include "base/format_string.h"

namespace zs::framework {

std::string FillArgument1(std::string_view message, std::string_view argument) {
    std::string result;
    result.reserve(message.size() + argument.size());
    for (size_t i = 0; i < message.size(); ++i) {
        if (message[i] == '%' && i + 1 < message.size() && message[i + 1] == '1') {
            result += argument;
            ++i;
        } else {
            result += message[i];
        }
    }
    return result;
}

}  // namespace zs::framework
