// The check's own findings about what the start-up sequence reads: how the profile reader reads the files,
// the language entries, the edition word, the locations, the temporary directory's name, the start-up entries
// and the keys that are never read; and the causes behind the stops of the sequence.
#include <algorithm>
#include <cstdint>

#include "bootstrap/file_name_rules.h"
#include "bootstrap/fixed_messages.h"
#include "bootstrap/free_space_rule.h"
#include "bootstrap/list_file.h"
#include "bootstrap/main_module_command_line.h"
#include "bootstrap/start_up_entries.h"
#include "bootstrap/start_up_rules.h"
#include "check/check_host.h"
#include "check/host_texts.h"
#include "codec_session.h"
#include "language/location_profile.h"
#include "reslib/resource_ids.h"
#include "services/compressed_name.h"

namespace zs::zemcmp {
namespace {

using bootstrap::IniFileReader;
using bootstrap::RunEnd;
using bootstrap::RunPhase;

// Last components of directories that hold files of their own.
constexpr const char* kSharedDirectoryNames[] = {"WINDOWS",      "WINNT",  "SYSTEM",        "SYSTEM32",
                                                 "TEMP",         "TMP",    "PROGRAM FILES", "PROGRA~1",
                                                 "MY DOCUMENTS", "DESKTOP"};

bool IsDecimalNumber(const std::string& text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string CatalogueNames(const std::vector<language::CatalogueEntry>& catalogue) {
    std::string names;
    for (const language::CatalogueEntry& entry : catalogue) names += (names.empty() ? "" : ", ") + entry.name;
    return names.empty() ? "none" : names;
}

// How a key that ends a list stands in the file.
std::string HowMissing(const std::string& raw) {
    if (raw == kAbsentValue) return "is missing";
    if (raw.empty()) return "is empty";
    if (raw == bootstrap::kNoEntry)
        return std::string("is \"") + bootstrap::kNoEntry + "\", which counts as missing";
    return "ends the list";
}

struct OddityCode {
    IniFileReader::OddityKind kind;
    FindingCode code;
    const char* text;
};

constexpr OddityCode kOddityCodes[] = {
    {IniFileReader::OddityKind::kUtf8Bom, FindingCode::kIniByteOrderMark,
     "the file starts with a UTF-8 byte-order mark: the profile reader takes its three bytes for characters "
     "of the "
     "first line (save the file as ANSI text)"},
    {IniFileReader::OddityKind::kUtf16LeBom, FindingCode::kIniByteOrderMark,
     "the file is UTF-16 with a byte-order mark: the profile reader reads it converted to code page 1252"},
    {IniFileReader::OddityKind::kUtf16BeBom, FindingCode::kIniByteOrderMark,
     "the file starts with a big-endian UTF-16 byte-order mark, which the profile reader does not know: it "
     "reads the "
     "bytes as they are (save the file as ANSI text)"},
    {IniFileReader::OddityKind::kUnmappableCharacter, FindingCode::kIniUnmappableCharacter,
     "a character of this UTF-16 file has no place in code page 1252 and reads as \"?\""},
    {IniFileReader::OddityKind::kHeaderWithoutBracket, FindingCode::kIniHeaderWithoutBracket,
     "the section header has no \"]\": the profile reader takes it for a section all the same"},
    {IniFileReader::OddityKind::kTextAfterHeader, FindingCode::kIniTextAfterHeader,
     "the text after the header's \"]\" is ignored"},
    {IniFileReader::OddityKind::kEmptySectionName, FindingCode::kIniEmptySectionName,
     "the header names a section whose name is empty"},
    {IniFileReader::OddityKind::kDuplicateSection, FindingCode::kIniDuplicateSection,
     "this section stood before: the profile reader reads the first one only, and nothing of this one"},
    {IniFileReader::OddityKind::kKeyBeforeFirstSection, FindingCode::kIniKeyBeforeFirstSection,
     "this key stands above the first section header and is never read"},
    {IniFileReader::OddityKind::kLineWithoutEquals, FindingCode::kIniLineWithoutEquals,
     "the line is no section header, comment or key (it has no \"=\") and is ignored"},
    {IniFileReader::OddityKind::kEmptyKeyName, FindingCode::kIniEmptyKeyName, "the key's name is empty"},
    {IniFileReader::OddityKind::kDuplicateKey, FindingCode::kIniDuplicateKey,
     "this key stood before in its section: only the first is read, this one never"},
    {IniFileReader::OddityKind::kNameCaseOfNonAscii, FindingCode::kIniNameCase,
     "the name equals an earlier one but for the case of a letter beyond ASCII: the profile reader takes the "
     "two "
     "for different names"},
    {IniFileReader::OddityKind::kNulByte, FindingCode::kIniNulByte,
     "a NUL byte ends the name or value it stands in"},
    {IniFileReader::OddityKind::kCtrlZ, FindingCode::kIniCtrlZ, "a Ctrl-Z reads as a blank"},
    {IniFileReader::OddityKind::kControlCharacter, FindingCode::kIniControlCharacter,
     "a control character (such as a form feed or an escape) is part of a name or value"},
    {IniFileReader::OddityKind::kCrOnlyLineEnds, FindingCode::kIniCrOnlyLineEnds,
     "the lines end with CR alone; the profile reader reads them as lines all the same"},
    {IniFileReader::OddityKind::kLongValue, FindingCode::kIniLongValue,
     "a value of 65536 characters or more: the profile reader returns only its length modulo 65536"},
};

}  // namespace

void CheckHost::ReportOddities(const ObservedFile& file) {
    for (const IniFileReader::Oddity& oddity : file.reader.Oddities()) {
        for (const OddityCode& known : kOddityCodes) {
            if (known.kind != oddity.kind) continue;
            std::string text = std::string(known.text) + " (line " + std::to_string(oddity.line) + ")";
            Finding& finding = Add(known.code, text).At(file.name);
            if (!oddity.text.empty()) finding.WithValue(oddity.text);
        }
    }
}

CheckHost::Cause CheckHost::TakeCause(const RunEnd& end) {
    if (cause_) {
        Cause cause = *cause_;
        cause_.reset();
        return cause;
    }
    Cause cause;
    ObservedFile* list = ListFile();
    auto value = [&](const char* section, const char* key) -> std::optional<std::string> {
        if (!list) return std::nullopt;
        std::string raw = RawValue(*list, section, key);
        return raw == kAbsentValue ? std::nullopt : std::optional<std::string>(raw);
    };
    auto missingKey = [&](FindingCode code, const char* key, const std::string& consequence) {
        std::optional<std::string> raw = value(bootstrap::kStartUpSection, key);
        cause.code = code;
        cause.text = (raw ? std::string("the value is \"") + bootstrap::kNoEntry +
                                "\", which setup.exe takes for a missing key"
                          : std::string("the key is missing")) +
                     ": " + consequence;
        cause.file = bootstrap::kListFileName;
        cause.section = bootstrap::kStartUpSection;
        cause.key = key;
        cause.value = raw;
    };
    const int offset = end.message && !end.message->fixedText ? MessageOffset(end.message->stringId) : -1;
    const std::string argument =
        end.message && end.message->argument ? *end.message->argument : std::string();
    switch (end.phase) {
        case RunPhase::kListFile:
            cause.code = FindingCode::kListFileMissing;
            cause.text = "not on the medium: setup.exe stops";
            cause.file = bootstrap::kListFileName;
            break;
        case RunPhase::kLanguages: {
            cause.file = bootstrap::kListFileName;
            cause.section = bootstrap::kSetupLangSection;
            cause.key = bootstrap::kFilterCodeKey;
            cause.value = value(bootstrap::kSetupLangSection, bootstrap::kFilterCodeKey);
            if (end.message && end.message->fixedText == bootstrap::kRedirectMessage) {
                cause.code = FindingCode::kFilterCodeRedirect;
                cause.text =
                    "the filter code starts with \"0\": setup.exe sends the user to SETUPKRN.EXE and stops";
            } else {
                cause.code = FindingCode::kFilterCodeMissing;
                cause.text = std::string("the filter code (key 0) is ") +
                             (cause.value ? "empty" : "missing") + ": setup.exe stops";
            }
            break;
        }
        case RunPhase::kApplicationName:
            missingKey(FindingCode::kAppNameMissing, bootstrap::kAppNameKey, "setup.exe stops");
            break;
        case RunPhase::kSpaceRequirement:
            missingKey(FindingCode::kTmpDirSizeMissing, bootstrap::kTmpDirSizeKey, "setup.exe stops");
            break;
        case RunPhase::kTemporaryDirectory:
            if (offset == IDS_LIST_CORRUPTED) {
                missingKey(FindingCode::kTmpDirNameMissing, bootstrap::kTmpDirNameKey,
                           "a local run has no directory to stage the start-up files into, and setup.exe "
                           "stops after "
                           "the language is chosen");
            } else {
                cause.code = FindingCode::kTmpDirNameUnusable;
                cause.file = bootstrap::kListFileName;
                cause.section = bootstrap::kStartUpSection;
                cause.key = bootstrap::kTmpDirNameKey;
                cause.value = value(bootstrap::kStartUpSection, bootstrap::kTmpDirNameKey);
                cause.text =
                    "the name gives no directory that can be made: setup.exe stops after the language is "
                    "chosen";
            }
            break;
        case RunPhase::kStaging: {
            cause.file = bootstrap::kListFileName;
            cause.section = bootstrap::kStartUpSection;
            if (offset == IDS_LIST_CORRUPTED && noStartUpFileApplies_) {
                noStartUpFileApplies_ = false;
                cause.code = FindingCode::kStartUpListEmpty;
                cause.key = "1";
                cause.text =
                    (everyEntrySkipped_
                         ? std::string(
                               "every entry before the end of the list is marked \",1\", and this is a "
                               "workstation run (ADMIN.INF is on the medium): no start-up file applies")
                         : std::string(
                               "there is no start-up file entry 1, so the list names no start-up file")) +
                    ": setup.exe stops";
            } else if (offset == IDS_LIST_CORRUPTED) {
                std::string name = notPlainReported_ < notPlainEntries_.size()
                                       ? notPlainEntries_[notPlainReported_++]
                                       : std::string();
                cause.code = FindingCode::kStartUpEntryNotPlain;
                cause.key = entryKeys_.count(name) ? entryKeys_[name] : std::string();
                cause.text = "the file name " + Quoted(name) +
                             " is no plain name in the medium's directory (it is empty, \".\" or \"..\", "
                             "holds \"\\\", "
                             "\"/\" or \":\", or names a device): setup.exe takes the list file for "
                             "corrupted and stops "
                             "before it stages any file";
            } else if (offset == IDS_FILE_NOT_FOUND) {
                cause.key = entryKeys_.count(argument) ? entryKeys_[argument] : std::string();
                std::string compressed =
                    MakeCompressedName(medium_.windowsPath() + argument).substr(medium_.windowsPath().size());
                if (unreadableSources_.count(argument)) {
                    cause.code = FindingCode::kStartUpFileUnreadable;
                    cause.text = argument +
                                 " on the medium is not a file, or cannot be read: setup.exe cannot open "
                                 "it and stops";
                } else {
                    cause.code = FindingCode::kStartUpFileMissing;
                    cause.text = "neither " + argument + " nor its compressed name " + compressed +
                                 " is on the medium: setup.exe stops";
                }
            } else {
                cause.key = entryKeys_.count(argument) ? entryKeys_[argument] : std::string();
                const Damage& damage = damaged_[argument];
                cause.code = FindingCode::kStartUpFileDamaged;
                cause.text = damage.compressedName + ", the compressed copy of " + argument +
                             ", does not expand: " + DescribeCodecResult(damage.result, CodecTask::kTest) +
                             "; setup.exe stops";
            }
            if (!cause.key.empty() && list)
                cause.value = value(bootstrap::kStartUpSection, cause.key.c_str());
            break;
        }
        case RunPhase::kSelection:
            cause.code = FindingCode::kNoLanguageOffered;
            cause.text = "the Select Language list is empty: the user can only end setup";
            break;
        case RunPhase::kLaunch:
            cause.code = FindingCode::kMainModuleMissing;
            cause.text = std::string(bootstrap::kMainModuleName) + " cannot be started";
            break;
        default:
            cause.code = FindingCode::kCheckFailed;
            cause.text = "setup.exe stops here";
            break;
    }
    return cause;
}

void CheckHost::CheckLanguageEntries(const std::string& filterCode, const bootstrap::LanguageList& list) {
    ObservedFile* file = ListFile();
    if (!file) return;
    for (size_t i = 0; i < list.entries.size(); ++i) {
        const bootstrap::LanguageEntry& entry = list.entries[i];
        const std::string key = std::to_string(i + 1);
        auto at = [&](Finding& finding) {
            finding.At(file->name, bootstrap::kSetupLangSection, key)
                .WithValue(RawValue(*file, bootstrap::kSetupLangSection, key.c_str()));
        };
        if (entry.name.empty()) {
            at(Add(FindingCode::kLanguageNameEmpty,
                   "the entry has no language name before its comma: it enables "
                   "nothing that the Select Language list could show"));
        } else if (std::none_of(catalogue_.begin(), catalogue_.end(),
                                [&](const language::CatalogueEntry& c) { return c.name == entry.name; })) {
            at(Add(FindingCode::kLanguageUnknown,
                   "the language name " + Quoted(entry.name) + " is not in the catalogue of ZSRES.DLL (" +
                       CatalogueNames(catalogue_) +
                       "; the match is exact and case-sensitive): setup.exe never offers it "
                       "by this name"));
        }
        if (!filterCode.empty() && !entry.enabled &&
            AsciiUpperCase(entry.codeText).find(AsciiUpperCase(filterCode)) != std::string::npos) {
            at(Add(FindingCode::kLanguageCodeCase, "the code text " + Quoted(entry.codeText) +
                                                       " holds the filter code " + Quoted(filterCode) +
                                                       " only in another case: the match is case-sensitive "
                                                       "(a lower-case filter code also matches "
                                                       "upper-case codes, not the reverse), so " +
                                                       Quoted(entry.name) + " is not enabled"));
        }
        if (key == bootstrap::kEditionWordKey) {
            at(Add(FindingCode::kEditionWordReadAsLanguage,
                   "with 99 language entries before it, the edition word (key 100) is read as a language "
                   "entry too"));
        }
    }
}

// AppName and TmpDirSize as setup.exe has just read them for the free-space step: an empty application name,
// and a size that atol reads otherwise than it is written.
void CheckHost::OnStartUpValues(const std::string& appName, const std::string& tmpDirSize) {
    ObservedFile* file = ListFile();
    if (!file) return;
    auto add = [&](FindingCode code, const char* key, const std::string& text) {
        Add(code, text)
            .At(file->name, bootstrap::kStartUpSection, key)
            .WithValue(RawValue(*file, bootstrap::kStartUpSection, key));
    };
    if (appName.empty()) {
        add(FindingCode::kAppNameEmpty, bootstrap::kAppNameKey,
            "the application name is empty: the please-wait window's caption starts with nothing, and the "
            "main "
            "module's restart request is looked for under an empty name");
    }
    const std::string& text = tmpDirSize;
    if (bootstrap::IsMissingEntry(text)) return;
    // Split as atol reads it: white space, a sign, digits, and whatever follows.
    size_t start = std::min(text.find_first_not_of(" \t\n\v\f\r"), text.size());
    const bool negative = start < text.size() && text[start] == '-';
    if (start < text.size() && (text[start] == '+' || negative)) ++start;
    const size_t digitsEnd = std::min(text.find_first_not_of("0123456789", start), text.size());
    const int32_t bytes = bootstrap::ParseRequiredBytes(text);
    const std::string readAs =
        "setup.exe reads it as " + std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
    std::string digits = text.substr(start, digitsEnd - start);
    digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size()));
    const std::string limit = negative ? "2147483648" : "2147483647";
    const char* key = bootstrap::kTmpDirSizeKey;
    if (digitsEnd == start) {
        add(FindingCode::kTmpDirSizeNoDigits, key,
            "the size has no digits: setup.exe requires 0 bytes of free space");
    } else if (digitsEnd != text.size()) {
        add(FindingCode::kTmpDirSizeNotANumber, key,
            "only the leading digits of the size count: " + readAs +
                " (write the number of bytes alone, without units or separators)");
    } else if (negative && bytes != 0) {
        add(FindingCode::kTmpDirSizeNegative, key,
            "the size is negative: any free space passes setup.exe's test");
    } else if (digits.size() > limit.size() || (digits.size() == limit.size() && digits > limit)) {
        add(FindingCode::kTmpDirSizeTooLarge, key,
            "the size is larger than the largest number setup.exe can read: " + readAs);
    }
}

void CheckHost::OnLanguageList(const std::string& filterCode, const bootstrap::LanguageList& list) {
    languagesRead_ = true;
    supportedLanguages_ = list.supportedLanguages;
    enabledNames_.clear();
    for (const bootstrap::LanguageEntry& entry : list.entries) {
        if (entry.enabled) enabledNames_.push_back(entry.name);
    }
    ObservedFile* file = ListFile();
    if (list.faulty && file) {
        const std::string key = std::to_string(list.entries.size() + 1);
        std::string raw = RawValue(*file, bootstrap::kSetupLangSection, key.c_str());
        std::optional<std::string> value =
            raw == kAbsentValue ? std::nullopt : std::optional<std::string>(raw);
        if (list.entries.empty() && (!value || value->empty())) {
            SetCause(FindingCode::kLanguageEntry1Missing,
                     std::string("the first language entry (key 1) is ") + (value ? "empty" : "missing") +
                         ": setup.exe stops",
                     file->name, bootstrap::kSetupLangSection, key, value);
        } else {
            SetCause(FindingCode::kLanguageEntryWithoutComma,
                     "the entry has no comma between the language name and its code text: setup.exe takes "
                     "the list "
                     "file for corrupted and stops",
                     file->name, bootstrap::kSetupLangSection, key, value);
        }
    }
    CheckLanguageEntries(filterCode, list);
}

void CheckHost::OnEditionWord(const std::string& word, bool locationMode) {
    ObservedFile* file = ListFile();
    if (!locationMode && AsciiUpperCase(word).find("STANDARD") != std::string::npos && file) {
        Add(FindingCode::kEditionWordCase,
            "the edition word " + Quoted(word) +
                " holds \"Standard\" only in another case: the test is case-sensitive, "
                "so the Select Language dialog stays in language mode")
            .At(file->name, bootstrap::kSetupLangSection, bootstrap::kEditionWordKey)
            .WithValue(RawValue(*file, bootstrap::kSetupLangSection, bootstrap::kEditionWordKey));
    }
    if (!locationMode && medium_.Find(language::kLocationProfileName).Exists()) {
        Add(FindingCode::kLocationProfileUnused,
            std::string(language::kLocationProfileName) +
                " is on the medium, but the edition word ([SetupLang] key "
                "100) holds no \"Standard\": setup.exe runs in language mode and never reads it")
            .At(language::kLocationProfileName);
    }
}

void CheckHost::CheckLocations(const language::LanguageChoices&) {
    ObservedFile* file = ObservedByName(language::kLocationProfileName);
    if (!file) return;
    language::LocationProfile profile(file->reader);
    std::vector<language::CatalogueEntry> offered = language::OfferedEntries(catalogue_, supportedLanguages_);
    for (const std::string& section : profile.SectionNames()) {
        if (section.size() > language::kMaxSectionNameLength) {
            Add(FindingCode::kLocationSectionNameLong,
                "the section name is longer than " + std::to_string(language::kMaxSectionNameLength) +
                    " characters: when this location is chosen, setup.exe cuts the name and then finds none "
                    "of its "
                    "values under the shorter name")
                .At(file->name, section);
        }
        std::string setup = profile.Read(section, language::kLocationSetupKey,
                                         language::kDefaultSetupLanguage, language::kLocationValueBufferSize);
        bool matched =
            std::any_of(offered.begin(), offered.end(), [&](const language::CatalogueEntry& entry) {
                return entry.text.find(setup) != std::string::npos;
            });
        if (!matched && setup != "English") {
            std::string names;
            for (const language::CatalogueEntry& entry : offered)
                names += (names.empty() ? "" : ", ") + entry.name;
            Add(FindingCode::kLocationLanguageUnmatched, "the setup language " + Quoted(setup) +
                                                             " is in no language that this medium offers (" +
                                                             (names.empty() ? std::string("none") : names) +
                                                             "): setup.exe runs this location in English")
                .At(file->name, section, language::kLocationSetupKey)
                .WithValue(setup);
        } else if (matched && setup.empty()) {
            Add(FindingCode::kLocationLanguageEmpty,
                "the setup language is empty: it matches the first offered language, but the main setup "
                "module is "
                "handed an empty language name")
                .At(file->name, section, language::kLocationSetupKey)
                .WithValue(setup);
        }
    }
}

void CheckHost::OnChoices(const language::LanguageChoices* choices) {
    if (choices && !choices->locationMode()) {
        if (choices->items().empty()) {
            std::string why = supportedLanguages_.empty()
                                  ? "no language entry is enabled by the filter code"
                                  : "the enabled languages, run together " + Quoted(supportedLanguages_) +
                                        ", hold no name of the catalogue of ZSRES.DLL (" +
                                        CatalogueNames(catalogue_) + ")";
            SetCause(FindingCode::kNoLanguageOffered,
                     why + ": the Select Language list is empty, and the user can only end setup",
                     bootstrap::kListFileName, bootstrap::kSetupLangSection);
        }
        for (const std::string& item : choices->items()) {
            if (std::find(enabledNames_.begin(), enabledNames_.end(), item) != enabledNames_.end()) continue;
            Add(FindingCode::kLanguageOfferedBySubstring,
                "the catalogue language " + Quoted(item) +
                    " is offered although no enabled entry names it: its name "
                    "occurs inside the enabled names run together, " +
                    Quoted(supportedLanguages_))
                .At(bootstrap::kListFileName, bootstrap::kSetupLangSection);
        }
        return;
    }
    ObservedFile* file = ObservedByName(language::kLocationProfileName);
    const MediumFile onMedium = medium_.Find(language::kLocationProfileName);
    if (!choices) {
        // A location without a name fails the whole list: find the first.
        std::string section;
        std::optional<std::string> value;
        if (file) {
            language::LocationProfile profile(file->reader);
            for (const std::string& name : profile.SectionNames()) {
                if (!profile.Read(name, language::kLocationNameKey, "", language::kLocationValueBufferSize)
                         .empty()) {
                    continue;
                }
                section = name;
                std::string raw = RawValue(*file, name.c_str(), language::kLocationNameKey);
                if (raw != kAbsentValue) value = raw;
                break;
            }
        }
        SetCause(FindingCode::kLocationNameMissing,
                 std::string("the location's \"Name\" is ") + (value ? "empty" : "missing") +
                     ": the Select Location list fails as a whole and setup.exe ends as if the user had "
                     "cancelled, "
                     "without a message",
                 language::kLocationProfileName, section, language::kLocationNameKey, value);
        return;
    }
    if (choices->items().empty()) {
        if (!onMedium.IsFile()) {
            SetCause(FindingCode::kLocationProfileMissing,
                     std::string("the edition word switches on location mode, but ") +
                         language::kLocationProfileName +
                         " is not on the medium: the Select Location list is empty, and the user can only "
                         "end setup",
                     language::kLocationProfileName);
        } else {
            SetCause(
                FindingCode::kLocationProfileEmpty,
                std::string(language::kLocationProfileName) +
                    " has no sections: the Select Location list is empty, and the user can only end setup",
                language::kLocationProfileName);
        }
    }
    CheckLocations(*choices);
}

void CheckHost::OnTargetDirectory(const std::string& tmpDirName, const std::string& target,
                                  bool workstationRun) {
    workstationRun_ = workstationRun;
    if (workstationRun || bootstrap::IsMissingEntry(tmpDirName)) return;
    ObservedFile* file = ListFile();
    auto at = [&](Finding& finding) {
        finding.At(bootstrap::kListFileName, bootstrap::kStartUpSection, bootstrap::kTmpDirNameKey);
        if (file) finding.WithValue(RawValue(*file, bootstrap::kStartUpSection, bootstrap::kTmpDirNameKey));
    };
    std::string path = tmpDirName;
    while (!path.empty() && (path.back() == '\\' || path.back() == '/')) path.pop_back();
    const bool unc = path.size() >= 2 && path[0] == '\\' && path[1] == '\\';
    if (!bootstrap::IsDriveLetterDirectory(tmpDirName + "\\") && !unc) {
        at(Add(FindingCode::kTmpDirRelative,
               "the temporary directory is not a full path with a drive letter (such as C:\\SETUPTMP): it is "
               "made in "
               "the directory that is current when setup.exe starts, often the medium itself (here " +
                   target + ")"));
    }
    size_t slash = path.find_last_of("\\/:");
    std::string last = slash == std::string::npos ? path : path.substr(slash + 1);
    bool shared = path.empty() || (path.size() == 2 && path[1] == ':') ||
                  std::any_of(std::begin(kSharedDirectoryNames), std::end(kSharedDirectoryNames),
                              [&](const char* name) { return SameFileName(last, name); });
    if (shared) {
        at(Add(FindingCode::kTmpDirShared,
               "the temporary directory names a drive or a directory that holds other files: setup.exe "
               "stages its "
               "files there, moves files of the same names aside and back again, and deletes what the run "
               "and the "
               "main setup module left there"));
    }
}

void CheckHost::CheckStartUpEntries(bool workstationRun) {
    ObservedFile* file = ListFile();
    if (!file) return;
    const IniFileReader& reader = file->reader;
    std::vector<std::string> names;
    for (int number = 1;; ++number) {
        const std::string key = std::to_string(number);
        bootstrap::StartUpEntry entry = bootstrap::ReadStartUpEntry(reader, number);
        if (workstationRun && entry.skipInWorkstationRun) continue;
        if (entry.missing) break;
        const std::string raw = RawValue(*file, bootstrap::kStartUpSection, key.c_str());
        auto at = [&](Finding& finding) {
            finding.At(file->name, bootstrap::kStartUpSection, key).WithValue(raw);
        };
        const std::string& name = entry.fileName;
        entryKeys_.emplace(name, key);
        const std::string value = reader.GetString(bootstrap::kStartUpSection, key.c_str(),
                                                   bootstrap::kNoEntry, bootstrap::kStartUpValueBufferSize);
        size_t comma = value.find(',');
        std::string mark = comma == std::string::npos ? std::string() : value.substr(comma + 1);
        if (!mark.empty() && mark[0] != '1') {
            size_t first = mark.find_first_not_of(" \t");
            if (first != std::string::npos && mark[first] == '1') {
                at(Add(FindingCode::kStartUpMarkIgnored,
                       "only a \"1\" right after the comma marks an entry: " + Quoted("," + mark) +
                           " does not, so the file is staged in workstation runs too"));
            } else {
                at(Add(FindingCode::kStartUpMarkUnknown,
                       "only a \"1\" right after the comma means something; " + Quoted("," + mark) +
                           " is ignored"));
            }
        }
        if (!bootstrap::IsPlainFileName(name)) continue;
        const std::string kept(bootstrap::WithoutTrailingDotsAndBlanks(name));
        if (kept.size() != name.size()) {
            at(Add(FindingCode::kStartUpEntryTrailingDotOrBlank,
                   "Windows drops the trailing dots and blanks of the name: setup.exe stages the file as " +
                       kept));
        }
        if (!workstationRun && name[0] == '.') {
            at(Add(FindingCode::kStartUpEntryDotName,
                   "the file name starts with \".\": setup.exe's clean-up of a temporary directory it made "
                   "passes over "
                   "such names, so the file and the directory are left behind on the user's disk"));
        }
        if (std::any_of(names.begin(), names.end(),
                        [&](const std::string& other) { return SameFileName(other, kept); })) {
            at(Add(FindingCode::kStartUpEntryRepeated,
                   "names the same file as an earlier entry: it is staged twice"));
        }
        names.push_back(kept);
        if (kept.find('.') == std::string::npos && medium_.windowsPath().find('.') != std::string::npos) {
            std::string compressed = MakeCompressedName(medium_.windowsPath() + kept);
            at(Add(FindingCode::kCompressedNameDependsOnDirectory,
                   "the name has no dot, and the medium's path has one: setup.exe looks for its compressed "
                   "copy as " +
                       compressed.substr(compressed.rfind('\\') + 1) + " here, but as " +
                       MakeCompressedName(kept) +
                       " where the medium's path has no dot (such as the root of a drive)"));
        }
    }
    if (!workstationRun && !bootstrap::CollectStartUpFiles(reader, false).noFileApplies &&
        bootstrap::CollectStartUpFiles(reader, true).noFileApplies) {
        Add(FindingCode::kStartUpListEmptyInWorkstationRun,
            "every start-up file entry is marked \",1\": a workstation run from an administrative "
            "installation point "
            "made from this medium skips them all and stops")
            .At(file->name, bootstrap::kStartUpSection);
    }
}

void CheckHost::OnStartUpFiles(const bootstrap::StartUpFileList& list, bool workstationRun) {
    startUpListRead_ = true;
    noStartUpFileApplies_ = list.noFileApplies;
    everyEntrySkipped_ = false;
    if (ObservedFile* file = ListFile(); file && list.noFileApplies && workstationRun) {
        everyEntrySkipped_ = bootstrap::ReadStartUpEntry(file->reader, 1).skipInWorkstationRun;
    }
    for (const std::string& name : list.fileNames) {
        if (!bootstrap::IsPlainFileName(name)) notPlainEntries_.push_back(name);
    }
    CheckStartUpEntries(workstationRun);
}

void CheckHost::ReportUnreadKeysOf(const ObservedFile& file, const char* section) {
    const IniFileReader::Section* found = nullptr;
    for (const IniFileReader::Section& candidate : file.reader.Sections()) {
        if (candidate.reachable && AsciiLowerCase(candidate.name) == AsciiLowerCase(section)) {
            found = &candidate;
            break;
        }
    }
    if (!found) return;
    // The numbered list is read from 1 on up to the key that ends it; other numbered keys the sequence reads
    // (the edition word, 100) are not part of it.
    int lastRead = 0;
    while (file.keysRead.count({AsciiLowerCase(section), std::to_string(lastRead + 1)})) ++lastRead;
    for (const IniFileReader::KeyLine& line : found->keys) {
        if (!line.reachable || file.keysRead.count({AsciiLowerCase(section), AsciiLowerCase(line.name)}))
            continue;
        auto add = [&](FindingCode code, const std::string& text) {
            Add(code, text).At(file.name, section, line.name).WithValue(line.value);
        };
        if (!IsDecimalNumber(line.name)) {
            add(FindingCode::kKeyNotRead,
                "setup.exe does not read the key " + line.name + " of [" + section +
                    "] (it may be meant for the main setup module, or be misspelt)");
        } else if (line.name.size() > 1 && line.name[0] == '0') {
            add(FindingCode::kKeyLeadingZero,
                "setup.exe reads numbered keys as 1, 2, 3, ... without leading zeros: "
                "the key " +
                    line.name + " is never read");
        } else if (lastRead > 0) {
            const std::string end = std::to_string(lastRead);
            add(FindingCode::kKeyAfterListEnd,
                "the key " + line.name + " is never read: the numbered entries end before it, where key " +
                    end + " " + HowMissing(RawValue(file, section, end.c_str())));
        }
    }
}

void CheckHost::ReportUnreadKeys() {
    ObservedFile* file = ListFile();
    if (!file) return;
    if (languagesRead_) ReportUnreadKeysOf(*file, bootstrap::kSetupLangSection);
    if (startUpListRead_) ReportUnreadKeysOf(*file, bootstrap::kStartUpSection);
}

}  // namespace zs::zemcmp
