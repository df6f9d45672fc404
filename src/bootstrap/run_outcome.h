// How a run of setup.exe ends: where in the start-up sequence (its phase), with which exit status and with
// which message, if any. The start-up sequence decides this once; setup.exe shows the message and the media
// tool predicts it.
#pragma once

#include <optional>
#include <string>

#include "bootstrap/exit_status.h"

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

// A message box of the run: one of setup.exe's fixed English texts, or a string of the resource library with
// "%1" filled when there is an argument.
struct RunMessage {
    const char* fixedText = nullptr;
    int stringId = 0;
    std::optional<std::string> argument;
    MessageIcon icon = MessageIcon::kStop;
};

// The end of a run that stops before the main module has run, or is cancelled; also the report of a
// clean-up that could not put the temporary directory back.
struct RunEnd {
    RunPhase phase = RunPhase::kResourceLibrary;
    int exitStatus = kExitStopped;
    std::optional<RunMessage> message;  // nothing: the run ends without a message
    bool restoreCursor = true;          // the saved cursor is made current before the message
};

}  // namespace zs::bootstrap
