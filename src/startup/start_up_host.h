// What the start-up sequence (start_up_sequence.h) needs from the world it runs in. setup.exe implements it
// with the real Win32 services (the resource library, the cursor and dialogs, GetPrivateProfileStringA,
// _access, the codec on real file handles, CreateProcess, the registry); the media tool implements it with
// stand-ins that read a medium directory as Windows would and predict what setup.exe would show.
//
// The sequence makes every decision: what is read with which default and buffer, in which order, what ends
// the run with which message, what is staged from where. The host only carries out single steps.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "language/language_choices.h"
#include "language/language_selection.h"
#include "profile/profile_reader.h"
#include "startup/language_filter.h"
#include "startup/restart_request.h"
#include "startup/run_outcome.h"
#include "startup/sha256.h"
#include "startup/start_up_entries.h"
#include "startup/target_directory_keeper.h"

namespace zs::bootstrap {

// One start-up file as the staging step hands it to the host.
struct StagedFile {
    std::string fileName;         // the entry's name as listed
    std::string sourcePath;       // the source directory and the plain name, or its compressed name
    std::string destinationPath;  // the target directory and the plain name
    bool compressed = false;      // the source is the compressed name: expand it, do not copy it
    bool workstationRun = false;  // nothing is written: the source only has to open
};

// The SHA-256 of a start-up file's contents as staged, for its seal (start_up_seals.h).
using ContentDigest = uint8_t[kSha256DigestSize];

enum class StageResult {
    kDone,
    kSourceUnreadable,   // the source cannot be opened for reading
    kDestinationFailed,  // the destination cannot be created (nor a file in its place set aside)
    kCopyFailed,         // the copy or the expansion reported a failure
};

// The lock that keeps a second run out of a temporary directory (target_directory_lock_win32.h).
enum class DirectoryLock {
    kTaken,   // this run holds it until the clean-up is done
    kInUse,   // another run holds it
    kFailed,  // the system would not make one
};

struct MainModuleStart {
    bool started = false;
    unsigned long errorCode = 0;  // the system's error code when it did not start
};

class StartUpHost {
  public:
    virtual ~StartUpHost() = default;

    // The program and its resource library.
    virtual std::string CommandLine() = 0;  // the text after the program's name
    virtual std::string ProgramPath() = 0;  // the running program's full path; empty when unknown
    virtual bool LoadResourceLibrary(const std::string& path) = 0;
    // What the library's GetHookName export returns; nullptr when it has none.
    virtual const char* HookText() = 0;
    virtual void StartHook(const std::string& command) = 0;
    // Makes the library the current resource module (and sets the dialog colours).
    virtual void UseResourceLibrary() = 0;
    // Puts the saved resource module back and frees the library.
    virtual void ReleaseResourceLibrary() = 0;
    // Leaves the library loaded (and current) until the process ends.
    virtual void KeepResourceLibrary() = 0;
    // A string of the library's table; nothing when it has no such string.
    virtual std::optional<std::string> LoadString(int id) = 0;

    // The machine and the medium.
    virtual std::optional<std::string> WindowsDirectory() = 0;
    virtual bool Exists(const std::string& path) = 0;
    // Whether an existing path is a directory (a file or a device is not).
    virtual bool IsDirectory(const std::string& path) = 0;
    virtual std::unique_ptr<ProfileReader> OpenProfile(const std::string& path) = 0;
    virtual long double FreeBytes(int drive) = 0;
    virtual std::optional<std::string> FullPath(const std::string& path) = 0;
    // A path as the file system compares names (target_file_system.h).
    virtual std::string FoldedPath(const std::string& path) = 0;
    virtual bool MakeDirectory(const std::string& path) = 0;

    // Before the target directory of a local or administrative run (a full path without its trailing
    // backslash) is looked at or created: one run at a time may use it.
    virtual DirectoryLock LockTargetDirectory(const std::string& directory) = 0;
    // The target directory (ending in a backslash), before anything is staged into it; `created`: this run
    // made it. The clean-up puts it back as it was found (target_directory_keeper.h).
    virtual void TakeOverTargetDirectory(const std::string& directory, bool created) = 0;
    // Before the first start-up file is staged: what would keep them from being staged and put back.
    virtual StagingObstacle CheckTargetDirectory(const std::vector<std::string>& fileNames) = 0;
    // With a digest (a seal names the file), the contents are hashed as they are written, from the bytes
    // already in memory, and the digest is filled when the file is staged (kDone).
    virtual StageResult StageFile(const StagedFile& file, ContentDigest* digest) = 0;
    // Puts the target directory back and releases its lock; returns what could not be put back.
    virtual std::vector<LeftBehind> CleanUpTargetDirectory() = 0;

    // The user.
    virtual void Log(const std::string& line) = 0;
    // From now on the log goes to this file (a full path), which is created when missing; an empty path
    // leaves the run without a log.
    virtual void SetLogFile(const std::string& path) = 0;
    virtual void ShowWaitCursor() = 0;
    virtual void RestoreCursor() = 0;
    // The Select Language dialog over the choices; location mode hands the chosen location's values on
    // through WriteHandOff.
    virtual language::LanguageSelection RunSelectionDialog(const language::LanguageChoices& choices) = 0;
    virtual void WriteHandOff(const char* key, const std::string& value) = 0;
    // The cancel record for an outside launcher.
    virtual void RecordCancel() = 0;
    virtual void ShowPleaseWait(const std::string& appName, int languageBase) = 0;
    virtual void ClosePleaseWait() = 0;
    virtual void ShowMessage(const RunEnd& end, const std::string& text) = 0;

    // The main module.
    // Starts `program` with the command line and, once it runs, waits for it to end, without a time limit;
    // `started` hears of the start (or of its failure) before the wait.
    virtual MainModuleStart RunMainModule(const std::string& program, const std::string& commandLine,
                                          const std::function<void(const MainModuleStart&)>& started) = 0;
    // The restart key of the application, read before the main module starts and after it has ended.
    virtual RestartKeyState ReadRestartKey(const std::string& appName) = 0;
    virtual void Restart() = 0;
    virtual void EndMessageLoop() = 0;

    // What the sequence found, for whoever keeps track of it: the media tool's findings.
    virtual void OnLanguageList(const std::string& /*filterCode*/, const LanguageList& /*list*/) {}
    virtual void OnEditionWord(const std::string& /*word*/, bool /*locationMode*/) {}
    virtual void OnStartUpValues(const std::string& /*appName*/, const std::string& /*tmpDirSize*/) {}
    virtual void OnChoices(const language::LanguageChoices* /*choices: nothing when the list failed*/) {}
    virtual void OnTargetDirectory(const std::string& /*tmpDirName*/, const std::string& /*target*/,
                                   bool /*workstationRun*/) {}
    virtual void OnStartUpFiles(const StartUpFileList& /*list*/, bool /*workstationRun*/) {}
    // Every stop, after its message (`text`, empty without one) and the clean-up of the target directory. The
    // media tool follows the sequence past a stop where it can, to report what would stop it next (true);
    // setup.exe always ends there.
    virtual bool ContinueAfterStop(const RunEnd& /*end*/, const std::string& /*text*/) { return false; }
};

}  // namespace zs::bootstrap
