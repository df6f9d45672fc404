// The portable ProfileReader: reads an INI file once and answers every reading as the Windows profile reader,
// GetPrivateProfileStringA, answers it for that file. The media tool uses it to predict what setup.exe reads.
//
// The file is indexed in one pass (linear time); lookups go to the index. How Windows reads a file (lines,
// section headers, comments, blanks, quotes, byte-order marks, cuts, the two list forms) is set out beside
// the code in ini_file_reader.cpp, each rule with the observation it rests on. Where Wine's profile reader
// reads a file differently from Windows, this reader follows Windows; those places say so.
//
// Beyond the ProfileReader interface it describes the file for the media tool: every section and key line as
// Windows sees it, whether lookups ever reach it, and what Windows reads differently from what an author
// probably meant (Oddities).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "profile/profile_reader.h"

namespace zs::bootstrap {

class IniFileReader : public ProfileReader {
  public:
    // Reads the file once. A missing or unreadable file reads as empty: every lookup gives the default, as
    // Windows does.
    explicit IniFileReader(std::string path);
    // The same for bytes in memory (as if they were the whole file); Found() is true.
    static IniFileReader FromBytes(std::string bytes);

    bool Found() const { return found_; }
    const std::string& path() const { return path_; }

    // Exactly what GetPrivateProfileStringA(section, key, defaultValue, buffer, bufferSize, file) leaves in
    // the buffer, as a string of the length the function returns: section == nullptr gives the list of
    // section names, key == nullptr the list of key names of the section (names each followed by a NUL byte,
    // cut as Windows cuts them). defaultValue may be nullptr (read as "").
    std::string GetString(const char* section, const char* key, const char* defaultValue,
                          size_t bufferSize) const override;

    struct KeyLine {
        std::string name;   // as written, blanks around it removed
        std::string value;  // what a lookup with an unlimited buffer returns for this line (never cut)
        int line = 0;       // 1-based line number in the file
        // false when a lookup of this name never returns this line: a later line of the same key, or any key
        // of a section that lookups never reach.
        bool reachable = true;
    };
    struct Section {
        std::string name;  // as Windows sees it (see the header rules in ini_file_reader.cpp)
        int line = 0;
        bool reachable = true;  // false for a later section of the same name: Windows reads the first only
        std::vector<KeyLine> keys;  // in file order
    };
    // Every section header in file order, duplicates included. Key lines before the first header belong to no
    // section (Windows never reads them) and are only reported as an oddity.
    const std::vector<Section>& Sections() const { return sections_; }

    enum class OddityKind {
        kUtf8Bom,     // line 1 starts with a UTF-8 byte-order mark: Windows reads it as three characters
        kUtf16LeBom,  // the file is UTF-16 LE with its mark: read as text converted to code page 1252
        kUtf16BeBom,  // a UTF-16 BE mark: Windows does not know it and reads the bytes as they are
        kUnmappableCharacter,    // (UTF-16 file) a character that code page 1252 cannot hold; read as "?"
        kHeaderWithoutBracket,   // "[Name" without "]": Windows takes it for a section all the same
        kTextAfterHeader,        // text after the "]" of a header (also a second "]"): Windows ignores it
        kEmptySectionName,       // "[]": a section whose name is empty
        kDuplicateSection,       // a later header of a name that stood before: lookups never reach it
        kKeyBeforeFirstSection,  // a key line above the first header: Windows never reads it
        kLineWithoutEquals,      // a line that is no header, comment or key: ignored
        kEmptyKeyName,           // "=value": a key whose name is empty
        kDuplicateKey,           // a later line of a key of the same section: lookups never reach it
        kNameCaseOfNonAscii,     // a name equal to an earlier one but for the case of a letter beyond ASCII
        kNulByte,                // a NUL byte: it ends the name or value it stands in
        kCtrlZ,                  // a Ctrl-Z (0x1A): read as a blank
        kControlCharacter,       // another control character (form feed, vertical tab, escape, ...)
        kCrOnlyLineEnds,         // a CR that no LF follows: Windows ends the line there
        kLongValue,              // a value of 65536 characters or more: Windows returns only length mod 65536
    };
    struct Oddity {
        OddityKind kind;
        int line = 0;      // 1-based
        std::string text;  // the line as written (at most kMaxOddityText bytes), for a message
    };
    static constexpr size_t kMaxOddityText = 256;
    // What the reader reads differently from what an author probably meant, in file order. Oddities of single
    // bytes (NUL, Ctrl-Z, other control characters, a lone CR) are reported once each, at their first line.
    const std::vector<Oddity>& Oddities() const { return oddities_; }

    // The names of Sections(), in file order, duplicates included.
    std::vector<std::string> SectionNames() const;
    // The key names of the section that lookups of this name reach, in file order, duplicates included (as
    // Windows lists them); empty when there is no such section.
    std::vector<std::string> KeyNames(const char* section) const;

  private:
    // The first section of each name, or the first key line of each name in every reachable section: an
    // open-addressing table (linear probing, never more than half full) of 64-bit hashes of the names in
    // ASCII lower case, pointing into Sections(); names are compared there when hashes are equal.
    class NameIndex {
      public:
        explicit NameIndex(bool keys) : keys_(keys) {}
        struct Entry {
            size_t section = kNone;
            size_t key = 0;  // a key line's position in its section's keys
        };
        static constexpr size_t kNone = static_cast<size_t>(-1);
        // The entry of this name (for keys: in this section), or nullptr.
        const Entry* Find(const std::vector<Section>& sections, size_t section, std::string_view name) const;
        // Adds the entry for the name it points to, unless an entry of that name is there: then false.
        bool Add(const std::vector<Section>& sections, Entry entry);

      private:
        struct Slot {
            uint64_t hash = 0;
            Entry entry;
        };
        const std::string& NameOf(const std::vector<Section>& sections, const Entry& entry) const;
        size_t Probe(const std::vector<Section>& sections, uint64_t hash, size_t section,
                     std::string_view name) const;
        void Grow();

        bool keys_;
        std::vector<Slot> slots_;
        size_t used_ = 0;
    };
    class Indexer;  // builds the index in one pass over the lines

    IniFileReader() = default;
    void Index(std::string_view bytes);
    const Section* FindSection(std::string_view name) const;

    std::string path_;
    bool found_ = false;
    std::vector<Section> sections_;
    std::vector<Oddity> oddities_;
    std::string sectionList_;  // every section name followed by a NUL byte, as the section list gives them
    NameIndex sectionIndex_{false};
    NameIndex keyIndex_{true};
};

}  // namespace zs::bootstrap
