#include "check_medium.h"

#include "bootstrap/language_filter.h"
#include "bootstrap/list_file.h"
#include "bootstrap/start_up_rules.h"
#include "check_context.h"
#include "check_shipped_strings.h"
#include "compress/file_handle.h"
#include "output_names.h"
#include "reslib/resource_ids.h"

namespace zs::zemcmp {
namespace {

constexpr char kSetupProgramName[] = "SETUP.EXE";
// Longer than any line of a list file, so that a value read with it is never cut.
constexpr size_t kUncutBufferSize = size_t{1} << 24;

// ZSRES.DLL and the program itself lie beside the list file.
void CheckProgramFiles(CheckContext& context) {
    MediumFile library = FindOnMedium(context, bootstrap::kResourceLibraryName);
    if (!library.IsFile()) {
        context.report
            .Add(Severity::kError, "resource-library-missing",
                 std::string(library.Exists() ? "not a file" : "not on the medium") +
                     ": setup.exe stops at once, before it reads anything")
            .At(bootstrap::kResourceLibraryName)
            .Shows(MessageSource::kFixedText, 0, kMissingLibraryMessage);
    }
    MediumFile program = FindOnMedium(context, kSetupProgramName);
    if (!program.IsFile()) {
        context.report
            .Add(Severity::kError, "setup-program-missing",
                 std::string(program.Exists() ? "not a file" : "not on the medium") +
                     ": there is no setup program to start")
            .At(kSetupProgramName);
    }
}

// False when setup.exe cannot get past the list file at all.
bool CheckListFilePresent(CheckContext& context, const MediumFile& listFile) {
    if (!listFile.Exists()) {
        context.report.Add(Severity::kError, "list-file-missing", "not on the medium: setup.exe stops")
            .At(bootstrap::kListFileName)
            .Shows(MessageSource::kEnglishBlock, EnglishMessageId(IDS_FILE_NOT_FOUND),
                   EnglishMessage(IDS_FILE_NOT_FOUND, bootstrap::kListFileName));
        return false;
    }
    OpenFile file;
    std::string problem;
    if (!listFile.IsFile() || !OpenForReading(listFile.path, &file, &problem)) {
        problem = listFile.IsFile() ? "cannot be read (" + problem + ")" : "not a file";
        // setup.exe finds the name, but every value reads as missing, starting with the filter code.
        context.report
            .Add(Severity::kError, "list-file-unreadable",
                 problem + ": setup.exe reads no value from it and stops at the filter code")
            .At(bootstrap::kListFileName)
            .Shows(MessageSource::kEnglishBlock, EnglishMessageId(IDS_LIST_CORRUPTED),
                   EnglishMessage(IDS_LIST_CORRUPTED));
        return false;
    }
    // Windows' profile reader takes a file with a UTF-8 or UTF-16 big-endian byte-order mark for ANSI text,
    // so the mark hides the first section header (it reads UTF-16 little-endian files with their mark).
    unsigned char start[3] = {};
    long got = codec::ReadHandle(file.handle(), start, sizeof start);
    bool utf8Mark = got == 3 && start[0] == 0xEF && start[1] == 0xBB && start[2] == 0xBF;
    bool utf16Mark = got >= 2 && start[0] == 0xFE && start[1] == 0xFF;
    if (utf8Mark || utf16Mark) {
        context.report
            .Add(Severity::kWarning, "list-file-encoding",
                 std::string("the file starts with a ") + (utf8Mark ? "UTF-8" : "UTF-16 big-endian") +
                     " byte-order mark: the profile reader takes the file for ANSI text, so the mark hides "
                     "the first section header (or the whole file); save it as plain ANSI text")
            .At(bootstrap::kListFileName);
    }
    return true;
}

void CheckInstallationMode(CheckContext& context) {
    context.workstationRun = FindOnMedium(context, bootstrap::kAdminInfName).Exists();
    if (!context.workstationRun) return;
    context.report
        .Add(Severity::kNote, "workstation-run",
             std::string(bootstrap::kAdminInfName) + " lies beside " + bootstrap::kListFileName +
                 ": every run from this directory is a workstation run: nothing is copied or expanded, "
                 "entries marked \",1\" are skipped and _SETUP.EXE is started where it lies")
        .At(bootstrap::kAdminInfName);
}

}  // namespace

MediumFile FindOnMedium(CheckContext& context, const std::string& name) {
    MediumFile file = context.medium.Find(name);
    if (!context.namesNoted.insert(bootstrap::AsciiUpperCase(name)).second) return file;
    if (file.caseDiffers) {
        context.report
            .Add(Severity::kNote, "file-name-case",
                 "the name is written " + file.actualName +
                     " on the medium: Windows finds it all the same, a case-sensitive file system would not")
            .At(name);
    }
    if (!file.otherCases.empty()) {
        std::string names = file.actualName;
        for (const std::string& other : file.otherCases) names += ", " + other;
        context.report
            .Add(Severity::kWarning, "file-name-case-twins",
                 "the medium holds several names that Windows takes for one file, " + name + ": " + names +
                     "; which of them a copy of the medium keeps is uncertain (this check uses " +
                     file.actualName + ")")
            .At(name);
    }
    return file;
}

std::string RawValue(const bootstrap::IniFileReader& reader, const char* section, const char* key,
                     const char* defaultValue) {
    return reader.GetString(section, key, defaultValue, kUncutBufferSize);
}

bool HasKey(const bootstrap::IniFileReader& reader, const char* section, const char* key) {
    for (const std::string& name : reader.KeyNames(section)) {
        if (SameFileName(name, key)) return true;
    }
    return false;
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

CheckReport CheckMedium(const std::string& directory) {
    CheckReport report;
    report.directory = directory;
    MediumDirectory medium;
    std::string problem;
    if (!medium.Open(directory, &problem)) {
        report.Add(Severity::kError, "medium-unreadable", directory + ": " + problem);
        return report;
    }

    MediumFile listFileOnMedium = medium.Find(bootstrap::kListFileName);
    bootstrap::IniFileReader listFile(
        listFileOnMedium.Exists() ? listFileOnMedium.path : JoinPath(directory, bootstrap::kListFileName));
    CheckContext context(medium, listFile, report);

    CheckProgramFiles(context);
    FindOnMedium(context, bootstrap::kListFileName);
    if (!CheckListFilePresent(context, listFileOnMedium)) return report;
    CheckInstallationMode(context);

    CheckLanguages(context);
    CheckEditionWord(context);
    CheckLanguageDialog(context);
    CheckLocationProfile(context);
    CheckStartUpValues(context);
    CheckStartUpFiles(context);
    return report;
}

}  // namespace zs::zemcmp
