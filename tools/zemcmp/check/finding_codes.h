// Every kind of finding `zemcmp check` reports, in one table: its stable code, its severity and a one-line
// meaning. The JSON report, the media authors' guide (docs/media-authors.md, checked against `zemcmp check
// --codes` by a test) and the tests use these codes; none is assembled at run time.
#pragma once

#include <cstddef>

namespace zs::zemcmp {

enum class Severity {
    kError,    // setup.exe would stop (with the message given, or silently), or never get to the main module
    kWarning,  // setup.exe would go on, but silently do something that is probably not meant
    kNote,     // worth knowing; changes nothing in what setup.exe does
};

const char* SeverityName(Severity severity);

enum class FindingCode {
    // The medium and its programs.
    kMediumUnreadable,
    kCheckFailed,
    kSetupProgramMissing,
    kSetupProgramUnloadable,
    kResourceLibraryMissing,
    kResourceLibraryUnloadable,
    kResourceLibraryWithoutSelectDialog,
    kResourceLibraryWithoutWaitDialog,
    kResourceLibraryWithoutStrings,
    kResourceLibraryHook,
    kUnsignedImage,
    kFileNameCase,
    kFileNameCaseTwins,
    kFileNameNotWindows,
    kWorkstationRun,
    // How the profile reader reads SETUP.LST and ZSPROFIL.INI.
    kValueCut,
    kIniByteOrderMark,
    kIniUnmappableCharacter,
    kIniHeaderWithoutBracket,
    kIniTextAfterHeader,
    kIniEmptySectionName,
    kIniDuplicateSection,
    kIniKeyBeforeFirstSection,
    kIniLineWithoutEquals,
    kIniEmptyKeyName,
    kIniDuplicateKey,
    kIniNameCase,
    kIniNulByte,
    kIniCtrlZ,
    kIniControlCharacter,
    kIniCrOnlyLineEnds,
    kIniLongValue,
    kKeyNotRead,
    kKeyLeadingZero,
    kKeyAfterListEnd,
    // The list file's checks and the languages.
    kListFileMissing,
    kListFileUnreadable,
    kFilterCodeRedirect,
    kFilterCodeMissing,
    kLanguageEntry1Missing,
    kLanguageEntryWithoutComma,
    kLanguageNameEmpty,
    kLanguageUnknown,
    kLanguageCodeCase,
    kLanguageOfferedBySubstring,
    kEditionWordReadAsLanguage,
    kEditionWordCase,
    kAppNameMissing,
    kAppNameEmpty,
    kTmpDirSizeMissing,
    kTmpDirSizeNoDigits,
    kTmpDirSizeNotANumber,
    kTmpDirSizeNegative,
    kTmpDirSizeTooLarge,
    // The Select Language dialog.
    kNoLanguageOffered,
    kLocationProfileUnused,
    kLocationProfileMissing,
    kLocationProfileEmpty,
    kLocationNameMissing,
    kLocationSectionNameLong,
    kLocationLanguageUnmatched,
    kLocationLanguageEmpty,
    // The temporary directory.
    kTmpDirNameMissing,
    kTmpDirNameUnusable,
    kTmpDirNotDirectory,
    kTmpDirIsMedium,
    kTmpDirRelative,
    kTmpDirShared,
    // The start-up files.
    kStartUpListEmpty,
    kStartUpListEmptyInWorkstationRun,
    kStartUpEntryNotPlain,
    kStartUpEntryRepeated,
    kStartUpEntryDotName,
    kStartUpEntryTrailingDotOrBlank,
    kStartUpEntryShortName,
    kStartUpMarkIgnored,
    kStartUpMarkUnknown,
    kCompressedNameDependsOnDirectory,
    kStartUpFileMissing,
    kStartUpFileUnreadable,
    kStartUpFileDamaged,
    kStartUpFileCompressedUnderPlainName,
    kStartUpFileBothCopies,
    kStartUpFileNotExpanded,
    kStartUpFileSealMismatch,
    kStartUpFilesUnsealed,
    kSealOfUnlistedFile,
    // The main module.
    kMainModuleMissing,
    kMainModuleCannotStart,
    kMainModuleMachine,
};

struct FindingKind {
    FindingCode code;
    const char* name;  // the code as reports show it, such as "start-up-file-missing"
    Severity severity;
    const char* meaning;  // one line
};

const FindingKind& KindOf(FindingCode code);
const FindingKind* FindingKinds();
size_t FindingKindCount();

}  // namespace zs::zemcmp
