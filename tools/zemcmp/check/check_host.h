// The start-up sequence's host in `zemcmp check`: the stand-ins of Windows that read a medium directory as
// Windows would for setup.exe (the profile reader with Windows' conventions, file look-ups and directories by
// Windows' name rules, the images' headers instead of LoadLibrary and CreateProcess, the codec into a null
// sink instead of a real expansion) and a user who keeps the first item of the Select Language list.
//
// The stand-ins only observe. What they see that the sequence does not learn (why a library does not load,
// why a directory cannot be made, what a source's codec says) is kept for the findings of a stop
// (stop_findings.h); the check's own warnings and notes are the lints' (check_lints.h), told of each step.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/ascii_case.h"
#include "check/medium_directory.h"
#include "language/catalogue.h"
#include "pe/pe_image.h"
#include "profile/ini_file_reader.h"
#include "startup/start_up_host.h"

namespace zs::zemcmp {

class CheckLints;
class StopFindings;

// A profile file of the medium as the stand-in reads it: the reader, and every value the sequence read.
struct ObservedFile {
    std::string name;      // its name on the medium, for findings
    bool present = false;  // on the medium (as a file or not)
    bootstrap::IniFileReader reader;
    // (section, key) in ASCII lower case -> the value as written in the file, uncut; nothing for a key that
    // is not there.
    std::map<std::pair<std::string, std::string>, std::optional<std::string>> valuesRead;
};

// The result of expanding a compressed file of the medium, kept per file.
struct Expansion {
    int result = 0;                        // the codec's result code
    std::string problem;                   // a file that could not even be read
    bool hashed = false;                   // the output was hashed (a seal names the file)
    bootstrap::ContentDigest digest = {};  // the SHA-256 of the output, when hashed
};

// What the stand-ins saw on the way that explains a stop, where the sequence only learns that a step failed.
struct StandInObservations {
    // ZSRES.DLL: its name on the medium, whether it is there (and a file), and why Windows refuses it.
    std::string libraryName;
    bool libraryOnMedium = false;
    bool libraryIsFile = false;
    std::string libraryProblem;
    bool selectDialogMissing = false;  // the library has no template for the Select Language dialog
    std::string supportedLanguages;    // the names of the enabled language entries, run together
    std::string directoryRefusal;      // why CreateDirectory refuses the target directory
    // Start-up files by their entry's name: a compressed source that does not expand (its name and the
    // codec's result); the seal of the contents as staged, for a file that a seal names.
    std::map<std::string, std::pair<std::string, int>> damagedSources;
    std::map<std::string, std::string> stagedSeals;
    // The main module: not staged at all (no entry names it), not where a workstation run starts it, or what
    // Windows' loader says of it.
    bool mainModuleNotStaged = false;
    bool mainModuleMissing = false;
    std::string mainModuleProblem;
};

class CheckHost : public bootstrap::StartUpHost {
  public:
    CheckHost(const MediumDirectory& medium, CheckLints& lints, StopFindings& stops);
    ~CheckHost() override;

    // Before the sequence: setup.exe as Windows would start it. False, with the finding made, when it would
    // not start.
    bool StartSetupProgram();

    // What the stand-ins saw, for the findings.
    const StandInObservations& observations() const { return seen_; }
    const MediumDirectory& medium() const { return medium_; }
    const ObservedFile* Observed(const std::string& name) const;
    // The value as written of a key the sequence read in a profile file of the medium; nothing when the key
    // is not there or was not read.
    std::optional<std::string> ValueAsWritten(std::string_view fileName, std::string_view section,
                                              std::string_view key) const;
    const std::vector<language::CatalogueEntry>& catalogue() const { return catalogue_; }
    const PeImage* program() const { return program_ ? &*program_ : nullptr; }
    // The language the user keeps, once chosen, and its block.
    const std::string& chosenLanguage() const { return chosenLanguage_; }
    int chosenBlock() const { return chosenBlock_; }

    // Services.
    std::string CommandLine() override { return std::string(); }
    std::string ProgramPath() override;
    bool LoadResourceLibrary(const std::string& path) override;
    // What GetHookName returns is known only at run time: the check follows a run without a hand-off (the
    // lints say when the library may hand the run over).
    const char* HookText() override { return nullptr; }
    void StartHook(const std::string&) override {}
    void UseResourceLibrary() override {}
    void ReleaseResourceLibrary() override {}
    void KeepResourceLibrary() override {}
    std::optional<std::string> LoadString(int id) override;

    std::optional<std::string> WindowsDirectory() override { return std::string("C:\\WINDOWS"); }
    bool Exists(const std::string& path) override;
    bool IsDirectory(const std::string& path) override;
    std::unique_ptr<bootstrap::ProfileReader> OpenProfile(const std::string& path) override;
    long double FreeBytes(int) override;
    std::optional<std::string> FullPath(const std::string& path) override;
    std::string FoldedPath(const std::string& path) override { return AsciiUpperCase(path); }
    bool MakeDirectory(const std::string& path) override;

    // The temporary directory lies on the user's machine: the check assumes it free and empty.
    bootstrap::DirectoryLock LockTargetDirectory(const std::string&) override {
        return bootstrap::DirectoryLock::kTaken;
    }
    void TakeOverTargetDirectory(const std::string&, bool) override {}
    bootstrap::StagingObstacle CheckTargetDirectory(const std::vector<std::string>&) override { return {}; }
    bootstrap::StageResult StageFile(const bootstrap::StagedFile& file,
                                     bootstrap::ContentDigest* digest) override;
    std::vector<bootstrap::LeftBehind> CleanUpTargetDirectory() override { return {}; }

    void Log(const std::string&) override {}
    void SetLogFile(const std::string&) override {}
    void ShowWaitCursor() override {}
    void RestoreCursor() override {}
    language::LanguageSelection RunSelectionDialog(const language::LanguageChoices& choices) override;
    void WriteHandOff(const char*, const std::string&) override {}
    void RecordCancel() override {}
    void ShowPleaseWait(const std::string& appName, int languageBase) override;
    void ClosePleaseWait() override {}
    void ShowMessage(const bootstrap::RunEnd&, const std::string&) override {}

    bootstrap::MainModuleStart RunMainModule(
        const std::string& program, const std::string& commandLine,
        const std::function<void(const bootstrap::MainModuleStart&)>& started) override;
    bootstrap::RestartKeyState ReadRestartKey(const std::string&) override { return {}; }
    void Restart() override {}
    void EndMessageLoop() override {}

    // What the sequence found: told to the lints.
    void OnLanguageList(const std::string& filterCode, const bootstrap::LanguageList& list) override;
    void OnEditionWord(const std::string& word, bool locationMode) override;
    void OnStartUpValues(const std::string& appName, const std::string& tmpDirSize) override;
    void OnChoices(const language::LanguageChoices* choices) override;
    void OnTargetDirectory(const std::string& tmpDirName, const std::string& target,
                           bool workstationRun) override;
    void OnStartUpFiles(const bootstrap::StartUpFileList& list, bool workstationRun) override;
    bool ContinueAfterStop(const bootstrap::RunEnd& end, const std::string& text) override;

    // Expansions made before the sequence (in parallel) are taken from here.
    void SetExpansion(const std::string& path, Expansion expansion) {
        expansions_[path] = std::move(expansion);
    }

  private:
    MediumFile Look(const std::string& name);
    // The medium file a Windows path names: a file of the medium's own directory. Nothing for other paths.
    std::optional<MediumFile> MediumFileOf(const std::string& windowsPath);
    Expansion Expand(const MediumFile& file, bool hash);
    std::optional<PeImage> StagedMainModule(const bootstrap::StagedFile& staged, std::string* problem);

    friend class ObservedProfile;

    const MediumDirectory& medium_;
    CheckLints& lints_;
    StopFindings& stops_;
    StandInObservations seen_;
    std::optional<PeImage> program_;  // setup.exe, when Windows would start it
    std::optional<PeImage> library_;  // ZSRES.DLL, once loaded
    std::vector<language::CatalogueEntry> catalogue_;
    std::map<std::string, std::unique_ptr<ObservedFile>> profiles_;  // by name on the medium, upper case
    std::map<std::string, Expansion> expansions_;                    // by local path
    // The start-up files staged so far, by their name in the target directory (upper case).
    std::map<std::string, bootstrap::StagedFile> staged_;
    std::string chosenLanguage_;
    int chosenBlock_ = 0;
    bool workstationRun_ = false;
};

}  // namespace zs::zemcmp
