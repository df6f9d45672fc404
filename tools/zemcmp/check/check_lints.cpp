#include "check/check_lints.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "check/check_host.h"
#include "check/hook_export.h"
#include "check/host_texts.h"
#include "check/seal_lints.h"
#include "compress/cmpfile.h"
#include "compress/file_handle.h"
#include "language/location_profile.h"
#include "platform/platform.h"
#include "reslib/resource_ids.h"
#include "startup/compressed_name.h"
#include "startup/file_name_rules.h"
#include "startup/free_space_rule.h"
#include "startup/hook_command.h"
#include "startup/list_file.h"
#include "startup/main_module_command_line.h"
#include "startup/start_up_rules.h"

namespace zs::zemcmp {
namespace {

using bootstrap::IniFileReader;

// Last components of directories that hold files of their own.
constexpr const char* kSharedDirectoryNames[] = {"WINDOWS",      "WINNT",  "SYSTEM",        "SYSTEM32",
                                                 "TEMP",         "TMP",    "PROGRAM FILES", "PROGRA~1",
                                                 "MY DOCUMENTS", "DESKTOP"};

bool IsDecimalNumber(const std::string& text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// How a key that ends a list stands in the file.
std::string HowMissing(const std::string& raw) {
    if (raw == kAbsentValue) return "is missing";
    if (raw.empty()) return "is empty";
    if (raw == bootstrap::kNoEntry) {
        return std::string("is \"") + bootstrap::kNoEntry + "\", which counts as missing";
    }
    return "ends the list";
}

std::string RawValue(const ObservedFile& file, const std::string& section, const std::string& key) {
    return file.reader.GetString(section.c_str(), key.c_str(), kAbsentValue, kUncutSize);
}

// A name of the form of a short 8.3 alias that Windows gives a long name: at most eight characters with a
// "~" and digits at the end before the dot, and an extension of at most three (SETUPD~1.DLL).
bool HasShortAliasForm(const std::string& name) {
    const size_t dot = name.find('.');
    const std::string base = name.substr(0, dot);
    const size_t tilde = base.rfind('~');
    if (base.size() > 8 || tilde == std::string::npos || tilde == 0 || tilde + 1 == base.size()) return false;
    if (dot != std::string::npos &&
        (name.size() - dot - 1 > 3 || name.find('.', dot + 1) != std::string::npos)) {
        return false;
    }
    return base.find_first_not_of("0123456789", tilde + 1) == std::string::npos;
}

struct OddityCode {
    IniFileReader::OddityKind kind;
    FindingCode code;
    const char* text;
};

constexpr OddityCode kOddityCodes[] = {
    {IniFileReader::OddityKind::kUtf8Bom, FindingCode::kIniByteOrderMark,
     "the file starts with a UTF-8 byte-order mark: "
     "the profile reader takes its three bytes for characters of the first line "
     "(save the file as ANSI text)"},
    {IniFileReader::OddityKind::kUtf16LeBom, FindingCode::kIniByteOrderMark,
     "the file is UTF-16 with a byte-order mark: the profile reader reads it converted to code page 1252"},
    {IniFileReader::OddityKind::kUtf16BeBom, FindingCode::kIniByteOrderMark,
     "the file starts with a big-endian UTF-16 byte-order mark, which the profile reader does not know: "
     "it reads the bytes as they are (save the file as ANSI text)"},
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
     "the name equals an earlier one but for the case of a letter beyond ASCII: "
     "the profile reader takes the two for different names"},
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

Finding& CheckLints::AtListKey(const CheckHost& host, FindingCode code, std::string text,
                               const std::string& section, const std::string& key) {
    Finding& finding = Add(code, std::move(text)).At(bootstrap::kListFileName, section, key);
    if (const ObservedFile* file = host.Observed(bootstrap::kListFileName)) {
        finding.file = file->name;
        std::string raw = RawValue(*file, section, key);
        if (raw != kAbsentValue) finding.WithValue(raw);
    }
    return finding;
}

// --- The medium and its programs ---

void CheckLints::CheckMediumNames() {
    for (const std::string& name : medium_.UnholdableNames()) {
        Add(FindingCode::kFileNameNotWindows,
            "Windows cannot hold this name (a character such as < > : \" | ? * or a control character, "
            "or a trailing dot or blank): setup.exe never finds the file")
            .At(name);
    }
}

void CheckLints::CheckWorkstationRun() {
    MediumFile adminInf = medium_.Find(bootstrap::kAdminInfName);
    OnLookUp(adminInf);
    if (adminInf.Exists()) {
        Add(FindingCode::kWorkstationRun,
            std::string(bootstrap::kAdminInfName) + " lies beside " + bootstrap::kListFileName +
                ": every run from this directory is a workstation run: nothing is copied or expanded, "
                "entries marked \",1\" are skipped and _SETUP.EXE is started where it lies")
            .At(bootstrap::kAdminInfName);
    }
}

void CheckLints::OnSetupProgram(const PeImage& program, const std::string& name) {
    if (!program.hasSignature) {
        Add(FindingCode::kUnsignedImage,
            "it carries no Authenticode signature: Windows warns of an unknown publisher when it starts")
            .At(name);
    }
}

void CheckLints::OnLookUp(const MediumFile& file) {
    if (file.device || !namesNoted_.insert(AsciiUpperCase(file.name)).second) return;
    if (file.caseDiffers) {
        Add(FindingCode::kFileNameCase, "the name is written " + file.actualName +
                                            " on the medium: Windows finds it all the same, "
                                            "a case-sensitive file system would not")
            .At(file.name);
    }
    if (!file.otherCases.empty()) {
        std::string names = file.actualName;
        for (const std::string& other : file.otherCases) names += ", " + other;
        Add(FindingCode::kFileNameCaseTwins,
            "the medium holds several names that Windows takes for one file, " + file.name + ": " + names +
                "; which of them a copy of the medium keeps is uncertain (this check uses " +
                file.actualName + ")")
            .At(file.name);
    }
}

void CheckLints::OnResourceLibrary(const PeImage& library, const std::string& name) {
    std::vector<std::string> missing;
    for (int id : {IDS_CATALOGUE_COUNT, IDS_ENGLISH_BASE + IDS_FILE_NOT_FOUND,
                   IDS_ENGLISH_BASE + IDS_LIST_CORRUPTED}) {
        if (!library.LoadStringAnsi(id)) missing.push_back(std::to_string(id));
    }
    if (!missing.empty()) {
        std::string ids;
        for (const std::string& id : missing) ids += (ids.empty() ? "" : ", ") + id;
        Add(FindingCode::kResourceLibraryWithoutStrings,
            "the string table has no string " + ids +
                ": setup.exe reads an empty catalogue or shows empty messages")
            .At(name);
    }
    if (!library.hasSignature) {
        Add(FindingCode::kUnsignedImage,
            "it carries no Authenticode signature: "
            "Windows warns of an unknown publisher when setup.exe loads it")
            .At(name);
    }
    // What GetHookName returns is known before the run only when its code returns a constant text.
    const HookExport hook = ReadHookExport(library);
    if (hook.kind == HookExport::kConstantText) {
        std::optional<std::string> command = bootstrap::BuildHookCommand(hook.text);
        Add(FindingCode::kResourceLibraryHook,
            "GetHookName returns the text " + Quoted(hook.text) + ": setup.exe " +
                (command ? "hands the run over to " + Quoted(*command) + " (exit status 0)"
                         : "finds no command in it that fits, and ends (exit status 2, without a message)") +
                " before it reads anything; the prediction below is that of a run without it")
            .At(name);
    } else if (hook.kind == HookExport::kUnknown) {
        Add(FindingCode::kResourceLibraryHook,
            "the library exports GetHookName, and what it returns shows only when it runs: "
            "when it names a program, setup.exe hands the run over to it before it reads anything, "
            "and nothing of the prediction below happens (the shipped library's returns an empty text)")
            .At(name);
    }
}

void CheckLints::OnPleaseWait(const PeImage& library) {
    if (!library.HasResource(kResourceDialog, IDD_WAIT)) {
        Add(FindingCode::kResourceLibraryWithoutWaitDialog,
            "the resource library has no dialog template 103: "
            "no please-wait window is shown while the files are staged")
            .At(bootstrap::kResourceLibraryName);
    }
}

void CheckLints::OnMainModule(const PeImage& image, const PeImage* program) {
    if (image.machine == kMachineAmd64 && (!program || program->machine == kMachineI386)) {
        Add(FindingCode::kMainModuleMachine,
            std::string(bootstrap::kMainModuleName) +
                " is a program for x86-64: it starts on 64-bit Windows only, beside a setup.exe for i386")
            .At(bootstrap::kMainModuleName);
    }
}

// --- How the profile reader reads the files ---

void CheckLints::OnProfileOpened(const ObservedFile& file, bool isFile) {
    if (file.present && !file.reader.Found()) {
        Add(FindingCode::kListFileUnreadable,
            std::string(isFile ? "the file cannot be read" : "not a file") +
                ": the profile reader reads no value from it, so every value reads as missing")
            .At(file.name);
    }
    for (const IniFileReader::Oddity& oddity : file.reader.Oddities()) {
        for (const OddityCode& known : kOddityCodes) {
            if (known.kind != oddity.kind) continue;
            std::string text = std::string(known.text) + " (line " + std::to_string(oddity.line) + ")";
            Finding& finding = Add(known.code, text).At(file.name);
            if (!oddity.text.empty()) finding.WithValue(oddity.text);
        }
    }
}

void CheckLints::OnSectionNamesRead(const ObservedFile& file, const std::string& value,
                                    const std::string& whole, size_t bufferSize) {
    if (whole.size() <= value.size() || !cut_.insert({file.name, "", ""}).second) return;
    Add(FindingCode::kValueCut, "the section names take " + std::to_string(whole.size() + 1) +
                                    " bytes together, more than the " + std::to_string(bufferSize) +
                                    " that setup.exe reads them into: the last sections are cut off")
        .At(file.name);
}

void CheckLints::OnValueRead(const ObservedFile& file, const char* section, const char* key,
                             const std::string& value, const std::optional<std::string>& written,
                             size_t bufferSize) {
    if (!written || written->size() <= value.size() ||
        !cut_.insert({file.name, AsciiLowerCase(section), AsciiLowerCase(key)}).second) {
        return;
    }
    Add(FindingCode::kValueCut, "the value is longer than " + std::to_string(bufferSize - 1) +
                                    " characters: setup.exe reads " + Quoted(value))
        .At(file.name, section, key)
        .WithValue(*written);
}

// --- The languages ---

void CheckLints::OnLanguageList(const CheckHost& host, const std::string& filterCode,
                                const bootstrap::LanguageList& list) {
    languagesRead_ = true;
    supportedLanguages_ = list.supportedLanguages;
    enabledNames_.clear();
    for (const bootstrap::LanguageEntry& entry : list.entries) {
        if (entry.enabled) enabledNames_.push_back(entry.name);
    }
    CheckLanguageEntries(host, filterCode, list);
}

void CheckLints::CheckLanguageEntries(const CheckHost& host, const std::string& filterCode,
                                      const bootstrap::LanguageList& list) {
    const std::vector<language::CatalogueEntry>& catalogue = host.catalogue();
    for (size_t i = 0; i < list.entries.size(); ++i) {
        const bootstrap::LanguageEntry& entry = list.entries[i];
        const std::string key = std::to_string(i + 1);
        auto add = [&](FindingCode code, const std::string& text) {
            AtListKey(host, code, text, bootstrap::kSetupLangSection, key);
        };
        if (entry.name.empty()) {
            add(FindingCode::kLanguageNameEmpty,
                "the entry has no language name before its comma: "
                "it enables nothing that the Select Language list could show");
        } else if (std::none_of(catalogue.begin(), catalogue.end(),
                                [&](const language::CatalogueEntry& c) { return c.name == entry.name; })) {
            add(FindingCode::kLanguageUnknown,
                "the language name " + Quoted(entry.name) + " is not in the catalogue of ZSRES.DLL (" +
                    CatalogueNames(catalogue) +
                    "; the match is exact and case-sensitive): setup.exe never offers it by this name");
        }
        if (!filterCode.empty() && !entry.enabled &&
            AsciiUpperCase(entry.codeText).find(AsciiUpperCase(filterCode)) != std::string::npos) {
            add(FindingCode::kLanguageCodeCase,
                "the code text " + Quoted(entry.codeText) + " holds the filter code " + Quoted(filterCode) +
                    " only in another case: the match is case-sensitive "
                    "(a lower-case filter code also matches upper-case codes, "
                    "not the reverse), so " +
                    Quoted(entry.name) + " is not enabled");
        }
        if (key == bootstrap::kEditionWordKey) {
            add(FindingCode::kEditionWordReadAsLanguage,
                "with 99 language entries before it, "
                "the edition word (key 100) is read as a language entry too");
        }
    }
}

void CheckLints::OnEditionWord(const CheckHost& host, const std::string& word, bool locationMode) {
    if (!locationMode && AsciiUpperCase(word).find("STANDARD") != std::string::npos) {
        AtListKey(host, FindingCode::kEditionWordCase,
                  "the edition word " + Quoted(word) +
                      " holds \"Standard\" only in another case: the test is case-sensitive, "
                      "so the Select Language dialog stays in language mode",
                  bootstrap::kSetupLangSection, bootstrap::kEditionWordKey);
    }
    if (!locationMode && medium_.Find(language::kLocationProfileName).Exists()) {
        Add(FindingCode::kLocationProfileUnused,
            std::string(language::kLocationProfileName) +
                " is on the medium, but the edition word ([SetupLang] key 100) holds no \"Standard\": "
                "setup.exe runs in language mode and never reads it")
            .At(language::kLocationProfileName);
    }
}

void CheckLints::OnChoices(const CheckHost& host, const language::LanguageChoices* choices) {
    if (choices && choices->locationMode()) {
        CheckLocations(host);
        return;
    }
    if (!choices) return;
    for (const std::string& item : choices->items()) {
        if (std::find(enabledNames_.begin(), enabledNames_.end(), item) != enabledNames_.end()) continue;
        Add(FindingCode::kLanguageOfferedBySubstring,
            "the catalogue language " + Quoted(item) +
                " is offered although no enabled entry names it: "
                "its name occurs inside the enabled names run together, " +
                Quoted(supportedLanguages_))
            .At(bootstrap::kListFileName, bootstrap::kSetupLangSection);
    }
}

void CheckLints::CheckLocations(const CheckHost& host) {
    const ObservedFile* file = host.Observed(language::kLocationProfileName);
    if (!file) return;
    language::LocationProfile profile(file->reader);
    std::vector<language::CatalogueEntry> offered =
        language::OfferedEntries(host.catalogue(), supportedLanguages_);
    for (const std::string& section : profile.SectionNames()) {
        if (section.size() > language::kMaxSectionNameLength) {
            Add(FindingCode::kLocationSectionNameLong,
                "the section name is longer than " + std::to_string(language::kMaxSectionNameLength) +
                    " characters: when this location is chosen, setup.exe cuts the name "
                    "and then finds none of its values under the shorter name")
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
            for (const language::CatalogueEntry& entry : offered) {
                names += (names.empty() ? "" : ", ") + entry.name;
            }
            Add(FindingCode::kLocationLanguageUnmatched, "the setup language " + Quoted(setup) +
                                                             " is in no language that this medium offers (" +
                                                             (names.empty() ? std::string("none") : names) +
                                                             "): setup.exe runs this location in English")
                .At(file->name, section, language::kLocationSetupKey)
                .WithValue(setup);
        } else if (matched && setup.empty()) {
            Add(FindingCode::kLocationLanguageEmpty,
                "the setup language is empty: it matches the first offered language, "
                "but the main setup module is handed an empty language name")
                .At(file->name, section, language::kLocationSetupKey)
                .WithValue(setup);
        }
    }
}

// --- The values of [StartUp] ---

// AppName and TmpDirSize as setup.exe has just read them for the free-space step: an empty application name,
// and a size that the free-space rule reads otherwise than it is written.
void CheckLints::OnStartUpValues(const CheckHost& host, const std::string& appName,
                                 const std::string& tmpDirSize) {
    if (appName.empty()) {
        AtListKey(host, FindingCode::kAppNameEmpty,
                  "the application name is empty: the please-wait window's caption starts with nothing, "
                  "and the main module's restart request is looked for under an empty name",
                  bootstrap::kStartUpSection, bootstrap::kAppNameKey);
    }
    if (bootstrap::IsMissingEntry(tmpDirSize)) return;
    const bootstrap::RequiredBytesReading reading = bootstrap::ReadRequiredBytes(tmpDirSize);
    const std::string readAs =
        "setup.exe reads it as " + std::to_string(reading.bytes) + (reading.bytes == 1 ? " byte" : " bytes");
    auto add = [&](FindingCode code, const std::string& text) {
        AtListKey(host, code, text, bootstrap::kStartUpSection, bootstrap::kTmpDirSizeKey);
    };
    if (!reading.hasDigits) {
        add(FindingCode::kTmpDirSizeNoDigits,
            "the size has no digits: setup.exe requires 0 bytes of free space");
    } else if (reading.textAfterDigits) {
        add(FindingCode::kTmpDirSizeNotANumber,
            "only the leading digits of the size count: " + readAs +
                " (write the number of bytes alone, without units or separators)");
    } else if (reading.bytes < 0) {
        add(FindingCode::kTmpDirSizeNegative, "the size is negative: any free space passes setup.exe's test");
    } else if (reading.saturated) {
        add(FindingCode::kTmpDirSizeTooLarge,
            "the size is larger than the largest number setup.exe can read: " + readAs);
    }
}

void CheckLints::OnTargetDirectory(const CheckHost& host, const std::string& tmpDirName,
                                   const std::string& target, bool workstationRun) {
    if (workstationRun || bootstrap::IsMissingEntry(tmpDirName)) return;
    auto add = [&](FindingCode code, const std::string& text) {
        AtListKey(host, code, text, bootstrap::kStartUpSection, bootstrap::kTmpDirNameKey);
    };
    std::string path = tmpDirName;
    while (!path.empty() && (path.back() == '\\' || path.back() == '/')) path.pop_back();
    const bool unc = path.size() >= 2 && path[0] == '\\' && path[1] == '\\';
    if (!bootstrap::IsDriveLetterDirectory(tmpDirName + "\\") && !unc) {
        add(FindingCode::kTmpDirRelative,
            "the temporary directory is not a full path with a drive letter (such as C:\\SETUPTMP): "
            "it is made in the directory that is current when setup.exe starts, "
            "often the medium itself (here " +
                target + ")");
    }
    size_t slash = path.find_last_of("\\/:");
    std::string last = slash == std::string::npos ? path : path.substr(slash + 1);
    bool shared = path.empty() || (path.size() == 2 && path[1] == ':') ||
                  std::any_of(std::begin(kSharedDirectoryNames), std::end(kSharedDirectoryNames),
                              [&](const char* name) { return SameFileName(last, name); });
    if (shared) {
        add(FindingCode::kTmpDirShared,
            "the temporary directory names a drive or a directory that holds other files: "
            "setup.exe stages its files there, moves files of the same names aside and back again, "
            "and deletes what the run and the main setup module left there");
    }
}

// --- The start-up files ---

void CheckLints::OnStartUpFiles(const CheckHost& host, const bootstrap::StartUpFileList& list,
                                bool workstationRun) {
    startUpListRead_ = true;
    entryKeys_.clear();
    for (size_t i = 0; i < list.fileNames.size(); ++i) {
        entryKeys_.emplace_back(list.fileNames[i], std::to_string(list.keys[i]));
    }
    CheckStartUpEntries(host, workstationRun);
    if (const ObservedFile* file = host.Observed(bootstrap::kListFileName)) {
        LintSeals(report_, *file, list, workstationRun);
    }
}

void CheckLints::CheckStartUpEntries(const CheckHost& host, bool workstationRun) {
    const ObservedFile* file = host.Observed(bootstrap::kListFileName);
    if (!file) return;
    const IniFileReader& reader = file->reader;
    std::vector<std::string> names;
    for (int number = 1;; ++number) {
        const std::string key = std::to_string(number);
        const std::string value = reader.GetString(bootstrap::kStartUpSection, key.c_str(),
                                                   bootstrap::kNoEntry, bootstrap::kStartUpValueBufferSize);
        const bootstrap::StartUpEntry entry = bootstrap::ParseStartUpEntry(value);
        if (workstationRun && entry.skipInWorkstationRun) continue;
        if (entry.missing) break;
        const std::string raw = RawValue(*file, bootstrap::kStartUpSection, key);
        auto add = [&](FindingCode code, const std::string& text) {
            Add(code, text).At(file->name, bootstrap::kStartUpSection, key).WithValue(raw);
        };
        // What follows the name: a comma and the mark.
        const std::string mark = value.substr(entry.fileName.size());
        if (mark.size() > 1 && !entry.skipInWorkstationRun) {
            const size_t first = mark.find_first_not_of(" \t", 1);
            if (first != std::string::npos && mark[first] == '1') {
                add(FindingCode::kStartUpMarkIgnored,
                    "only a \"1\" right after the comma marks an entry: " + Quoted(mark) +
                        " does not, so the file is staged in workstation runs too");
            } else {
                add(FindingCode::kStartUpMarkUnknown,
                    "only a \"1\" right after the comma means something; " + Quoted(mark) + " is ignored");
            }
        }
        const std::string& name = entry.fileName;
        if (!bootstrap::IsPlainFileName(name)) continue;
        const std::string kept(bootstrap::WithoutTrailingDotsAndBlanks(name));
        if (kept.size() != name.size()) {
            add(FindingCode::kStartUpEntryTrailingDotOrBlank,
                "Windows drops the trailing dots and blanks of the name: setup.exe stages the file as " +
                    kept);
        }
        if (!workstationRun && name[0] == '.') {
            add(FindingCode::kStartUpEntryDotName,
                "the file name starts with \".\": "
                "setup.exe's clean-up of a temporary directory it made passes over such names, "
                "so the file and the directory are left behind on the user's disk");
        }
        if (std::any_of(names.begin(), names.end(),
                        [&](const std::string& other) { return SameFileName(other, kept); })) {
            add(FindingCode::kStartUpEntryRepeated,
                "names the same file as an earlier entry: it is staged twice");
        }
        names.push_back(kept);
        if (kept.find('.') == std::string::npos && medium_.windowsPath().find('.') != std::string::npos) {
            std::string compressed = MakeCompressedName(medium_.windowsPath() + kept);
            add(FindingCode::kCompressedNameDependsOnDirectory,
                "the name has no dot, and the medium's path has one: "
                "setup.exe looks for its compressed copy as " +
                    compressed.substr(compressed.rfind('\\') + 1) + " here, but as " +
                    MakeCompressedName(kept) +
                    " where the medium's path has no dot (such as the root of a drive)");
        }
        CheckShortAlias(kept, key, raw);
    }
    if (!workstationRun && !bootstrap::CollectStartUpFiles(reader, false).noFileApplies &&
        bootstrap::CollectStartUpFiles(reader, true).noFileApplies) {
        Add(FindingCode::kStartUpListEmptyInWorkstationRun,
            "every start-up file entry is marked \",1\": "
            "a workstation run from an administrative installation point made from this medium "
            "skips them all and stops")
            .At(file->name, bootstrap::kStartUpSection);
    }
}

// Windows finds a file by its short 8.3 alias too, where the file system gives them; which alias a long name
// gets depends on the file system and on the names beside it, so the check cannot know it.
void CheckLints::CheckShortAlias(const std::string& name, const std::string& key, const std::string& raw) {
    if (!HasShortAliasForm(name) || medium_.Find(name).Exists()) return;
    const std::string prefix = AsciiUpperCase(name.substr(0, name.find('~')));
    std::string candidates;
    for (const std::string& other : medium_.HoldableNames()) {
        if (AsciiUpperCase(other).compare(0, prefix.size(), prefix) != 0 || other.size() <= prefix.size()) {
            continue;
        }
        candidates += (candidates.empty() ? " (such as " : ", ") + other;
    }
    if (!candidates.empty()) candidates += ")";
    Add(FindingCode::kStartUpEntryShortName,
        "the name has the form of a short 8.3 alias, and no file of that name is on the medium: "
        "on a file system that gives short names, Windows may find a file of the medium by it" +
            candidates + ", which the check cannot know; it predicts the run as if the name were not there")
        .At(bootstrap::kListFileName, bootstrap::kStartUpSection, key)
        .WithValue(raw);
}

void CheckLints::OnStaged(const CheckHost& host, const bootstrap::StagedFile& file,
                          const MediumFile& source) {
    auto add = [&](FindingCode code, const std::string& text) {
        auto entry = std::find_if(entryKeys_.begin(), entryKeys_.end(),
                                  [&](const auto& pair) { return pair.first == file.fileName; });
        AtListKey(host, code, text, bootstrap::kStartUpSection,
                  entry == entryKeys_.end() ? std::string() : entry->second);
    };
    if (file.workstationRun) {
        if (file.compressed) {
            add(FindingCode::kStartUpFileNotExpanded,
                "only the compressed " + source.actualName + " is on the medium: " +
                    "a workstation run expands nothing, so the main setup module finds no " + file.fileName);
        }
        return;
    }
    if (file.compressed) return;
    OpenFile opened;
    std::string problem;
    CMPHEADER header;
    if (OpenForReading(source.path, &opened, &problem) && IsCmpFile(opened.handle(), &header) == CMP_OK) {
        add(FindingCode::kStartUpFileCompressedUnderPlainName,
            source.actualName +
                " is in the compressed format, but a file under its plain name is copied as it is: "
                "the main setup module would get the compressed bytes (store it as " +
                MakeCompressedName(file.fileName) + " instead)");
    }
    const std::string compressedPath = MakeCompressedName(file.sourcePath);
    const std::string& directory = medium_.windowsPath();
    if (compressedPath.compare(0, directory.size(), directory) != 0) return;
    MediumFile compressed = medium_.Find(compressedPath.substr(directory.size()));
    OnLookUp(compressed);
    if (compressed.Exists()) {
        add(FindingCode::kStartUpFileBothCopies,
            "both " + source.actualName + " and its compressed name " + compressed.actualName +
                " are on the medium: setup.exe copies " + source.actualName + " and never uses " +
                compressed.actualName);
    }
}

// --- The keys never read ---

void CheckLints::ReportUnreadKeys(const CheckHost& host) {
    const ObservedFile* file = host.Observed(bootstrap::kListFileName);
    if (!file) return;
    if (languagesRead_) ReportUnreadKeysOf(*file, bootstrap::kSetupLangSection);
    if (startUpListRead_) ReportUnreadKeysOf(*file, bootstrap::kStartUpSection);
}

void CheckLints::ReportUnreadKeysOf(const ObservedFile& file, const char* section) {
    const IniFileReader::Section* found = nullptr;
    for (const IniFileReader::Section& candidate : file.reader.Sections()) {
        if (candidate.reachable && AsciiLowerCase(candidate.name) == AsciiLowerCase(section)) {
            found = &candidate;
            break;
        }
    }
    if (!found) return;
    auto read = [&](const std::string& key) {
        return file.valuesRead.count({AsciiLowerCase(section), AsciiLowerCase(key)}) > 0;
    };
    // The numbered list is read from 1 on up to the key that ends it; other numbered keys the sequence reads
    // (the edition word, 100) are not part of it.
    int lastRead = 0;
    while (read(std::to_string(lastRead + 1))) ++lastRead;
    for (const IniFileReader::KeyLine& line : found->keys) {
        if (!line.reachable || read(line.name)) continue;
        auto add = [&](FindingCode code, const std::string& text) {
            Add(code, text).At(file.name, section, line.name).WithValue(line.value);
        };
        if (!IsDecimalNumber(line.name)) {
            add(FindingCode::kKeyNotRead,
                "setup.exe does not read the key " + line.name + " of [" + section +
                    "] (it may be meant for the main setup module, or be misspelt)");
        } else if (line.name.size() > 1 && line.name[0] == '0') {
            add(FindingCode::kKeyLeadingZero,
                "setup.exe reads numbered keys as 1, 2, 3, ... without leading zeros: the key " + line.name +
                    " is never read");
        } else if (lastRead > 0) {
            const std::string end = std::to_string(lastRead);
            add(FindingCode::kKeyAfterListEnd,
                "the key " + line.name + " is never read: the numbered entries end before it, where key " +
                    end + " " + HowMissing(RawValue(file, section, end)));
        }
    }
}

}  // namespace zs::zemcmp
