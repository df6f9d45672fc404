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
#include "profile/ini_file_reader.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <unordered_map>
#include <utility>

#include "base/ascii_case.h"
#include "base/code_page_1252.h"

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

// Code page 1252 letters beyond ASCII that have a letter of the other case in the code page.
bool HasCaseBeyondAscii(char byte) {
    auto c = static_cast<unsigned char>(byte);
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
        any |= HasCaseBeyondAscii(c);
        c = static_cast<char>(Cp1252Lower(static_cast<unsigned char>(c)));
    }
    return any ? lower : std::string();
}

// Code page 1252's byte for a UTF-16 code unit; '?' (and *unmappable set) for what it cannot hold.
char Cp1252ByteOf(char16_t unit, bool* unmappable) {
    char byte = '?';
    if (!Cp1252FromUtf16(unit, &byte)) *unmappable = true;
    return byte;
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
        text.push_back(Cp1252ByteOf(static_cast<char16_t>(unit), unmappable));
    }
    return text;
}

// The first position from `from` on where a byte below 0x20 (a line end or another control character) may
// stand: eight bytes at a time, as long as a word holds none (the test finds every such word).
size_t SkipPrintable(std::string_view text, size_t from) {
    constexpr uint64_t kOnes = 0x0101010101010101u, kHighBits = 0x8080808080808080u;
    while (from + 8 <= text.size()) {
        uint64_t word;
        std::memcpy(&word, text.data() + from, sizeof word);
        if (((word - kOnes * 0x20) & ~word & kHighBits) != 0) break;
        from += 8;
    }
    return from;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// A 64-bit hash of the name in ASCII lower case (and of the section a key belongs to).
uint64_t NameHash(size_t section, std::string_view name) {
    uint64_t hash = 0xCBF29CE484222325u ^ (static_cast<uint64_t>(section) * 0x9E3779B97F4A7C15u);
    for (char c : name) hash = (hash ^ static_cast<unsigned char>(AsciiLower(c))) * 0x100000001B3u;
    hash ^= hash >> 30;  // spread every byte into the low bits the table uses
    hash *= 0xBF58476D1CE4E5B9u;
    hash ^= hash >> 27;
    hash *= 0x94D049BB133111EBu;
    return hash ^ (hash >> 31);
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

}  // namespace

// Builds the index in one pass over the lines.
class IniFileReader::Indexer {
  public:
    explicit Indexer(IniFileReader& reader)
        : sections_(reader.sections_),
          oddities_(reader.oddities_),
          sectionList_(reader.sectionList_),
          sectionIndex_(reader.sectionIndex_),
          keyIndex_(reader.keyIndex_) {}

    void Run(std::string_view text) {
        int lineNumber = 1;
        size_t start = 0;
        while (start <= text.size()) {
            size_t end = SkipPrintable(text, start);
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
                NoteOnce(&crOnly_, OddityKind::kCrOnlyLineEnds, lineNumber, line);
            }
            start = end + 1;
            ++lineNumber;
        }
    }

    void Note(OddityKind kind, int line, std::string_view text) {
        oddities_.push_back({kind, line, std::string(text.substr(0, kMaxOddityText))});
    }

  private:
    using Kind = OddityKind;

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

        sections_.push_back({std::string(name), lineNumber, true, {}});
        current_ = sections_.size() - 1;
        if (!sectionIndex_.Add(sections_, {current_, 0})) {
            sections_.back().reachable = false;
            Note(Kind::kDuplicateSection, lineNumber, line);
        } else {
            CheckNonAsciiCase(&sectionsBeyondAscii_, "", name, lineNumber, line);
        }
        sectionList_.append(name);
        sectionList_.push_back('\0');
    }

    void Key(std::string_view name, std::string_view value, std::string_view line, int lineNumber) {
        Section& section = sections_[current_];
        if (name.empty()) Note(Kind::kEmptyKeyName, lineNumber, line);
        section.keys.push_back({std::string(name), std::string(value), lineNumber, section.reachable});
        if (!section.reachable) return;
        if (!keyIndex_.Add(sections_, {current_, section.keys.size() - 1})) {
            section.keys.back().reachable = false;
            Note(Kind::kDuplicateKey, lineNumber, line);
        } else {
            CheckNonAsciiCase(&keysBeyondAscii_, std::to_string(current_) + "/", name, lineNumber, line);
        }
    }

    // Names that differ from an earlier one only in the case of letters beyond ASCII: read as two names here
    // (and by Wine); whether Windows takes them for one is not known.
    void CheckNonAsciiCase(std::unordered_map<std::string, std::string>* seen, const std::string& prefix,
                           std::string_view name, int lineNumber, std::string_view line) {
        if (std::none_of(name.begin(), name.end(), [](char c) { return HasCaseBeyondAscii(c); })) return;
        std::string asciiLower = AsciiLowerCase(std::string(name));
        std::string fullLower = FullLowerIfCaseBeyondAscii(asciiLower);
        if (fullLower.empty()) return;
        auto inserted = seen->emplace(prefix + fullLower, asciiLower);
        if (!inserted.second && inserted.first->second != asciiLower) {
            Note(Kind::kNameCaseOfNonAscii, lineNumber, line);
        }
    }

    static constexpr size_t kNone = static_cast<size_t>(-1);

    std::vector<Section>& sections_;
    std::vector<Oddity>& oddities_;
    std::string& sectionList_;
    NameIndex& sectionIndex_;
    NameIndex& keyIndex_;
    std::unordered_map<std::string, std::string> sectionsBeyondAscii_, keysBeyondAscii_;
    size_t current_ = kNone;
    bool crOnly_ = false, nul_ = false, ctrlZ_ = false, control_ = false;
};

const std::string& IniFileReader::NameIndex::NameOf(const std::vector<Section>& sections,
                                                    const Entry& entry) const {
    return keys_ ? sections[entry.section].keys[entry.key].name : sections[entry.section].name;
}

// The slot of the entry of this name, or the empty slot where it belongs.
size_t IniFileReader::NameIndex::Probe(const std::vector<Section>& sections, uint64_t hash, size_t section,
                                       std::string_view name) const {
    size_t mask = slots_.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& slot = slots_[i];
        if (slot.entry.section == kNone) return i;
        if (slot.hash == hash && (!keys_ || slot.entry.section == section) &&
            EqualIgnoringAsciiCase(NameOf(sections, slot.entry), name)) {
            return i;
        }
    }
}

const IniFileReader::NameIndex::Entry* IniFileReader::NameIndex::Find(const std::vector<Section>& sections,
                                                                      size_t section,
                                                                      std::string_view name) const {
    if (slots_.empty()) return nullptr;
    const Slot& slot = slots_[Probe(sections, NameHash(keys_ ? section : 0, name), section, name)];
    return slot.entry.section == kNone ? nullptr : &slot.entry;
}

bool IniFileReader::NameIndex::Add(const std::vector<Section>& sections, Entry entry) {
    if (2 * (used_ + 1) > slots_.size()) Grow();
    const std::string& name = NameOf(sections, entry);
    uint64_t hash = NameHash(keys_ ? entry.section : 0, name);
    Slot& slot = slots_[Probe(sections, hash, entry.section, name)];
    if (slot.entry.section != kNone) return false;
    slot = {hash, entry};
    ++used_;
    return true;
}

void IniFileReader::NameIndex::Grow() {
    std::vector<Slot> old(std::max<size_t>(16, 2 * slots_.size()));
    old.swap(slots_);
    size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
        if (slot.entry.section == kNone) continue;
        size_t i = slot.hash & mask;
        while (slots_[i].entry.section != kNone) i = (i + 1) & mask;
        slots_[i] = slot;
    }
}

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
    Indexer indexer(*this);
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
    const NameIndex::Entry* found = sectionIndex_.Find(sections_, 0, TrimSpaces(name));
    return found == nullptr ? nullptr : &sections_[found->section];
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
        size_t index = static_cast<size_t>(found - sections_.data());
        const NameIndex::Entry* line = keyIndex_.Find(sections_, index, TrimSpaces(key));
        if (line != nullptr) return CutValue(sections_[index].keys[line->key].value, bufferSize);
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
