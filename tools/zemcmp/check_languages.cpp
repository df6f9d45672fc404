// The [SetupLang] section: the filter code, the language entries and the edition word, checked as setup.exe
// reads them before it shows the Select Language dialog.
#include <string>
#include <vector>

#include "bootstrap/language_filter.h"
#include "bootstrap/list_file.h"
#include "check_context.h"
#include "check_shipped_strings.h"
#include "reslib/resource_ids.h"

namespace zs::zemcmp {
namespace {

using bootstrap::kSetupLangSection;

constexpr char kLocationModeWord[] = "Standard";

struct NumberedEntry {
    int key = 0;
    std::string value;
    bootstrap::LanguageEntry entry;
};

bool ContainsIgnoringCase(const std::string& text, const std::string& part) {
    return bootstrap::AsciiUpperCase(text).find(bootstrap::AsciiUpperCase(part)) != std::string::npos;
}

std::string CatalogueNames() {
    std::string names;
    for (const language::CatalogueEntry& entry : ShippedCatalogue()) {
        names += (names.empty() ? "" : ", ") + entry.name;
    }
    return names;
}

bool IsCatalogueName(const std::string& name) {
    for (const language::CatalogueEntry& entry : ShippedCatalogue()) {
        if (entry.name == name) return true;
    }
    return false;
}

Finding& ListCorrupted(CheckContext& context, const std::string& code, const std::string& key,
                       const std::string& text) {
    return context.report.Add(Severity::kError, code, text)
        .At(bootstrap::kListFileName, kSetupLangSection, key)
        .Shows(MessageSource::kEnglishBlock, EnglishMessageId(IDS_LIST_CORRUPTED),
               EnglishMessage(IDS_LIST_CORRUPTED));
}

std::string CheckFilterCode(CheckContext& context) {
    const std::string raw = RawValue(context.listFile, kSetupLangSection, bootstrap::kFilterCodeKey, "");
    const std::string filterCode = bootstrap::ReadFilterCode(context.listFile);
    if (raw.size() > filterCode.size()) {
        context.report
            .Add(Severity::kWarning, "filter-code-cut",
                 "the filter code " + Quoted(raw) + " is longer than " +
                     std::to_string(bootstrap::kFilterCodeBufferSize - 1) + " characters: setup.exe reads " +
                     Quoted(filterCode))
            .At(bootstrap::kListFileName, kSetupLangSection, bootstrap::kFilterCodeKey)
            .WithValue(raw);
    }
    switch (bootstrap::ClassifyFilterCode(filterCode)) {
        case bootstrap::FilterCodeKind::kRedirect:
            context.report
                .Add(Severity::kError, "filter-code-redirect",
                     "the filter code " + Quoted(filterCode) +
                         " starts with \"0\": setup.exe sends the user to SETUPKRN.EXE and stops")
                .At(bootstrap::kListFileName, kSetupLangSection, bootstrap::kFilterCodeKey)
                .WithValue(raw)
                .Shows(MessageSource::kFixedText, 0, kRedirectMessage);
            break;
        case bootstrap::FilterCodeKind::kEmpty: {
            bool present = HasKey(context.listFile, kSetupLangSection, bootstrap::kFilterCodeKey);
            Finding& finding = ListCorrupted(context, "filter-code-missing", bootstrap::kFilterCodeKey,
                                             std::string("the filter code (key 0) is ") +
                                                 (present ? "empty" : "missing") + ": setup.exe stops");
            if (present) finding.WithValue(raw);
            break;
        }
        case bootstrap::FilterCodeKind::kUsable:
            context.filterUsable = true;
            break;
    }
    return filterCode;
}

void CheckEntryName(CheckContext& context, const NumberedEntry& numbered, const std::string& filterCode) {
    const std::string key = std::to_string(numbered.key);
    const bootstrap::LanguageEntry& entry = numbered.entry;
    auto at = [&](Finding& finding) -> Finding& {
        return finding.At(bootstrap::kListFileName, kSetupLangSection, key).WithValue(numbered.value);
    };
    if (entry.name.empty()) {
        at(context.report.Add(Severity::kWarning, "language-name-empty",
                              "the entry has no language name before its comma: it enables nothing that the "
                              "Select Language list could show"));
    } else if (!IsCatalogueName(entry.name)) {
        at(context.report.Add(
            Severity::kWarning, "language-unknown",
            "the language name " + Quoted(entry.name) + " is not in the catalogue of ZSRES.DLL (" +
                CatalogueNames() +
                "; the match is exact and case-sensitive): setup.exe never offers it by this "
                "name"));
    }
    if (context.filterUsable && !entry.enabled && ContainsIgnoringCase(entry.codeText, filterCode)) {
        at(context.report.Add(
            Severity::kWarning, "language-code-case",
            "the code text " + Quoted(entry.codeText) + " holds the filter code " + Quoted(filterCode) +
                " only in another case: the match is case-sensitive (a lower-case filter code also matches "
                "upper-case codes, not the reverse), so " +
                Quoted(entry.name) + " is not enabled"));
    }
}

// Walks the entries 1, 2, ... as setup.exe does. Returns the key at which the list ended, or -1 when an
// entry without a comma made the list faulty.
int CheckEntries(CheckContext& context, const std::string& filterCode, std::vector<NumberedEntry>* entries) {
    for (int key = 1;; ++key) {
        const std::string keyName = std::to_string(key);
        const std::string value = context.listFile.GetString(kSetupLangSection, keyName.c_str(), "",
                                                             bootstrap::kLanguageEntryBufferSize);
        const std::string raw = RawValue(context.listFile, kSetupLangSection, keyName.c_str(), "");
        if (raw.size() > value.size()) {
            context.report
                .Add(Severity::kWarning, "language-entry-cut",
                     "the entry is longer than " + std::to_string(bootstrap::kLanguageEntryBufferSize - 1) +
                         " characters: setup.exe reads only " + Quoted(value))
                .At(bootstrap::kListFileName, kSetupLangSection, keyName)
                .WithValue(raw);
        }
        if (value.empty()) {
            if (key == 1) {
                bool present = HasKey(context.listFile, kSetupLangSection, "1");
                Finding& finding = ListCorrupted(context, "language-entry-1-missing", keyName,
                                                 std::string("the first language entry (key 1) is ") +
                                                     (present ? "empty" : "missing") + ": setup.exe stops");
                if (present) finding.WithValue(raw);
            }
            return key;
        }
        NumberedEntry numbered;
        numbered.key = key;
        numbered.value = raw;
        if (!bootstrap::ParseLanguageEntry(value, filterCode, numbered.entry)) {
            ListCorrupted(context, "language-entry-without-comma", keyName,
                          "the entry " + Quoted(value) +
                              " has no comma between the language name and its code text: setup.exe takes "
                              "the list file for corrupted and stops")
                .WithValue(raw);
            return -1;
        }
        if (keyName == bootstrap::kEditionWordKey) {
            context.report
                .Add(Severity::kWarning, "edition-word-read-as-language",
                     "with 99 language entries before it, the edition word (key 100) is read as a language "
                     "entry too")
                .At(bootstrap::kListFileName, kSetupLangSection, keyName)
                .WithValue(raw);
        }
        entries->push_back(numbered);
    }
}

// Catalogue languages that are offered only because their name occurs inside the enabled names run
// together: the offering is a plain substring test.
void CheckOfferedBySubstring(CheckContext& context, const std::vector<NumberedEntry>& entries) {
    for (const language::CatalogueEntry& offered : context.offered) {
        bool named = false;
        for (const NumberedEntry& numbered : entries) {
            named = named || (numbered.entry.enabled && numbered.entry.name == offered.name);
        }
        if (named) continue;
        context.report
            .Add(Severity::kWarning, "language-offered-by-substring",
                 "the catalogue language " + Quoted(offered.name) +
                     " is offered although no enabled entry names it: its name occurs inside the enabled "
                     "names run together, " +
                     Quoted(context.supportedLanguages))
            .At(bootstrap::kListFileName, kSetupLangSection);
    }
}

}  // namespace

void CheckLanguages(CheckContext& context) {
    const std::string filterCode = CheckFilterCode(context);
    context.filterCode = filterCode;
    std::vector<NumberedEntry> entries;
    const int listEnd = CheckEntries(context, filterCode, &entries);
    for (const NumberedEntry& numbered : entries) CheckEntryName(context, numbered, filterCode);

    std::vector<std::string> keysRead = {bootstrap::kFilterCodeKey, bootstrap::kEditionWordKey};
    for (const NumberedEntry& numbered : entries) keysRead.push_back(std::to_string(numbered.key));
    std::string endText;
    if (listEnd > 0) {
        const std::string endKey = std::to_string(listEnd);
        keysRead.push_back(endKey);  // read, and found empty
        endText = "key " + endKey +
                  (HasKey(context.listFile, kSetupLangSection, endKey.c_str()) ? " is empty" : " is missing");
    }
    CheckUnreadKeys(context, kSetupLangSection, keysRead, listEnd, endText);

    if (!context.filterUsable || listEnd < 0 || entries.empty()) return;  // setup.exe stops before the dialog
    context.languagesUsable = true;
    context.supportedLanguages =
        bootstrap::ReadLanguageList(context.listFile, filterCode, LogSink()).supportedLanguages;
    context.offered = language::OfferedEntries(ShippedCatalogue(), context.supportedLanguages);
    CheckOfferedBySubstring(context, entries);
}

void CheckEditionWord(CheckContext& context) {
    const std::string raw = RawValue(context.listFile, kSetupLangSection, bootstrap::kEditionWordKey, "");
    const std::string word = bootstrap::ReadEditionWord(context.listFile);
    context.locationMode = bootstrap::IsLocationModeEdition(word);
    auto at = [&](Finding& finding) -> Finding& {
        return finding.At(bootstrap::kListFileName, kSetupLangSection, bootstrap::kEditionWordKey)
            .WithValue(raw);
    };
    if (raw.size() > word.size()) {
        bool modeLost = bootstrap::IsLocationModeEdition(raw) && !context.locationMode;
        at(context.report.Add(
            Severity::kWarning, "edition-word-cut",
            "the edition word is longer than " + std::to_string(bootstrap::kEditionWordBufferSize - 1) +
                " characters: setup.exe reads " + Quoted(word) +
                (modeLost ? ", which no longer holds \"Standard\", so location mode stays off" : "")));
    }
    if (!context.locationMode && ContainsIgnoringCase(word, kLocationModeWord)) {
        at(context.report.Add(Severity::kWarning, "edition-word-case",
                              "the edition word " + Quoted(word) +
                                  " holds \"Standard\" only in another case: the test is case-sensitive, so "
                                  "the Select Language dialog stays in language mode"));
    }
}

void CheckLanguageDialog(CheckContext& context) {
    if (context.locationMode || !context.languagesUsable || !context.offered.empty()) return;
    std::string text = context.supportedLanguages.empty()
                           ? "no language entry is enabled by the filter code " + Quoted(context.filterCode)
                           : "the enabled languages, run together " + Quoted(context.supportedLanguages) +
                                 ", hold no name of the catalogue of ZSRES.DLL (" + CatalogueNames() + ")";
    context.report
        .Add(Severity::kWarning, "no-language-offered",
             text + ": the Select Language list is empty, and the user can only end setup")
        .At(bootstrap::kListFileName, kSetupLangSection);
}

}  // namespace zs::zemcmp
