// The single values of [StartUp]: AppName, TmpDirSize and TmpDirName.
#include <algorithm>
#include <cstdint>
#include <string>

#include "bootstrap/free_space_rule.h"
#include "bootstrap/list_file.h"
#include "bootstrap/start_up_rules.h"
#include "check_context.h"
#include "check_shipped_strings.h"
#include "reslib/resource_ids.h"

namespace zs::zemcmp {
namespace {

using bootstrap::kStartUpSection;

// Last components of directories that hold files of their own: setup.exe stages its files into such a
// directory, replacing files of the same names, and deletes them again when it is done.
constexpr const char* kSharedDirectoryNames[] = {"WINDOWS",      "WINNT",  "SYSTEM",        "SYSTEM32",
                                                 "TEMP",         "TMP",    "PROGRAM FILES", "PROGRA~1",
                                                 "MY DOCUMENTS", "DESKTOP"};

struct StartUpValue {
    const char* key;
    const char* code;   // the key in the codes of its findings
    std::string raw;    // as written, never cut
    std::string value;  // as setup.exe reads it
    bool present;       // the key is written in the file

    Finding& Report(CheckContext& context, Severity severity, const char* code,
                    const std::string& text) const {
        Finding& finding = context.report.Add(severity, std::string(this->code) + "-" + code, text)
                               .At(bootstrap::kListFileName, kStartUpSection, key);
        if (present) finding.WithValue(raw);
        return finding;
    }
};

StartUpValue ReadValue(CheckContext& context, const char* key, const char* code,
                       std::string (*read)(const bootstrap::ProfileReader&)) {
    return {key, code, RawValue(context.listFile, kStartUpSection, key, bootstrap::kNoEntry),
            read(context.listFile), HasKey(context.listFile, kStartUpSection, key)};
}

// The missing marker, and the cut that setup.exe's 32-byte buffer makes. False when the value is missing.
bool CheckPresentAndWhole(CheckContext& context, const StartUpValue& value, MessageSource source,
                          const std::string& consequence) {
    if (bootstrap::IsMissingEntry(value.value)) {
        std::string what = value.present ? std::string("the value is \"") + bootstrap::kNoEntry +
                                               "\", which setup.exe takes for a missing key"
                                         : "the key is missing";
        value.Report(context, Severity::kError, "missing", what + ": " + consequence)
            .Shows(source, EnglishMessageId(IDS_LIST_CORRUPTED), EnglishMessage(IDS_LIST_CORRUPTED));
        return false;
    }
    if (value.raw.size() > value.value.size()) {
        value.Report(context, Severity::kWarning, "cut",
                     "the value is longer than " + std::to_string(bootstrap::kStartUpValueBufferSize - 1) +
                         " characters: setup.exe reads only " + Quoted(value.value));
    }
    return true;
}

void CheckAppName(CheckContext& context) {
    StartUpValue appName = ReadValue(context, bootstrap::kAppNameKey, "app-name", bootstrap::ReadAppName);
    if (!CheckPresentAndWhole(context, appName, MessageSource::kEnglishBlock, "setup.exe stops")) return;
    if (appName.value.empty()) {
        appName.Report(context, Severity::kWarning, "empty",
                       "the application name is empty: the please-wait window's caption starts with nothing "
                       "and the main module's restart request is looked for under an empty name");
    }
}

// Whether decimal digits exceed what a signed 32-bit number holds, where atol stops counting.
bool ExceedsInt32(const std::string& digits, bool negative) {
    size_t first = std::min(digits.find_first_not_of('0'), digits.size());
    std::string significant = digits.substr(first);
    const std::string limit = negative ? "2147483648" : "2147483647";
    return significant.size() > limit.size() || (significant.size() == limit.size() && significant > limit);
}

// What atol makes of the text, compared with what the author probably meant.
void CheckTmpDirSize(CheckContext& context) {
    StartUpValue size =
        ReadValue(context, bootstrap::kTmpDirSizeKey, "tmp-dir-size", bootstrap::ReadTmpDirSize);
    if (!CheckPresentAndWhole(context, size, MessageSource::kEnglishBlock, "setup.exe stops")) return;

    // Split as atol reads it: white space, a sign, digits, and whatever follows.
    const std::string& text = size.value;
    size_t start = std::min(text.find_first_not_of(" \t\n\v\f\r"), text.size());
    bool negative = start < text.size() && text[start] == '-';
    if (start < text.size() && (text[start] == '+' || negative)) ++start;
    size_t digitsEnd = std::min(text.find_first_not_of("0123456789", start), text.size());
    std::string digits = text.substr(start, digitsEnd - start);
    int32_t bytes = bootstrap::ParseRequiredBytes(text);
    std::string readAs = "setup.exe reads it as " + std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
    if (digits.empty()) {
        size.Report(context, Severity::kWarning, "no-digits",
                    "the size has no digits: setup.exe requires 0 bytes of free space");
    } else if (digitsEnd != text.size()) {
        size.Report(context, Severity::kWarning, "not-a-number",
                    "only the leading digits of the size count: " + readAs +
                        " (write the number of bytes alone, without units or separators)");
    } else if (negative && bytes != 0) {
        size.Report(context, Severity::kWarning, "negative",
                    "the size is negative: any free space passes setup.exe's test");
    } else if (ExceedsInt32(digits, negative)) {
        size.Report(context, Severity::kWarning, "too-large",
                    "the size is larger than the largest number setup.exe can read: " + readAs);
    }
}

bool IsSharedDirectory(std::string path) {
    while (!path.empty() && (path.back() == '\\' || path.back() == '/')) path.pop_back();
    if (path.empty() || (path.size() == 2 && path[1] == ':')) return true;  // the root of a drive
    size_t slash = path.find_last_of("\\/:");
    std::string last = slash == std::string::npos ? path : path.substr(slash + 1);
    for (const char* shared : kSharedDirectoryNames) {
        if (SameFileName(last, shared)) return true;
    }
    return false;
}

void CheckTmpDirName(CheckContext& context) {
    StartUpValue name =
        ReadValue(context, bootstrap::kTmpDirNameKey, "tmp-dir-name", bootstrap::ReadTmpDirName);
    // A workstation run stages nothing and never uses the temporary directory.
    if (context.workstationRun) return;
    if (!CheckPresentAndWhole(context, name, MessageSource::kChosenBlock,
                              "a local run has no directory to stage the start-up files into, and setup.exe "
                              "stops after the language is chosen")) {
        return;
    }
    const std::string& path = name.value;
    if (path.empty()) {
        name.Report(context, Severity::kError, "empty",
                    "the temporary directory's name is empty: setup.exe cannot create it and stops after the "
                    "language is chosen")
            .Shows(MessageSource::kChosenBlock, EnglishMessageId(IDS_TEMP_DIR_FAILED),
                   EnglishMessage(IDS_TEMP_DIR_FAILED));
        return;
    }
    if (path.back() == '\\' || path.back() == '/') {
        name.Report(context, Severity::kWarning, "trailing-backslash",
                    "the temporary directory is written with a trailing backslash: setup.exe adds one of its "
                    "own, and creating the directory can fail with two");
    }
    if (IsSharedDirectory(path)) {
        name.Report(context, Severity::kWarning, "shared",
                    "the temporary directory names a drive or a directory that holds other files: setup.exe "
                    "stages its files there, replacing files of the same names, and deletes them again when "
                    "the main setup module has ended");
    } else if (!bootstrap::IsDriveLetterDirectory(path)) {
        name.Report(
            context, Severity::kWarning, "relative",
            "the temporary directory is not a full path with a drive letter (such as C:\\SETUPTMP): it "
            "is made in whatever directory is current when setup.exe starts, often the medium itself");
    }
}

}  // namespace

void CheckStartUpValues(CheckContext& context) {
    CheckAppName(context);
    CheckTmpDirSize(context);
    CheckTmpDirName(context);
}

}  // namespace zs::zemcmp
