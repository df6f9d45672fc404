#include "framework/strings_win32.h"

#include <vector>

#include "base/format_string.h"
#include "framework/win_app_win32.h"

namespace zs::framework {

std::optional<std::string> AfxLoadStringOrNothing(UINT id) {
    // A string of the table may be up to 65,535 characters; the buffer grows until the text is not cut.
    // (LoadStringA cuts to the buffer size minus one, so a full buffer means "maybe cut".)
    for (size_t size = 256; size <= 65536 * 2; size *= 2) {
        std::vector<char> buffer(size);
        int length = LoadStringA(AfxGetResourceHandle(), id, buffer.data(), static_cast<int>(size));
        if (length <= 0) return std::nullopt;
        if (static_cast<size_t>(length) < size - 1)
            return std::string(buffer.data(), static_cast<size_t>(length));
    }
    return std::nullopt;
}

BOOL AfxLoadString(UINT id, std::string& text) {
    std::optional<std::string> loaded = AfxLoadStringOrNothing(id);
    text = loaded.value_or(std::string());
    return loaded.has_value();
}

void AfxFormatString1(std::string& result, UINT formatId, const char* argument) {
    std::string format;
    AfxLoadString(formatId, format);
    result = FillArgument1(format, argument ? argument : "");
}

}  // namespace zs::framework
