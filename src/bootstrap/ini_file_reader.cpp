// How Windows' GetPrivateProfileStringA reads a file, and where each rule comes from:
// [K] Wine's conformance tests of the profile functions (dlls/kernel32/tests/profile.c), which run on
//     Windows: what they assert outside todo_wine is what Windows does.
// [R] the public IniFileFormatReverseEngineering test suite, run on Windows 10 (test class named).
// [O] observed with the real function under Wine 8; no Windows-run assertion is known, so Wine's reading
//     is taken as the best evidence.
// [I] inferred from the neighbouring [K] and [R] facts where neither says it outright.
// Where Wine reads differently from Windows, this reader follows Windows; the rule says "Wine: ...".
//
// File and lines
// - A UTF-16 LE byte-order mark makes the file UTF-16, read as text converted to code page 1252
//   [R UTF16LE_Tests; O for the conversion]. Anything else is read byte for byte as code page 1252 text:
//   a UTF-8 mark is three characters of line 1, so a header on that line is no header [R UTF8_Tests;
//   Wine skips the mark and converts UTF-8], and a UTF-16 BE file is bytes in which nothing is found
//   [R UTF16BE_Tests; Wine reads it].
// - A line ends at CR LF, at a lone LF and at a lone CR [K test_GetPrivateProfileString "CR only",
//   test_profile_refresh].
// - Blanks are space, tab and vertical tab [R WhiteSpace_Tests], form feed and Ctrl-Z [O].
// - A line is classified by its first non-blank character: "[" starts a section header, ";" a comment
//   [R Semicolon_Tests; Wine finds lines ";key=..." as key ";key"]; other lines are key lines when they
//   hold "=" and nothing when not [K test_profile_string: a line without "=" is no key; I: a lookup does
//   not find it, so it does not hide a later line of that key; Wine finds it and gives the default].
// Sections
// - The name runs from "[" to the first "]" or, without one, to the end of the line, without the blanks
//   around it; text after the "]" is ignored [R SquareBracket_Tests, WhiteSpace_Tests;
//   K test_profile_sections_names]. Wine ends the name at the last "]" of the line and takes a line
//   without "]" for no header at all.
// - "[]" is a section named "" [R EdgeCases_Tests; K test_profile_string, todo_wine]; it is listed like
//   every other header [I; Wine leaves it out].
// - Of the sections of one name only the first is read [R Reading_Tests]; the section list names every
//   header, duplicates included [R Reading_Tests].
// - Key lines above the first header are never read [R SquareBracket_Tests; Wine reads them as
//   section ""].
// Keys and values
// - The key name is the text before the first "=", the value the text after it, both without the
//   blanks around them [K; R WhiteSpace_Tests]. One pair of equal quotes (" or ') around the whole value
//   is removed, and only that pair [K name2; R Quotes_Tests; O for "" and a lone quote], before the
//   value is cut to the buffer [I; Wine gives one character less when the unquoted value just fills it].
// - The first line of a key in the section counts [R Reading_Tests]; the key list names every key line,
//   duplicates included [R Reading_Tests], and no comment or line without "=" [K test_profile_string].
// - A NUL byte ends the name or value it stands in; blanks are removed before that cut, quotes after
//   it [O].
// - A value of 65536 characters or more gives only its first (length mod 65536) characters
//   [R Limits_Tests; Wine returns it whole].
// Lookups
// - Section and key names are compared without regard to ASCII case [K; R Casing_Tests]; letters beyond
//   ASCII must match exactly [O; no Windows-run assertion known].
// - Spaces, and only spaces, around the section and key arguments are ignored [R WhiteSpace_Tests; Wine
//   ignores tabs too].
// - A missing file, section or key gives the default without its trailing spaces (leading blanks, other
//   blanks and quotes stay) [K; R Reading_Tests, WhiteSpace_Tests; the quotes from the same suite's notes
//   on Windows 10's code; Wine removes quotes, and keeps one space of a default of spaces only].
//   A null default reads as "".
// - A value or default is cut to bufferSize - 1 characters; bufferSize 0 gives nothing [K].
// List forms
// - section == nullptr lists the section names, key == nullptr the key names of the section, each name
//   followed by NUL. When the list does not fit in bufferSize - 2 characters, its first bufferSize - 2
//   characters are returned: the last name may be cut, and an exact fit counts as too small; bufferSize
//   0, 1 and 2 give nothing [K test_GetPrivateProfileString, test_profile_sections_names; R Reading_Tests,
//   Limits_Tests; Wine gives the default's first character for a key list at bufferSize 2].
// - The key list of a section that is missing or has no key lines gives the default, like a value [O];
//   the section list of a file without sections is empty, whatever the default [O].
#include "bootstrap/ini_file_reader.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <utility>

namespace zs::bootstrap {
namespace {

constexpr size_t kValueLengthModulus = 65536;

bool IsBlank(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == 0x1A;
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && IsBlank(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return text;
}

std::string_view TrimSpaces(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

std::string_view CutAtNul(std::string_view text) {
    return text.substr(0, std::min(text.find('\0'), text.size()));
}

std::string_view WithoutQuotes(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

std::string AsciiLower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

// Code page 1252 letters beyond ASCII that have a letter of the other case in the code page.
bool HasCaseBeyondAscii(unsigned char c) {
    return (c >= 0xC0 && c <= 0xFE && c != 0xD7 && c != 0xDF && c != 0xF7) || c == 0x8A || c == 0x8C ||
           c == 0x8E || c == 0x9A || c == 0x9C || c == 0x9E || c == 0x9F || c == 0xFF;
}

unsigned char Cp1252Lower(unsigned char c) {
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 0x20);
    if (c == 0x8A || c == 0x8C || c == 0x8E) return static_cast<unsigned char>(c + 0x10);
    if (c == 0x9F) return 0xFF;
    return c;
}

// The ASCII-lower-case name also lower-cased in its letters beyond ASCII; empty when it has none with a case.
std::string FullLowerIfCaseBeyondAscii(std::string_view asciiLower) {
    bool any = false;
    std::string lower(asciiLower);
    for (char& c : lower) {
        any |= HasCaseBeyondAscii(static_cast<unsigned char>(c));
        c = static_cast<char>(Cp1252Lower(static_cast<unsigned char>(c)));
    }
    return any ? lower : std::string();
}

// Code page 1252's byte for a UTF-16 code unit; '?' (and *unmappable set) for what it cannot hold.
char Cp1252ByteOf(unsigned unit, bool* unmappable) {
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return static_cast<char>(unit);
    static constexpr unsigned short kHighHalf[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    for (unsigned i = 0; i < 32; ++i) {
        if (kHighHalf[i] == unit) return static_cast<char>(0x80 + i);
    }
    *unmappable = true;
    return '?';
}

// UTF-16 LE text (after its mark) as code page 1252 bytes. A surrogate pair becomes one "?"; an odd last byte
// is dropped.
std::string Utf16LeToCp1252(std::string_view bytes, bool* unmappable) {
    std::string text;
    text.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        unsigned unit =
            static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < bytes.size()) {
            unsigned next =
                static_cast<unsigned char>(bytes[i + 2]) | (static_cast<unsigned char>(bytes[i + 3]) << 8);
            if (next >= 0xDC00 && next <= 0xDFFF) i += 2;
        }
        text.push_back(Cp1252ByteOf(unit, unmappable));
    }
    return text;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

std::string SectionKeyIndex(size_t section, std::string_view lowerKey) {
    std::string index(4, '\0');
    auto value = static_cast<uint32_t>(section);
    std::memcpy(&index[0], &value, sizeof value);
    index.append(lowerKey);
    return index;
}

std::string CutValue(std::string_view value, size_t bufferSize) {
    if (bufferSize == 0) return std::string();
    return std::string(value.substr(0, std::min(value.size(), bufferSize - 1)));
}

std::string CutList(std::string_view list, size_t bufferSize) {
    if (bufferSize < 2) return std::string();
    return std::string(list.substr(0, std::min(list.size(), bufferSize - 2)));
}

std::string DefaultValue(const char* defaultValue, size_t bufferSize) {
    std::string_view text = defaultValue == nullptr ? std::string_view() : std::string_view(defaultValue);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return CutValue(text, bufferSize);
}

bool ReadWholeFile(const std::string& path, std::string* contents) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    std::string bytes;
    char chunk[1 << 16];
    while (file.read(chunk, sizeof chunk) || file.gcount() > 0) {
        bytes.append(chunk, static_cast<size_t>(file.gcount()));
    }
    if (file.bad()) return false;  // also a directory
    *contents = std::move(bytes);
    return true;
}

// Builds the index in one pass over the lines.
class Indexer {
  public:
    Indexer(std::vector<IniFileReader::Section>& sections, std::vector<IniFileReader::Oddity>& oddities,
            std::string& sectionList, std::unordered_map<std::string, size_t>& sectionIndex,
            std::unordered_map<std::string, size_t>& keyIndex)
        : sections_(sections),
          oddities_(oddities),
          sectionList_(sectionList),
          sectionIndex_(sectionIndex),
          keyIndex_(keyIndex) {}

    void Run(std::string_view text) {
        int lineNumber = 1;
        size_t start = 0;
        while (start <= text.size()) {
            size_t end = start;
            bool nul = false, ctrlZ = false, control = false;
            for (; end < text.size(); ++end) {
                unsigned char c = static_cast<unsigned char>(text[end]);
                if (c >= 0x20 || c == '\t') continue;
                if (c == '\r' || c == '\n') break;
                nul |= c == 0;
                ctrlZ |= c == 0x1A;
                control |= c != 0 && c != 0x1A;
            }
            std::string_view line = text.substr(start, end - start);
            NoteBytes(nul, ctrlZ, control, lineNumber, line);
            Line(line, lineNumber);
            if (end >= text.size()) break;
            if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') {
                ++end;
            } else if (text[end] == '\r') {
                NoteOnce(&crOnly_, IniFileReader::OddityKind::kCrOnlyLineEnds, lineNumber, line);
            }
            start = end + 1;
            ++lineNumber;
        }
    }

    void Note(IniFileReader::OddityKind kind, int line, std::string_view text) {
        oddities_.push_back({kind, line, std::string(text.substr(0, IniFileReader::kMaxOddityText))});
    }

  private:
    using Kind = IniFileReader::OddityKind;

    void NoteOnce(bool* noted, Kind kind, int line, std::string_view text) {
        if (*noted) return;
        *noted = true;
        Note(kind, line, text);
    }

    void NoteBytes(bool nul, bool ctrlZ, bool control, int line, std::string_view text) {
        if (nul) NoteOnce(&nul_, Kind::kNulByte, line, text);
        if (ctrlZ) NoteOnce(&ctrlZ_, Kind::kCtrlZ, line, text);
        if (control) NoteOnce(&control_, Kind::kControlCharacter, line, text);
    }

    void Line(std::string_view line, int lineNumber) {
        std::string_view text = line;
        while (!text.empty() && IsBlank(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
        if (text.empty() || text.front() == ';') return;
        if (text.front() == '[') {
            Header(text.substr(1), line, lineNumber);
            return;
        }
        size_t equals = text.find('=');
        if (equals == std::string_view::npos) {
            Note(Kind::kLineWithoutEquals, lineNumber, line);
            return;
        }
        if (current_ == kNone) {
            Note(Kind::kKeyBeforeFirstSection, lineNumber, line);
            return;
        }
        std::string_view name = CutAtNul(TrimBlanks(text.substr(0, equals)));
        std::string_view value = WithoutQuotes(CutAtNul(TrimBlanks(text.substr(equals + 1))));
        if (value.size() >= kValueLengthModulus) {
            Note(Kind::kLongValue, lineNumber, line);
            value = value.substr(0, value.size() % kValueLengthModulus);
        }
        Key(name, value, line, lineNumber);
    }

    void Header(std::string_view afterBracket, std::string_view line, int lineNumber) {
        size_t close = afterBracket.find(']');
        if (close == std::string_view::npos) {
            Note(Kind::kHeaderWithoutBracket, lineNumber, line);
        } else if (!TrimBlanks(afterBracket.substr(close + 1)).empty()) {
            Note(Kind::kTextAfterHeader, lineNumber, line);
        }
        std::string_view name = CutAtNul(TrimBlanks(afterBracket.substr(0, close)));
        if (name.empty()) Note(Kind::kEmptySectionName, lineNumber, line);

        std::string lower = AsciiLower(name);
        auto inserted = sectionIndex_.emplace(lower, sections_.size());
        if (!inserted.second) {
            Note(Kind::kDuplicateSection, lineNumber, line);
        } else {
            CheckNonAsciiCase(&sectionsBeyondAscii_, "", lower, lineNumber, line);
        }
        sections_.push_back({std::string(name), lineNumber, inserted.second, {}});
        sectionList_.append(name);
        sectionList_.push_back('\0');
        current_ = sections_.size() - 1;
    }

    void Key(std::string_view name, std::string_view value, std::string_view line, int lineNumber) {
        IniFileReader::Section& section = sections_[current_];
        if (name.empty()) Note(Kind::kEmptyKeyName, lineNumber, line);
        bool reachable = false;
        if (section.reachable) {
            std::string lower = AsciiLower(name);
            reachable = keyIndex_.emplace(SectionKeyIndex(current_, lower), section.keys.size()).second;
            if (!reachable) {
                Note(Kind::kDuplicateKey, lineNumber, line);
            } else {
                CheckNonAsciiCase(&keysBeyondAscii_, SectionKeyIndex(current_, ""), lower, lineNumber, line);
            }
        }
        section.keys.push_back({std::string(name), std::string(value), lineNumber, reachable});
    }

    // Names that differ from an earlier one only in the case of letters beyond ASCII: read as two names here
    // (and by Wine); whether Windows takes them for one is not known.
    void CheckNonAsciiCase(std::unordered_map<std::string, std::string>* seen, const std::string& prefix,
                           const std::string& asciiLower, int lineNumber, std::string_view line) {
        std::string fullLower = FullLowerIfCaseBeyondAscii(asciiLower);
        if (fullLower.empty()) return;
        auto inserted = seen->emplace(prefix + fullLower, asciiLower);
        if (!inserted.second && inserted.first->second != asciiLower) {
            Note(Kind::kNameCaseOfNonAscii, lineNumber, line);
        }
    }

    static constexpr size_t kNone = static_cast<size_t>(-1);

    std::vector<IniFileReader::Section>& sections_;
    std::vector<IniFileReader::Oddity>& oddities_;
    std::string& sectionList_;
    std::unordered_map<std::string, size_t>& sectionIndex_;
    std::unordered_map<std::string, size_t>& keyIndex_;
    std::unordered_map<std::string, std::string> sectionsBeyondAscii_, keysBeyondAscii_;
    size_t current_ = kNone;
    bool crOnly_ = false, nul_ = false, ctrlZ_ = false, control_ = false;
};

}  // namespace

IniFileReader::IniFileReader(std::string path) : path_(std::move(path)) {
    std::string bytes;
    found_ = ReadWholeFile(path_, &bytes);
    if (found_) Index(bytes);
}

IniFileReader IniFileReader::FromBytes(std::string bytes) {
    IniFileReader reader;
    reader.found_ = true;
    reader.Index(bytes);
    return reader;
}

void IniFileReader::Index(std::string_view bytes) {
    Indexer indexer(sections_, oddities_, sectionList_, sectionIndex_, keyIndex_);
    if (StartsWith(bytes, "\xFF\xFE")) {
        indexer.Note(OddityKind::kUtf16LeBom, 1, std::string_view());
        bool unmappable = false;
        std::string text = Utf16LeToCp1252(bytes.substr(2), &unmappable);
        if (unmappable) indexer.Note(OddityKind::kUnmappableCharacter, 1, std::string_view());
        indexer.Run(text);
        return;
    }
    if (StartsWith(bytes, "\xEF\xBB\xBF")) {
        indexer.Note(OddityKind::kUtf8Bom, 1,
                     bytes.substr(0, std::min(bytes.find_first_of("\r\n"), bytes.size())));
    } else if (StartsWith(bytes, "\xFE\xFF")) {
        indexer.Note(OddityKind::kUtf16BeBom, 1, std::string_view());
    }
    indexer.Run(bytes);
}

const IniFileReader::Section* IniFileReader::FindSection(std::string_view name) const {
    auto found = sectionIndex_.find(AsciiLower(TrimSpaces(name)));
    return found == sectionIndex_.end() ? nullptr : &sections_[found->second];
}

const IniFileReader::KeyLine* IniFileReader::FindKey(size_t section, std::string_view name) const {
    auto found = keyIndex_.find(SectionKeyIndex(section, AsciiLower(TrimSpaces(name))));
    return found == keyIndex_.end() ? nullptr : &sections_[section].keys[found->second];
}

std::string IniFileReader::GetString(const char* section, const char* key, const char* defaultValue,
                                     size_t bufferSize) const {
    if (section == nullptr) return CutList(sectionList_, bufferSize);
    const Section* found = FindSection(section);
    if (key == nullptr) {
        std::string list;
        if (found != nullptr) {
            for (const KeyLine& line : found->keys) {
                list.append(line.name);
                list.push_back('\0');
            }
        }
        return list.empty() ? DefaultValue(defaultValue, bufferSize) : CutList(list, bufferSize);
    }
    if (found != nullptr) {
        const KeyLine* line = FindKey(static_cast<size_t>(found - sections_.data()), key);
        if (line != nullptr) return CutValue(line->value, bufferSize);
    }
    return DefaultValue(defaultValue, bufferSize);
}

std::vector<std::string> IniFileReader::SectionNames() const {
    std::vector<std::string> names;
    names.reserve(sections_.size());
    for (const Section& section : sections_) names.push_back(section.name);
    return names;
}

std::vector<std::string> IniFileReader::KeyNames(const char* section) const {
    std::vector<std::string> names;
    const Section* found = section == nullptr ? nullptr : FindSection(section);
    if (found == nullptr) return names;
    for (const KeyLine& line : found->keys) names.push_back(line.name);
    return names;
}

}  // namespace zs::bootstrap
