// The state that the steps of `zemcmp check` share: the medium, the list file, the report, and what earlier
// steps found out that later ones need (as setup.exe carries it through its sequence).
#pragma once

#include <set>
#include <string>
#include <vector>

#include "bootstrap/ini_file_reader.h"
#include "check_finding.h"
#include "check_medium_directory.h"
#include "language/catalogue.h"

namespace zs::zemcmp {

struct CheckContext {
    CheckContext(const MediumDirectory& mediumDirectory, const bootstrap::IniFileReader& listFileReader,
                 CheckReport& findings)
        : medium(mediumDirectory), listFile(listFileReader), report(findings) {}

    const MediumDirectory& medium;
    const bootstrap::IniFileReader& listFile;
    CheckReport& report;

    bool workstationRun = false;  // ADMIN.INF lies beside SETUP.LST
    std::string filterCode;
    bool filterUsable = false;     // the filter code lets setup.exe go on to the language entries
    bool languagesUsable = false;  // ... and the language entries let it go on
    std::string supportedLanguages;
    std::vector<language::CatalogueEntry> offered;  // the catalogue entries the Select Language list shows
    bool locationMode = false;

    std::set<std::string> namesNoted;  // names whose case notes were given already
};

// Looks a name up on the medium; the first lookup of a name notes a differing case and names that differ
// only in case.
MediumFile FindOnMedium(CheckContext& context, const std::string& name);

// A value as written in the file, never cut (read with a buffer larger than any line).
std::string RawValue(const bootstrap::IniFileReader& reader, const char* section, const char* key,
                     const char* defaultValue);
bool HasKey(const bootstrap::IniFileReader& reader, const char* section, const char* key);

// Text for messages: a value in double quotes.
std::string Quoted(const std::string& text);

// The steps, in the order in which setup.exe meets what they check.
void CheckLanguages(CheckContext& context);
void CheckEditionWord(CheckContext& context);
// Language mode: whether the Select Language list has anything to show.
void CheckLanguageDialog(CheckContext& context);
void CheckLocationProfile(CheckContext& context);
void CheckStartUpValues(CheckContext& context);
void CheckStartUpFiles(CheckContext& context);

// Keys of a list-file section that setup.exe never reads: numbers after the end of a numbered list, numbers
// with leading zeros, second occurrences of a key, and names it does not know. `keysRead` are the keys it
// reads; `numberedListEnd` is the key number at which the numbered list ended, described by `endText` (-1:
// the list was faulty, so numbers after it are not reported).
void CheckUnreadKeys(CheckContext& context, const char* section, const std::vector<std::string>& keysRead,
                     int numberedListEnd, const std::string& endText);

}  // namespace zs::zemcmp
