// The language catalogue of the resource library's string table, and how its entries are matched.
//
// String 1 holds the number N of entries as decimal text; strings 2 .. N+1 hold the entries in the order in
// which they are offered. An entry is a language name followed directly by four decimal digits, the block
// base of that language's messages ("Francais1001": name Francais, base 1001).
//
// Outcomes for catalogues outside those rules, chosen so that nothing is read or cut beyond an entry:
// - N is the value of the leading digits of string 1 (saturating at INT_MAX); no digits, or no string,
//   gives 0. Strings 2 .. N+1 are read, but none beyond the last string ID there can be (65535).
// - An entry string that the table does not hold is skipped (its log line shows it empty); the entries after
//   it are still read and offered.
// - An entry shorter than 4 or longer than 63 characters is logged like the others but left out of the
//   catalogue: it is never offered, shown or matched.
// - The four digits are read like the count: their leading digits, so "01x1" gives 1 and "abcd" gives 0.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "base/log_sink.h"
#include "language/language_selection.h"
#include "language/string_loader.h"

namespace zs::language {

inline constexpr size_t kBlockBaseDigits = 4;
inline constexpr size_t kMaxCatalogueEntryLength = 63;
// String IDs are 16-bit: no catalogue entry can stand beyond this one.
inline constexpr int kLastStringId = 65535;

struct CatalogueEntry {
    std::string text;  // the whole entry, digits included
    std::string name;  // the entry without its last four characters
    int blockBase = 0;
};

// The value of the decimal digits at the start of text; 0 when it does not start with one.
int LeadingDecimalValue(const std::string& text);

// Name and base of one entry; nothing when its length lies outside 4 .. 63.
std::optional<CatalogueEntry> ParseCatalogueEntry(const std::string& text);

// Reads the catalogue, logging "Number of setup languages:" with N and then "\t" with each entry string read.
std::vector<CatalogueEntry> ReadCatalogue(const StringLoader& load, const LogSink& log);

// An entry is offered when its name occurs in the supported-languages text (case-sensitive, anywhere, so a
// name that is part of a longer enabled name is offered too).
bool IsOffered(const CatalogueEntry& entry, const std::string& supportedLanguages);
std::vector<CatalogueEntry> OfferedEntries(const std::vector<CatalogueEntry>& catalogue,
                                           const std::string& supportedLanguages);

// The base of the first entry whose name equals the given one byte for byte. A name that no entry has (which
// a name taken from the catalogue cannot be) gives the English block, so messages stay addressable.
int BlockBaseForName(const std::string& name, const std::vector<CatalogueEntry>& catalogue);

// Location mode: the first offered entry whose whole text contains the location's "Setup" value
// (case-sensitive) gives that value as the name and the entry's base; an empty value matches the first
// offered entry. Without a match the result is "English" with the English block, whether or not English is
// offered.
LanguageSelection MatchSetupLanguage(const std::string& setupValue,
                                     const std::vector<CatalogueEntry>& offered);

}  // namespace zs::language
