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

// One line of the file as the reader sees it: a section header, a key line or something ignored.
struct IniLine {
    enum Kind { kSection, kKey, kOther } kind = kOther;
    std::string_view name;   // the section's or the key's name, without surrounding blanks
    std::string_view value;  // a key line's value, without blanks and quotes
};

IniLine ClassifyLine(std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    std::string_view trimmed = TrimBlanks(line);
    IniLine result;
    if (!trimmed.empty() && trimmed.front() == '[') {
        std::string_view name = trimmed.substr(1);
        result.kind = IniLine::kSection;
        result.name = TrimBlanks(name.substr(0, name.find(']')));
        return result;
    }
    size_t equals = trimmed.find('=');
    if (equals == std::string_view::npos) return result;
    result.kind = IniLine::kKey;
    result.name = TrimBlanks(trimmed.substr(0, equals));
    result.value = WithoutQuotes(TrimBlanks(trimmed.substr(equals + 1)));
    return result;
}

// Calls visit(line, inSection) for every line, where inSection tells whether the line stands inside a section
// of the given name (no section name: never). Stops early when visit returns true.
template <typename Visit>
void WalkLines(std::string_view contents, std::string_view section, Visit visit) {
    bool inSection = false;
    while (!contents.empty()) {
        size_t end = contents.find('\n');
        IniLine line = ClassifyLine(contents.substr(0, end));
        contents.remove_prefix(end == std::string_view::npos ? contents.size() : end + 1);
        if (line.kind == IniLine::kSection) inSection = EqualsIgnoringCase(line.name, section);
        if (visit(line, inSection)) return;
    }
}

// The value of the first line "key = value" inside a section of the given name, if any.
std::optional<std::string_view> FindValue(std::string_view contents, std::string_view section,
                                          std::string_view key) {
    std::optional<std::string_view> value;
    WalkLines(contents, section, [&](const IniLine& line, bool inSection) {
        if (inSection && line.kind == IniLine::kKey && EqualsIgnoringCase(line.name, key)) value = line.value;
        return value.has_value();
    });
    return value;
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

std::vector<std::string> IniFileReader::SectionNames() const {
    std::vector<std::string> names;
    std::optional<std::string> contents = ReadWholeFile(path_);
    if (!contents) return names;
    WalkLines(*contents, "", [&](const IniLine& line, bool) {
        if (line.kind == IniLine::kSection) names.emplace_back(line.name);
        return false;
    });
    return names;
}

std::vector<std::string> IniFileReader::KeyNames(const char* section) const {
    std::vector<std::string> names;
    std::optional<std::string> contents = ReadWholeFile(path_);
    if (!contents) return names;
    WalkLines(*contents, section, [&](const IniLine& line, bool inSection) {
        if (inSection && line.kind == IniLine::kKey) names.emplace_back(line.name);
        return false;
    });
    return names;
}

}  // namespace zs::bootstrap
