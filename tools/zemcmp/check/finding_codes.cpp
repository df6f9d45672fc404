#include "check/finding_codes.h"

namespace zs::zemcmp {
namespace {

using C = FindingCode;
constexpr Severity E = Severity::kError;
constexpr Severity W = Severity::kWarning;
constexpr Severity N = Severity::kNote;

// In the order of FindingCode.
constexpr FindingKind kKinds[] = {
    {C::kMediumUnreadable, "medium-unreadable", E, "the medium directory cannot be read"},
    {C::kCheckFailed, "check-failed", E, "the check itself could not read or decode a file of the medium"},
    {C::kSetupProgramMissing, "setup-program-missing", E,
     "no setup.exe beside SETUP.LST: there is nothing to start"},
    {C::kSetupProgramUnloadable, "setup-program-unloadable", E,
     "setup.exe is no program Windows starts (empty, cut, damaged)"},
    {C::kResourceLibraryMissing, "resource-library-missing", E,
     "no ZSRES.DLL beside setup.exe: it stops at once"},
    {C::kResourceLibraryUnloadable, "resource-library-unloadable", E,
     "ZSRES.DLL cannot be loaded by this setup.exe (not a library of its machine, empty, cut, damaged)"},
    {C::kResourceLibraryWithoutSelectDialog, "resource-library-without-select-dialog", E,
     "ZSRES.DLL has no dialog template 105: "
     "the Select Language dialog cannot open and the run ends as cancelled"},
    {C::kResourceLibraryWithoutWaitDialog, "resource-library-without-wait-dialog", W,
     "ZSRES.DLL has no dialog template 103: no please-wait window is shown"},
    {C::kResourceLibraryWithoutStrings, "resource-library-without-strings", W,
     "ZSRES.DLL lacks the catalogue or messages of the English block: setup.exe shows empty texts"},
    {C::kResourceLibraryHook, "resource-library-hook", W,
     "ZSRES.DLL's GetHookName may hand the run over to another program: "
     "the prediction is of a run without it"},
    {C::kUnsignedImage, "unsigned-image", N, "setup.exe or ZSRES.DLL carries no Authenticode signature"},
    {C::kFileNameCase, "file-name-case", N, "a file is found only under a name in another case"},
    {C::kFileNameCaseTwins, "file-name-case-twins", W, "several names on the medium differ only in case"},
    {C::kFileNameNotWindows, "file-name-not-windows", W,
     "a file's name is one Windows cannot hold: setup.exe never finds it"},
    {C::kWorkstationRun, "workstation-run", N,
     "ADMIN.INF makes every run from this directory a workstation run"},
    {C::kValueCut, "value-cut", W, "a value is longer than setup.exe's buffer for it and is read cut"},
    {C::kIniByteOrderMark, "ini-byte-order-mark", W, "a byte-order mark changes how the file is read"},
    {C::kIniUnmappableCharacter, "ini-unmappable-character", W,
     "a character of a UTF-16 file that code page 1252 cannot hold reads as \"?\""},
    {C::kIniHeaderWithoutBracket, "ini-header-without-bracket", N, "a section header without its \"]\""},
    {C::kIniTextAfterHeader, "ini-text-after-header", N, "text after a section header's \"]\" is ignored"},
    {C::kIniEmptySectionName, "ini-empty-section-name", W, "a section header \"[]\" names an empty section"},
    {C::kIniDuplicateSection, "ini-duplicate-section", W, "a section stands twice: only the first is read"},
    {C::kIniKeyBeforeFirstSection, "ini-key-before-first-section", W,
     "a key line above the first section header is never read"},
    {C::kIniLineWithoutEquals, "ini-line-without-equals", N,
     "a line that is no header, comment or key is ignored"},
    {C::kIniEmptyKeyName, "ini-empty-key-name", W, "a line \"=value\" names an empty key"},
    {C::kIniDuplicateKey, "ini-duplicate-key", W, "a key stands twice in a section: only the first is read"},
    {C::kIniNameCase, "ini-name-case", W,
     "a name equals an earlier one but for the case of a letter beyond ASCII: the two are not one"},
    {C::kIniNulByte, "ini-nul-byte", W, "a NUL byte ends the name or value it stands in"},
    {C::kIniCtrlZ, "ini-ctrl-z", N, "a Ctrl-Z reads as a blank"},
    {C::kIniControlCharacter, "ini-control-character", W, "a control character is part of a name or value"},
    {C::kIniCrOnlyLineEnds, "ini-cr-only-line-ends", N, "lines end with CR alone"},
    {C::kIniLongValue, "ini-long-value", W, "a value of 65536 characters or more"},
    {C::kKeyNotRead, "key-not-read", N, "setup.exe does not read this key"},
    {C::kKeyLeadingZero, "key-leading-zero", W,
     "numbered keys are read without leading zeros: this one never is"},
    {C::kKeyAfterListEnd, "key-after-list-end", W, "a numbered key after the end of its list is never read"},
    {C::kListFileMissing, "list-file-missing", E, "no SETUP.LST beside setup.exe"},
    {C::kListFileUnreadable, "list-file-unreadable", W,
     "SETUP.LST cannot be read: every value reads as missing"},
    {C::kFilterCodeRedirect, "filter-code-redirect", E,
     "the filter code starts with \"0\": setup.exe sends the user to SETUPKRN.EXE"},
    {C::kFilterCodeMissing, "filter-code-missing", E,
     "the filter code ([SetupLang] key 0) is missing or empty"},
    {C::kLanguageEntry1Missing, "language-entry-1-missing", E,
     "the first language entry ([SetupLang] key 1) is missing or empty"},
    {C::kLanguageEntryWithoutComma, "language-entry-without-comma", E, "a language entry has no comma"},
    {C::kLanguageNameEmpty, "language-name-empty", W, "a language entry has no name before its comma"},
    {C::kLanguageUnknown, "language-unknown", W, "a language name is not in the catalogue of ZSRES.DLL"},
    {C::kLanguageCodeCase, "language-code-case", W, "a code text holds the filter code only in another case"},
    {C::kLanguageOfferedBySubstring, "language-offered-by-substring", W,
     "a catalogue language is offered only because its name occurs inside the enabled names"},
    {C::kEditionWordReadAsLanguage, "edition-word-read-as-language", W,
     "with 99 language entries, the edition word (key 100) is read as a language entry"},
    {C::kEditionWordCase, "edition-word-case", W, "the edition word holds \"Standard\" only in another case"},
    {C::kAppNameMissing, "app-name-missing", E, "[StartUp] AppName is missing"},
    {C::kAppNameEmpty, "app-name-empty", W, "[StartUp] AppName is empty"},
    {C::kTmpDirSizeMissing, "tmp-dir-size-missing", E, "[StartUp] TmpDirSize is missing"},
    {C::kTmpDirSizeNoDigits, "tmp-dir-size-no-digits", W, "TmpDirSize has no digits: 0 bytes are required"},
    {C::kTmpDirSizeNotANumber, "tmp-dir-size-not-a-number", W, "only the leading digits of TmpDirSize count"},
    {C::kTmpDirSizeNegative, "tmp-dir-size-negative", W, "TmpDirSize is negative: any free space passes"},
    {C::kTmpDirSizeTooLarge, "tmp-dir-size-too-large", W, "TmpDirSize is beyond what setup.exe can read"},
    {C::kNoLanguageOffered, "no-language-offered", E,
     "the Select Language list is empty: the user can only end setup (exit status 1)"},
    {C::kLocationProfileUnused, "location-profile-unused", N,
     "ZSPROFIL.INI is on the medium, but location mode is off"},
    {C::kLocationProfileMissing, "location-profile-missing", E,
     "location mode without ZSPROFIL.INI: the list is empty and the user can only end setup"},
    {C::kLocationProfileEmpty, "location-profile-empty", E,
     "ZSPROFIL.INI has no sections: the list is empty and the user can only end setup"},
    {C::kLocationNameMissing, "location-name-missing", E,
     "a location has no \"Name\": the list fails as a whole and the run ends as cancelled"},
    {C::kLocationSectionNameLong, "location-section-name-long", W,
     "a location's section name is longer than 127 characters: its values are not found when it is chosen"},
    {C::kLocationLanguageUnmatched, "location-language-unmatched", W,
     "a location's setup language is in no offered language: the run goes on in English"},
    {C::kLocationLanguageEmpty, "location-language-empty", W,
     "a location's setup language is empty: the main module gets an empty language name"},
    {C::kTmpDirNameMissing, "tmp-dir-name-missing", E, "[StartUp] TmpDirName is missing in a local run"},
    {C::kTmpDirNameUnusable, "tmp-dir-name-unusable", E, "TmpDirName names no directory that can be made"},
    {C::kTmpDirNotDirectory, "tmp-dir-not-directory", E,
     "TmpDirName names a file or a device: setup.exe stops before it stages anything"},
    {C::kTmpDirIsMedium, "tmp-dir-is-medium", E,
     "TmpDirName is the medium's own directory: setup.exe stops before it stages anything"},
    {C::kTmpDirRelative, "tmp-dir-relative", W,
     "TmpDirName is no full path: it is made in the directory that is current when setup.exe starts"},
    {C::kTmpDirShared, "tmp-dir-shared", N,
     "TmpDirName names a drive or a directory of other files: files in the way are set aside and put back"},
    {C::kStartUpListEmpty, "start-up-list-empty", E, "no start-up file entry applies"},
    {C::kStartUpListEmptyInWorkstationRun, "start-up-list-empty-in-workstation-run", W,
     "every start-up entry is marked \",1\": a workstation run from this medium stops"},
    {C::kStartUpEntryNotPlain, "start-up-entry-not-plain", E,
     "a start-up entry is no plain file name (a path, \".\", \"..\" or a device)"},
    {C::kStartUpEntryRepeated, "start-up-entry-repeated", W, "two start-up entries name the same file"},
    {C::kStartUpEntryDotName, "start-up-entry-dot-name", W,
     "a start-up file whose name starts with \".\" is left behind with the temporary directory"},
    {C::kStartUpEntryTrailingDotOrBlank, "start-up-entry-trailing-dot-or-blank", N,
     "Windows drops the trailing dots and blanks of a start-up file's name"},
    {C::kStartUpEntryShortName, "start-up-entry-short-name", W,
     "a start-up entry has the form of a short 8.3 alias that Windows may find and the check cannot know"},
    {C::kStartUpMarkIgnored, "start-up-mark-ignored", W, "only a \"1\" right after the comma marks an entry"},
    {C::kStartUpMarkUnknown, "start-up-mark-unknown", N, "what follows an entry's comma means nothing"},
    {C::kCompressedNameDependsOnDirectory, "compressed-name-depends-on-directory", W,
     "a start-up file name without a dot: its compressed name depends on the dots in the medium's path"},
    {C::kStartUpFileMissing, "start-up-file-missing", E,
     "neither a start-up file nor its compressed name is on the medium"},
    {C::kStartUpFileUnreadable, "start-up-file-unreadable", E, "a start-up file cannot be opened"},
    {C::kStartUpFileDamaged, "start-up-file-damaged", E, "a compressed start-up file does not expand"},
    {C::kStartUpFileCompressedUnderPlainName, "start-up-file-compressed-under-plain-name", W,
     "a file under its plain name is in the compressed format: it is copied, not expanded"},
    {C::kStartUpFileBothCopies, "start-up-file-both-copies", W,
     "both a start-up file and its compressed name are on the medium: the plain one is used"},
    {C::kStartUpFileNotExpanded, "start-up-file-not-expanded", W,
     "a workstation run finds only the compressed copy: nothing is expanded"},
    {C::kStartUpFileSealMismatch, "start-up-file-seal-mismatch", E,
     "a start-up file as staged is not what its seal says (damaged, or a value that is no seal)"},
    {C::kStartUpFilesUnsealed, "start-up-files-unsealed", N,
     "start-up files without a seal: setup.exe cannot tell whether they are damaged"},
    {C::kSealOfUnlistedFile, "seal-of-unlisted-file", W,
     "a seal names no start-up file of the list: setup.exe ignores it"},
    {C::kMainModuleMissing, "main-module-missing", E, "no _SETUP.EXE where setup.exe starts it"},
    {C::kMainModuleCannotStart, "main-module-cannot-start", E, "_SETUP.EXE is no program Windows starts"},
    {C::kMainModuleMachine, "main-module-machine", W,
     "_SETUP.EXE is a 64-bit program: it starts only on 64-bit Windows"},
};

constexpr size_t kKindCount = sizeof kKinds / sizeof kKinds[0];
static_assert(kKindCount == static_cast<size_t>(FindingCode::kMainModuleMachine) + 1,
              "one entry per finding code");

constexpr bool InCodeOrder() {
    for (size_t i = 0; i < kKindCount; ++i) {
        if (static_cast<size_t>(kKinds[i].code) != i) return false;
    }
    return true;
}
static_assert(InCodeOrder(), "the table stands in the order of FindingCode");

}  // namespace

const char* SeverityName(Severity severity) {
    switch (severity) {
        case Severity::kError:
            return "error";
        case Severity::kWarning:
            return "warning";
        case Severity::kNote:
            return "note";
    }
    return "note";
}

const FindingKind& KindOf(FindingCode code) {
    return kKinds[static_cast<size_t>(code)];
}

const FindingKind* FindingKinds() {
    return kKinds;
}

size_t FindingKindCount() {
    return kKindCount;
}

}  // namespace zs::zemcmp
