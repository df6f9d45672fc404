// How a run of setup.exe ends: where in the start-up sequence (its phase), with which exit status and with
// which message, if any. The start-up sequence decides this once; setup.exe shows the message and the media
// tool predicts it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "language/messages.h"
#include "startup/exit_status.h"

namespace zs::bootstrap {

// The steps of the start-up sequence, in order; a run that stops names the step it stopped in.
enum class RunPhase {
    kResourceLibrary,     // loading ZSRES.DLL beside the program
    kHook,                // a hand-off to the program that the library names
    kWindowsDirectory,    // the Windows directory must be on a drive
    kListFile,            // SETUP.LST beside the program
    kLanguages,           // the filter code and the language entries
    kApplicationName,     // "AppName"
    kSpaceRequirement,    // "TmpDirSize"
    kFreeSpace,           // free space on drive C:
    kSelection,           // the Select Language dialog
    kTemporaryDirectory,  // ADMIN.INF, "TmpDirName" and the directory itself
    kStaging,             // the start-up files
    kLaunch,              // starting _SETUP.EXE
    kCleanUp,             // putting the temporary directory back
    kRestart,             // after the main module: the restart request
};

// A stable lower-case name of the phase ("list-file"), for reports.
const char* RunPhaseName(RunPhase phase);

enum class MessageIcon { kExclamation, kStop };

// "exclamation" or "stop".
const char* MessageIconName(MessageIcon icon);

// A message box of the run: one of setup.exe's fixed English texts, or a message of a language block of the
// resource library with "%1" filled when there is an argument (the step's own text, valid while the stop is
// handled).
struct RunMessage {
    const char* fixedText = nullptr;
    int block = 0;   // the block's base string ID (IDS_BLOCK_BASE), for a message of the library
    int offset = 0;  // the message's offset in its block (IDS_FILE_NOT_FOUND, ...)
    std::optional<std::string_view> argument;
    MessageIcon icon = MessageIcon::kStop;

    int StringId() const { return language::MessageId(block, offset); }
};

// What the step found that ends the run.
enum class StopReason {
    kResourceLibraryNotLoaded,    // ZSRES.DLL beside the program does not load (file: ZSRES.DLL)
    kWindowsDirectoryNotOnDrive,  // the Windows directory is not on a drive
    kListFileMissing,             // file: SETUP.LST
    kFilterCodeRedirect,          // the filter code begins with "0"
    kFilterCodeEmpty,             // the filter code is missing or empty
    kLanguageEntryMissing,        // the language entries end at once: key 1 is missing or empty
    kLanguageEntryWithoutComma,   // a language entry has no comma
    kValueMissing,                // a value of [StartUp] reads as missing
    kNotEnoughSpace,              // drive C: has no more free bytes than TmpDirSize asks for
    kNoLanguageChosen,            // a quiet run that has no language to take
    kNothingOffered,              // the Select Language (or Location) list is empty
    kLocationWithoutName,         // a location without a name fails the whole list (section: that location)
    kCancelled,                   // the selection ended without a choice
    kTargetNoFullPath,            // TmpDirName gives no full path
    kTargetInUse,                 // another run holds the target directory
    kTargetNotLocked,             // the target directory's lock cannot be made
    kTargetNotDirectory,          // the target exists but is no directory (a file, a device)
    kTargetIsSource,              // the target is the program's own directory
    kTargetNotCreated,            // the target cannot be created
    kTargetNameTooLong,           // a file in the way could not be set aside and put back (file: its path)
    kLogFileInTheWay,             // a start-up file would be staged onto the log file (file: its path)
    kNoStartUpFile,               // no start-up entry 1
    kEveryStartUpFileSkipped,     // a workstation run skips every entry before the list ends
    kEntryNotPlain,               // a start-up entry is no plain file name
    kStartUpFileMissing,          // neither the file nor its compressed name is in the source directory
    kStartUpFileUnreadable,       // the source cannot be opened
    kStartUpFileNotWritten,       // the destination cannot be made
    kStartUpFileNotCopied,        // the copy or the expansion failed
    kStartUpFileSealBroken,       // the file as staged is not what its seal says (section: the seals, key:
                                  // the file's name, entry: the seal as read)
    kMainModuleNotStarted,        // file: _SETUP.EXE
    kTargetNotPutBack,            // the clean-up left files behind (file: the target directory)
};

// Why the run ends where it does, as the step that ends it saw it: the media tool reports from this and
// never works it out again. Fields that do not apply stay empty; the texts are the step's own and valid while
// the stop is handled.
struct RunCause {
    StopReason reason = StopReason::kResourceLibraryNotLoaded;
    std::string_view profile;               // the profile file that the section and key are of
    std::string_view section;               // the section read, or the location
    std::string_view key;                   // the key read
    std::optional<std::string_view> entry;  // the value as the step read it (cut to its buffer)
    std::string_view fileName;              // the file or directory the step is about
};

// The end of a run that stops before the main module has run, or is cancelled; also the report of a
// clean-up that could not put the temporary directory back.
struct RunEnd {
    RunPhase phase = RunPhase::kResourceLibrary;
    int exitStatus = kExitStopped;
    std::optional<RunMessage> message;  // nothing: the run ends without a message
    bool restoreCursor = true;          // the saved cursor is made current before the message
    RunCause cause;
};

}  // namespace zs::bootstrap
