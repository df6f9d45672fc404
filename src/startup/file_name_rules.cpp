#include "startup/file_name_rules.h"

#include "base/ascii_case.h"

namespace zs::bootstrap {
namespace {

// The digits of the numbered devices: 1 to 9, and the superscript one, two and three of code page 1252 (B9,
// B2, B3), which Windows reserves as well ("COM\xB9").
bool IsDeviceDigit(char c) {
    return (c >= '1' && c <= '9') || c == '\xB9' || c == '\xB2' || c == '\xB3';
}

bool EqualsUpper(std::string_view text, std::string_view upper) {
    if (text.size() != upper.size()) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (AsciiUpper(text[i]) != upper[i]) return false;
    }
    return true;
}

}  // namespace

std::string_view WithoutTrailingDotsAndBlanks(std::string_view name) {
    while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.remove_suffix(1);
    return name;
}

bool IsDeviceName(std::string_view name) {
    // The device is named by what stands before the first dot, without the blanks in front of that dot.
    std::string_view base = WithoutTrailingDotsAndBlanks(name);
    base = base.substr(0, base.find('.'));
    while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
    // A constant table: the list of a range-for would be built at run time from a writable array.
    static constexpr std::string_view kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (std::string_view device : kDevices) {
        if (EqualsUpper(base, device)) return true;
    }
    if (base.size() == 4 && IsDeviceDigit(base[3])) {
        std::string_view stem = base.substr(0, 3);
        return EqualsUpper(stem, "COM") || EqualsUpper(stem, "LPT");
    }
    return false;
}

bool NamesDevice(std::string_view path) {
    const size_t separator = path.find_last_of("\\/:");
    return IsDeviceName(separator == std::string_view::npos ? path : path.substr(separator + 1));
}

bool IsValidWindowsFileName(std::string_view name) {
    std::string_view kept = WithoutTrailingDotsAndBlanks(name);
    if (kept.empty()) return false;
    for (char c : name) {
        if (static_cast<unsigned char>(c) < 0x20) return false;
        for (char forbidden : {'<', '>', ':', '"', '/', '\\', '|', '?', '*'}) {
            if (c == forbidden) return false;
        }
    }
    return true;
}

bool IsPlainFileName(std::string_view fileName) {
    if (WithoutTrailingDotsAndBlanks(fileName).empty()) return false;
    if (fileName.find_first_of("\\/:") != std::string_view::npos) return false;
    return !IsDeviceName(fileName);
}

}  // namespace zs::bootstrap
