#include "startup/start_up_sequence.h"

#include <cstdint>
#include <vector>

#include "base/format_string.h"
#include "language/catalogue.h"
#include "language/language_choices.h"
#include "language/location_profile.h"
#include "language/messages.h"
#include "reslib/resource_ids.h"
#include "startup/compressed_name.h"
#include "startup/file_name_rules.h"
#include "startup/fixed_messages.h"
#include "startup/free_space_rule.h"
#include "startup/hook_command.h"
#include "startup/language_filter.h"
#include "startup/list_file.h"
#include "startup/main_module_command_line.h"
#include "startup/start_up_entries.h"
#include "startup/start_up_rules.h"
#include "startup/start_up_seals.h"

namespace zs::bootstrap {
namespace {

constexpr int kDriveC = 3;
// The clean-up's message names at most this many files; the log names all.
constexpr size_t kLeftBehindInMessage = 10;

// A message of a quiet run as one log line: the icon's word and the text, its line breaks and tabs written
// as \n and \t.
std::string QuietMessageLine(MessageIcon icon, const std::string& text) {
    std::string line = std::string("Message (") + MessageIconName(icon) + "):";
    for (char c : text) {
        if (c == '\n') {
            line += "\\n";
        } else if (c == '\t') {
            line += "\\t";
        } else if (c != '\r') {
            line += c;
        }
    }
    return line;
}

// "C:\TMP\" and "C:\TMP" name one directory: it is created and looked at without the backslash, except the
// root of a drive.
std::string WithoutTrailingBackslash(std::string directory) {
    while (directory.size() > 3 && directory.back() == '\\') directory.pop_back();
    return directory;
}

std::string WithTrailingBackslash(std::string directory) {
    if (directory.empty() || directory.back() != '\\') directory += '\\';
    return directory;
}

RunCause Because(StopReason reason, std::string_view fileName = {}) {
    RunCause cause;
    cause.reason = reason;
    cause.fileName = fileName;
    return cause;
}

// A stop at a value of the list file.
RunCause AtListFile(StopReason reason, const char* section, std::string_view key,
                    std::optional<std::string_view> entry, std::string_view fileName = {}) {
    RunCause cause = Because(reason, fileName);
    cause.profile = kListFileName;
    cause.section = section;
    cause.key = key;
    cause.entry = entry;
    return cause;
}

}  // namespace

bool StartUpSequence::StopWithMessage(RunPhase phase, int block, int offset, const RunCause& cause,
                                      std::optional<std::string_view> argument) {
    RunEnd end;
    end.phase = phase;
    end.message = RunMessage{nullptr, block, offset, argument, MessageIcon::kStop};
    end.cause = cause;
    return Stop(end);
}

bool StartUpSequence::StopWithFixedText(RunPhase phase, const char* text, const RunCause& cause) {
    RunEnd end;
    end.phase = phase;
    end.message = RunMessage{text, 0, 0, std::nullopt, MessageIcon::kExclamation};
    // The fixed messages come before the cursor is changed, or (the redirect) leave it as it is.
    end.restoreCursor = false;
    end.cause = cause;
    return Stop(end);
}

bool StartUpSequence::StopWithoutMessage(RunPhase phase, int exitStatus, const RunCause& cause) {
    RunEnd end;
    end.phase = phase;
    end.exitStatus = exitStatus;
    end.cause = cause;
    return Stop(end);
}

std::string StartUpSequence::MessageText(const RunMessage& message) {
    std::string text = message.fixedText ? std::string(message.fixedText)
                                         : host_.LoadString(message.StringId()).value_or(std::string());
    return message.argument ? framework::FillArgument1(text, *message.argument) : text;
}

std::string StartUpSequence::Tell(const RunEnd& end) {
    if (!end.message) return std::string();
    std::string text = MessageText(*end.message);
    if (switches_.quiet) {
        Log(QuietMessageLine(end.message->icon, text));
    } else {
        host_.ShowMessage(end, text);
    }
    return text;
}

bool StartUpSequence::CleanUpTarget() {
    if (!targetTakenOver_) return true;
    targetTakenOver_ = false;
    const std::vector<LeftBehind> left = host_.CleanUpTargetDirectory();
    if (left.empty()) return true;
    std::string list;
    for (size_t i = 0; i < left.size(); ++i) {
        const std::string line = LeftBehindText(left[i]);
        Log("Not put back:" + line);
        if (i < kLeftBehindInMessage) list += line + "\n";
    }
    if (left.size() > kLeftBehindInMessage) {
        list += "and " + std::to_string(left.size() - kLeftBehindInMessage) + " more (see the setup log)\n";
    }
    RunEnd end;
    end.phase = RunPhase::kCleanUp;
    end.exitStatus = kExitNotPutBack;
    end.restoreCursor = false;
    end.message = RunMessage{kNotPutBackMessage, 0, 0, list, MessageIcon::kExclamation};
    end.cause = Because(StopReason::kTargetNotPutBack, targetDirectory_);
    Tell(end);
    return false;
}

bool StartUpSequence::Stop(const RunEnd& end) {
    if (!stopped_) {
        stopped_ = true;
        stopStatus_ = end.exitStatus;
    }
    if (pleaseWaitShown_) {
        host_.ClosePleaseWait();
        pleaseWaitShown_ = false;
    }
    if (end.restoreCursor) host_.RestoreCursor();
    const std::string text = Tell(end);
    CleanUpTarget();
    if (host_.ContinueAfterStop(end, text)) return false;
    if (libraryInUse_) {
        host_.ReleaseResourceLibrary();
        libraryInUse_ = false;
    }
    return true;
}

// The log file of /LOG=, made a full path before anything can change the current directory. A path that the
// log may not take (IsUsableLogPath) leaves the run without a log, as a path that cannot be opened does.
void StartUpSequence::UseLogFile(const std::string& path) {
    const std::optional<std::string> full = host_.FullPath(path);
    const bool usable = full && IsUsableLogPath(host_.FoldedPath(*full), host_.FoldedPath(sourceDirectory_));
    host_.SetLogFile(usable ? *full : std::string());
}

// A library may name another program that takes the run over. The library stays loaded, and nothing is shown
// or logged. A hook text that gives no command that fits is not started, but the run ends all the same: the
// library asked for a hand-off.
std::optional<int> StartUpSequence::HandOverToHook() {
    const char* text = host_.HookText();
    if (!text || !*text) return std::nullopt;
    std::optional<std::string_view> hook = BoundedHookText(text);
    std::optional<std::string> command = hook ? BuildHookCommand(*hook) : std::nullopt;
    if (command) host_.StartHook(*command);
    host_.KeepResourceLibrary();
    return command ? kExitCompleted : kExitStopped;
}

// The list file beside the program (languages, edition, application name, space requirement) and the free
// space on drive C:. Messages come from the English block: no language is chosen yet.
bool StartUpSequence::CheckListFile() {
    const std::string listFilePath = sourceDirectory_ + kListFileName;
    Log("Checking list file...");
    if (!host_.Exists(listFilePath) &&
        StopWithMessage(RunPhase::kListFile, IDS_ENGLISH_BASE, IDS_FILE_NOT_FOUND,
                        Because(StopReason::kListFileMissing, kListFileName), kListFileName)) {
        return false;
    }
    listFile_ = host_.OpenProfile(listFilePath);

    Log("Checking available languages:SETUPLANG");
    const std::string filterCode = ReadFilterCode(*listFile_);
    const FilterCodeKind filterKind = ClassifyFilterCode(filterCode);
    if (filterKind != FilterCodeKind::kUsable) {
        const bool redirect = filterKind == FilterCodeKind::kRedirect;
        const RunCause cause =
            AtListFile(redirect ? StopReason::kFilterCodeRedirect : StopReason::kFilterCodeEmpty,
                       kSetupLangSection, kFilterCodeKey, filterCode);
        if (redirect ? StopWithFixedText(RunPhase::kLanguages, kRedirectMessage, cause)
                     : StopWithMessage(RunPhase::kLanguages, IDS_ENGLISH_BASE, IDS_LIST_CORRUPTED, cause)) {
            return false;
        }
    }
    LanguageList languages =
        ReadLanguageList(*listFile_, filterCode, [this](const std::string& line) { Log(line); });
    supportedLanguages_ = languages.supportedLanguages;
    host_.OnLanguageList(filterCode, languages);
    Log("Supported languages:" + supportedLanguages_);
    if (languages.faulty) {
        const StopReason reason = languages.endValue.empty() ? StopReason::kLanguageEntryMissing
                                                             : StopReason::kLanguageEntryWithoutComma;
        const std::string key = std::to_string(languages.endKey);
        if (StopWithMessage(RunPhase::kLanguages, IDS_ENGLISH_BASE, IDS_LIST_CORRUPTED,
                            AtListFile(reason, kSetupLangSection, key, languages.endValue))) {
            return false;
        }
    }

    const std::string editionWord = ReadEditionWord(*listFile_);
    locationMode_ = IsLocationModeEdition(editionWord);
    host_.OnEditionWord(editionWord, locationMode_);

    // A required value of [StartUp] that reads as missing.
    auto missing = [&](RunPhase phase, const char* key, const std::string& value) {
        return IsMissingEntry(value) &&
               StopWithMessage(phase, IDS_ENGLISH_BASE, IDS_LIST_CORRUPTED,
                               AtListFile(StopReason::kValueMissing, kStartUpSection, key, value));
    };
    Log("Checking list file structure:APPNAME");
    appName_ = ReadAppName(*listFile_);
    if (missing(RunPhase::kApplicationName, kAppNameKey, appName_)) return false;

    Log("Checking list file structure:TMPDIR_SIZE");
    const std::string tmpDirSize = ReadTmpDirSize(*listFile_);
    if (missing(RunPhase::kSpaceRequirement, kTmpDirSizeKey, tmpDirSize)) return false;

    host_.OnStartUpValues(appName_, tmpDirSize);
    Log("Checking available space...");
    const int32_t requiredBytes = ParseRequiredBytes(tmpDirSize);
    if (HasEnoughFreeSpace(host_.FreeBytes(kDriveC), requiredBytes)) return true;
    const std::string kilobytes = RequiredKilobytesText(requiredBytes);
    return !StopWithMessage(
        RunPhase::kFreeSpace, IDS_ENGLISH_BASE, IDS_FREE_SPACE,
        AtListFile(StopReason::kNotEnoughSpace, kStartUpSection, kTmpDirSizeKey, tmpDirSize), kilobytes);
}

// The language from /LANG=, or in a quiet run the only one offered. Nothing when the dialog has to ask.
std::optional<language::LanguageSelection> StartUpSequence::ChooseWithoutDialog(
    const language::LanguageChoices& choices) {
    auto handOff = [this](const char* key, const std::string& value) { host_.WriteHandOff(key, value); };
    if (switches_.language) {
        if (std::optional<size_t> index = choices.IndexOf(*switches_.language)) {
            return choices.Choose(*index, handOff);
        }
        Log("Language not offered:" + *switches_.language);
    }
    if (switches_.quiet && choices.items().size() == 1) return choices.Choose(0, handOff);
    return std::nullopt;
}

// The Select Language dialog (or the switches of an unattended run); after a choice, the please-wait window
// in the chosen language.
bool StartUpSequence::SelectLanguage() {
    host_.RestoreCursor();
    Log("Preparing for display Select Language dialog...");
    std::vector<language::CatalogueEntry> catalogue = language::ReadCatalogue(
        [this](int id) { return host_.LoadString(id); }, [this](const std::string& line) { Log(line); });
    std::unique_ptr<ProfileReader> profile;
    std::optional<language::LanguageChoices> choices;
    std::string unnamedLocation;
    if (locationMode_) {
        profile = host_.OpenProfile(sourceDirectory_ + language::kLocationProfileName);
        choices = language::LanguageChoices::ForLocations(std::move(catalogue), supportedLanguages_, *profile,
                                                          &unnamedLocation);
    } else {
        choices = language::LanguageChoices::ForLanguages(std::move(catalogue), supportedLanguages_);
    }
    host_.OnChoices(choices ? &*choices : nullptr);

    language::LanguageSelection selection;
    // A location list that cannot be filled ends the selection as cancelled.
    selection.cancelled = true;
    if (choices) {
        if (std::optional<language::LanguageSelection> chosen = ChooseWithoutDialog(*choices)) {
            selection = *chosen;
        } else if (switches_.quiet) {
            Log("No language chosen for a quiet run");
            StopWithoutMessage(RunPhase::kSelection, kExitStopped, Because(StopReason::kNoLanguageChosen));
            return false;
        } else {
            selection = host_.RunSelectionDialog(*choices);
        }
    }
    if (selection.cancelled) {
        host_.RecordCancel();
        // The list the user was left with tells why: none at all, an empty one, or a choice not made.
        RunCause cause = Because(StopReason::kCancelled);
        if (!choices) {
            cause.reason = StopReason::kLocationWithoutName;
            cause.profile = language::kLocationProfileName;
            cause.section = unnamedLocation;
            cause.key = language::kLocationNameKey;
            cause.entry = std::string_view();
        } else if (choices->items().empty()) {
            cause.reason = StopReason::kNothingOffered;
            cause.profile = locationMode_ ? language::kLocationProfileName : kListFileName;
            if (!locationMode_) cause.section = kSetupLangSection;
        }
        StopWithoutMessage(RunPhase::kSelection, kExitCancelled, cause);
        return false;
    }

    selection_ = selection;
    if (!switches_.quiet) {
        host_.ShowPleaseWait(appName_, selection_.languageBase);
        pleaseWaitShown_ = true;
    }
    Log("Selected language:" + selection_.languageName);
    return true;
}

// The installation mode: a workstation run (ADMIN.INF beside the program) uses the program's directory as it
// is; a local or administrative run creates the temporary directory (one level) unless it exists. The
// directory's name is made a full path once, here, so that creating, staging, starting and cleaning up all
// mean the same directory whatever the current directory is then.
bool StartUpSequence::PrepareTargetDirectory() {
    const std::string tmpDirName = ReadTmpDirName(*listFile_);
    if (host_.Exists(sourceDirectory_ + kAdminInfName)) {
        Log("[workstation] No tmp directory");
        workstationRun_ = true;
        targetDirectory_ = sourceDirectory_;
        host_.OnTargetDirectory(tmpDirName, targetDirectory_, true);
        return true;
    }

    Log("[local,admin] Creating tmp directory...");
    auto stop = [&](StopReason reason, int offset, std::string_view directory) {
        return StopWithMessage(RunPhase::kTemporaryDirectory, selection_.languageBase, offset,
                               AtListFile(reason, kStartUpSection, kTmpDirNameKey, tmpDirName, directory));
    };
    // Without a TmpDirName the list file cannot say where the files go.
    if (IsMissingEntry(tmpDirName) && stop(StopReason::kValueMissing, IDS_LIST_CORRUPTED, {})) {
        return false;
    }
    std::optional<std::string> fullPath = host_.FullPath(TemporaryDirectoryPath(tmpDirName));
    if (!fullPath) return !stop(StopReason::kTargetNoFullPath, IDS_TEMP_DIR_FAILED, tmpDirName);
    const std::string directory = WithoutTrailingBackslash(*fullPath);
    // A second run on the same directory stops before it looks at it.
    switch (host_.LockTargetDirectory(directory)) {
        case DirectoryLock::kTaken:
            break;
        case DirectoryLock::kInUse: {
            RunEnd end;
            end.phase = RunPhase::kTemporaryDirectory;
            end.message = RunMessage{kTargetInUseMessage, 0, 0, directory, MessageIcon::kStop};
            end.cause =
                AtListFile(StopReason::kTargetInUse, kStartUpSection, kTmpDirNameKey, tmpDirName, directory);
            if (Stop(end)) return false;
            break;
        }
        case DirectoryLock::kFailed:
            if (stop(StopReason::kTargetNotLocked, IDS_TEMP_DIR_FAILED, directory)) return false;
            break;
    }
    // The program's own directory would have the start-up files staged onto themselves, and a file or a
    // device cannot hold them: either ends the run before anything is staged or taken over. A device is
    // told by its name, whatever the system reports of its existence and attributes.
    bool created = false;
    std::optional<StopReason> refused;
    if (SameDirectory(directory, sourceDirectory_)) {
        refused = StopReason::kTargetIsSource;
    } else if (NamesDevice(directory)) {
        refused = StopReason::kTargetNotDirectory;
    } else if (host_.Exists(directory)) {
        if (!host_.IsDirectory(directory)) refused = StopReason::kTargetNotDirectory;
    } else if (!(created = host_.MakeDirectory(directory))) {
        refused = StopReason::kTargetNotCreated;
    }
    if (refused) return !stop(*refused, IDS_TEMP_DIR_FAILED, directory);
    targetDirectory_ = WithTrailingBackslash(directory);
    host_.OnTargetDirectory(tmpDirName, targetDirectory_, false);
    host_.TakeOverTargetDirectory(targetDirectory_, created);
    targetTakenOver_ = true;
    return true;
}

// The start-up files in key order: a file under its plain name is copied as it is, whatever it holds; only
// without it is the compressed name looked for and expanded. Entries that are not plain file names (paths,
// devices) end the run before any file is touched.
bool StartUpSequence::StageStartUpFiles() {
    Log("Initializing setup files...");
    const StartUpFileList list = CollectStartUpFiles(*listFile_, workstationRun_);
    host_.OnStartUpFiles(list, workstationRun_);
    // A stop at the entry of file i (or at entry 1 when there is none).
    auto stop = [&](StopReason reason, int offset, size_t i, bool named) {
        const bool entry = i < list.fileNames.size();
        const std::string_view fileName = entry ? std::string_view(list.fileNames[i]) : std::string_view();
        const std::string key = std::to_string(entry ? list.keys[i] : 1);
        return StopWithMessage(RunPhase::kStaging, selection_.languageBase, offset,
                               AtListFile(reason, kStartUpSection, key, std::nullopt, fileName),
                               named ? std::optional<std::string_view>(fileName) : std::nullopt);
    };
    if (list.noFileApplies &&
        stop(list.skipped ? StopReason::kEveryStartUpFileSkipped : StopReason::kNoStartUpFile,
             IDS_LIST_CORRUPTED, 0, false)) {
        return false;
    }
    for (size_t i = 0; i < list.fileNames.size(); ++i) {
        if (!IsPlainFileName(list.fileNames[i]) &&
            stop(StopReason::kEntryNotPlain, IDS_LIST_CORRUPTED, i, false)) {
            return false;
        }
    }
    // Every move that staging and the clean-up will make must be possible before the first one is made.
    if (!workstationRun_) {
        const StagingObstacle obstacle = host_.CheckTargetDirectory(list.fileNames);
        if (obstacle.kind != StagingObstacle::kNone) {
            const bool logFile = obstacle.kind == StagingObstacle::kLogFile;
            Log((logFile ? "Log file in the way:" : "Name too long to set aside:") + obstacle.path);
            if (StopWithMessage(
                    RunPhase::kTemporaryDirectory, selection_.languageBase, IDS_TEMP_DIR_FAILED,
                    Because(logFile ? StopReason::kLogFileInTheWay : StopReason::kTargetNameTooLong,
                            obstacle.path))) {
                return false;
            }
        }
    }
    for (size_t i = 0; i < list.fileNames.size(); ++i) {
        const std::string& fileName = list.fileNames[i];
        // Only the media tool, which goes on past a stop, gets here with such a name.
        if (!IsPlainFileName(fileName)) continue;
        StagedFile file;
        file.fileName = fileName;
        file.sourcePath = sourceDirectory_ + fileName;
        file.destinationPath = targetDirectory_ + fileName;
        file.workstationRun = workstationRun_;
        Log(file.sourcePath);
        file.compressed = !host_.Exists(file.sourcePath);
        if (file.compressed) file.sourcePath = MakeCompressedName(file.sourcePath);
        if (!host_.Exists(file.sourcePath)) {
            if (stop(StopReason::kStartUpFileMissing, IDS_FILE_NOT_FOUND, i, true)) return false;
            continue;
        }
        // A seal is compared in local and administrative runs, where the file is staged: its bytes are
        // hashed on their way to the target directory. A workstation run reads nothing of a file.
        const std::optional<std::string> seal =
            workstationRun_ ? std::nullopt : ReadSeal(*listFile_, fileName);
        ContentDigest digest;
        bool stopped = false;
        switch (host_.StageFile(file, seal ? &digest : nullptr)) {
            case StageResult::kDone:
                if (seal && !SealMatches(*seal, digest)) {
                    Log("Seal mismatch:" + fileName + " expected " + *seal + " got " + SealText(digest));
                    // The staged copy is the run's own: the clean-up removes it with the others.
                    stopped =
                        StopWithMessage(RunPhase::kStaging, selection_.languageBase, IDS_DECOMPRESS_FAILED,
                                        AtListFile(StopReason::kStartUpFileSealBroken, kStartUpSealsSection,
                                                   fileName, *seal, fileName),
                                        fileName);
                }
                break;
            case StageResult::kSourceUnreadable:
                stopped = stop(StopReason::kStartUpFileUnreadable, IDS_FILE_NOT_FOUND, i, true);
                break;
            case StageResult::kDestinationFailed:
                stopped = stop(StopReason::kStartUpFileNotWritten, IDS_DECOMPRESS_FAILED, i, true);
                break;
            case StageResult::kCopyFailed:
                stopped = stop(StopReason::kStartUpFileNotCopied, IDS_DECOMPRESS_FAILED, i, true);
                break;
        }
        if (stopped) return false;
    }
    return !stopped_;
}

// The main module is started from the target directory and waited for; then the target directory is put
// back as it was found and a restart that the module asked for while it ran is made.
int StartUpSequence::LaunchMainModule() {
    const std::string commandLine = BuildMainModuleCommandLine(targetDirectory_, sourceDirectory_,
                                                               selection_.languageName, switches_.admin);
    Log("Attempting to launch main setup module...");
    Log("CMD:" + commandLine);
    // Nothing of setup.exe is on the screen while the main module runs.
    host_.RestoreCursor();
    if (pleaseWaitShown_) {
        host_.ClosePleaseWait();
        pleaseWaitShown_ = false;
    }

    // Only a request that the main module makes while it runs is acted on.
    const RestartKeyState restartKeyBefore = host_.ReadRestartKey(appName_);
    const MainModuleStart start = host_.RunMainModule(
        targetDirectory_ + kMainModuleName, commandLine, [&](const MainModuleStart& result) {
            Log(result.started ? "CreateProcess ok with " + commandLine + "."
                               : "CreateProcess failed with error code: " + std::to_string(result.errorCode));
        });
    if (!start.started) {
        // The user is told, instead of a run that ends as if it had succeeded. The module never ran, so a
        // restart request in the registry is not its: it is not acted on.
        StopWithMessage(RunPhase::kLaunch, selection_.languageBase, IDS_START_FAILED,
                        Because(StopReason::kMainModuleNotStarted, kMainModuleName));
        return stopStatus_;
    }

    // A clean-up that could not put everything back is told first; a restart asked for is made all the same.
    const bool putBack = CleanUpTarget();
    int status = putBack ? kExitCompleted : kExitNotPutBack;
    switch (ClassifyRestartRequest(restartKeyBefore, host_.ReadRestartKey(appName_))) {
        case RestartRequestKind::kNone:
            break;
        case RestartRequestKind::kLeftFromEarlier:
            Log("Restart request left from an earlier run:ignored");
            break;
        case RestartRequestKind::kMadeInThisRun:
            if (switches_.noRestart) {
                Log("Restart requested:not made (/NORESTART)");
                status = putBack ? kExitRestartNeeded : kExitNotPutBackRestartNeeded;
            } else {
                // The restart is set going without asking; its result changes nothing here.
                host_.Restart();
            }
            break;
    }
    host_.EndMessageLoop();
    host_.KeepResourceLibrary();
    libraryInUse_ = false;
    return status;
}

int StartUpSequence::Run() {
    // The switches of an unattended run apply from the start: a quiet run shows no window at all.
    const std::string commandLine = host_.CommandLine();
    switches_ = ParseSetupSwitches(commandLine);
    sourceDirectory_ = DirectoryWithBackslash(host_.ProgramPath());
    if (switches_.logPath) UseLogFile(*switches_.logPath);

    // The resource library, taken from the program's own directory only.
    if (sourceDirectory_.empty() || !host_.LoadResourceLibrary(sourceDirectory_ + kResourceLibraryName)) {
        StopWithFixedText(RunPhase::kResourceLibrary, kMissingLibraryMessage,
                          Because(StopReason::kResourceLibraryNotLoaded, kResourceLibraryName));
        return stopStatus_;
    }
    if (std::optional<int> handedOver = HandOverToHook()) return *handedOver;

    // From here on every dialog template and string ID is the library's.
    host_.UseResourceLibrary();
    libraryInUse_ = true;

    // The Windows directory must be on a drive.
    std::optional<std::string> windowsDirectory = host_.WindowsDirectory();
    if ((!windowsDirectory || !IsDriveLetterDirectory(*windowsDirectory)) &&
        StopWithFixedText(RunPhase::kWindowsDirectory, kWindowsDirectoryMessage,
                          Because(StopReason::kWindowsDirectoryNotOnDrive,
                                  windowsDirectory ? *windowsDirectory : std::string_view()))) {
        return stopStatus_;
    }

    if (!commandLine.empty()) Log("Processing command line: " + commandLine);
    host_.ShowWaitCursor();

    if (!CheckListFile() || !SelectLanguage() || !PrepareTargetDirectory() || !StageStartUpFiles()) {
        return stopStatus_;
    }
    return LaunchMainModule();
}

}  // namespace zs::bootstrap
