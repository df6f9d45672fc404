// The language entries of the list file ("SetupLang" keys "1", "2", ...) and the filter code's rule for which
// of them this medium offers.
//
// An entry is a language name, a comma and a code text; the code text runs from the first comma on, comma
// included. An entry is enabled when its code text contains the filter code, or the filter code in upper
// case, as a case-sensitive substring: a filter code written in lower case still matches upper-case codes,
// but not the reverse. Upper-casing is plain ASCII (a-z only), independent of the user's locale, so a medium
// gives the same answer on every machine.
#pragma once

#include <string>
#include <vector>

#include "base/log_sink.h"
#include "profile/profile_reader.h"

namespace zs::bootstrap {

struct LanguageEntry {
    std::string name;      // before the first comma; may be empty (then it enables nothing visible)
    std::string codeText;  // from the first comma on
    bool enabled = false;
};

struct LanguageList {
    std::vector<LanguageEntry> entries;  // the well-formed entries before the end of the list, in key order
    std::string supportedLanguages;      // the names of the enabled entries, concatenated without separators
    bool faulty = false;                 // entry "1" missing or empty, or an entry without a comma
    int endKey = 0;                      // the key whose value ended the list
    std::string endValue;                // that value as read: empty, or an entry without a comma
};

// Splits an entry at its first comma and applies the filter. Returns false for an entry without a comma.
bool ParseLanguageEntry(const std::string& value, const std::string& filterCode, LanguageEntry& entry);

// Reads entries 1, 2, ... (256-byte buffer, default "") up to the first empty or missing one, so a gap in the
// numbering ends the list and 99 consecutive entries go on to key "100". An entry without a comma ends the
// list and makes it faulty. Every value read, the empty one that ends the list included, is logged as
// "\t\t***" followed by the value. Key names are decimal without leading zeros; a key such as "01" is never
// read.
LanguageList ReadLanguageList(const ProfileReader& listFile, const std::string& filterCode,
                              const LogSink& log);

}  // namespace zs::bootstrap
