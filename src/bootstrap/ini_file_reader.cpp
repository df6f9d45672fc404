#include "bootstrap/ini_file_reader.h"

#include <fstream>
#include <iterator>
#include <optional>
#include <string_view>

namespace zs::bootstrap {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    }
    return true;
}

std::string_view WithoutQuotes(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The value of the first line "key = value" inside a section of the given name, if any.
std::optional<std::string_view> FindValue(std::string_view contents, std::string_view section,
                                          std::string_view key) {
    bool inSection = false;
    while (!contents.empty()) {
        size_t end = contents.find('\n');
        std::string_view line = contents.substr(0, end);
        contents.remove_prefix(end == std::string_view::npos ? contents.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

        std::string_view trimmed = TrimBlanks(line);
        if (!trimmed.empty() && trimmed.front() == '[') {
            std::string_view name = trimmed.substr(1);
            name = name.substr(0, name.find(']'));
            inSection = EqualsIgnoringCase(TrimBlanks(name), section);
            continue;
        }
        if (!inSection) continue;
        size_t equals = trimmed.find('=');
        if (equals == std::string_view::npos) continue;
        if (EqualsIgnoringCase(TrimBlanks(trimmed.substr(0, equals)), key)) {
            return WithoutQuotes(TrimBlanks(trimmed.substr(equals + 1)));
        }
    }
    return std::nullopt;
}

std::string CutToBuffer(std::string_view value, size_t bufferSize) {
    if (bufferSize == 0) return std::string();
    return std::string(value.substr(0, bufferSize - 1));
}

}  // namespace

std::string IniFileReader::GetString(const char* section, const char* key, const char* defaultValue,
                                     size_t bufferSize) const {
    std::optional<std::string> contents = ReadWholeFile(path_);
    if (contents) {
        std::optional<std::string_view> value = FindValue(*contents, section, key);
        if (value) return CutToBuffer(*value, bufferSize);
    }
    return CutToBuffer(defaultValue, bufferSize);
}

}  // namespace zs::bootstrap
