// The start-up sequence's host in `zemcmp check`: stand-ins for the Win32 services that read a medium
// directory as Windows would (the profile reader with Windows' conventions, file look-ups by Windows' name
// rules, the images' headers instead of LoadLibrary and CreateProcess, the codec into a null sink instead of
// a real expansion) and a user who keeps the first item of the Select Language list. What setup.exe would
// show becomes the prediction and the findings; the check's own warnings and notes hang off the same steps.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "bootstrap/ini_file_reader.h"
#include "bootstrap/start_up_host.h"
#include "check/findings.h"
#include "check/medium_directory.h"
#include "language/catalogue.h"
#include "pe_image.h"

namespace zs::zemcmp {

// A profile file of the medium as the check reads it: the reader, and which keys the sequence read.
struct ObservedFile {
    std::string name;  // its name on the medium, for findings
    bootstrap::IniFileReader reader;
    std::set<std::pair<std::string, std::string>> keysRead;  // (section, key), ASCII lower case
    std::set<std::pair<std::string, std::string>> cutReported;
    bool sectionListRead = false;
};

// The result of expanding a compressed file of the medium, kept per file.
struct Expansion {
    int result = 0;       // the codec's result code
    std::string problem;  // a file that could not even be read
};

class CheckHost : public bootstrap::StartUpHost {
  public:
    CheckHost(const MediumDirectory& medium, CheckReport& report);
    ~CheckHost() override;

    // Before the sequence: the programs on the medium and the files it holds that Windows cannot see.
    void CheckMediumFiles();
    // After the sequence: the prediction of a run that got to the main module (exit status of the sequence),
    // and the keys it never read.
    void Finish(int exitStatus);
    void ReportUnreadKeys();

    // Services.
    std::string CommandLine() override { return std::string(); }
    std::string ProgramPath() override;
    bool LoadResourceLibrary(const std::string& path) override;
    const char* HookText() override { return nullptr; }
    void StartHook(const std::string&) override {}
    void UseResourceLibrary() override {}
    void ReleaseResourceLibrary() override {}
    void KeepResourceLibrary() override {}
    std::optional<std::string> LoadString(int id) override;

    std::optional<std::string> WindowsDirectory() override { return std::string("C:\\WINDOWS"); }
    bool Exists(const std::string& path) override;
    std::unique_ptr<bootstrap::ProfileReader> OpenProfile(const std::string& path) override;
    long double FreeBytes(int) override;
    std::optional<std::string> FullPath(const std::string& path) override;
    std::string FoldedPath(const std::string& path) override { return bootstrap::AsciiUpperCase(path); }
    bool MakeDirectory(const std::string&) override { return true; }

    // The temporary directory lies on the user's machine: the check assumes it free and empty.
    bootstrap::DirectoryLock LockTargetDirectory(const std::string&) override {
        return bootstrap::DirectoryLock::kTaken;
    }
    void TakeOverTargetDirectory(const std::string&, bool) override {}
    bootstrap::StagingObstacle CheckTargetDirectory(const std::vector<std::string>&) override { return {}; }
    bootstrap::StageResult StageFile(const bootstrap::StagedFile& file) override;
    std::vector<bootstrap::LeftBehind> CleanUpTargetDirectory() override { return {}; }

    void Log(const std::string&) override {}
    void SetLogFile(const std::string&) override {}
    void ShowWaitCursor() override {}
    void RestoreCursor() override {}
    language::LanguageSelection RunSelectionDialog(const language::LanguageChoices& choices) override;
    void WriteHandOff(const char*, const std::string&) override {}
    void RecordCancel() override;
    void ShowPleaseWait(const std::string& appName, int languageBase) override;
    void ClosePleaseWait() override {}
    void ShowMessage(const bootstrap::RunEnd& end, const std::string& text) override;

    bootstrap::MainModuleStart RunMainModule(
        const std::string& program, const std::string& commandLine,
        const std::function<void(const bootstrap::MainModuleStart&)>& started) override;
    bootstrap::RestartKeyState ReadRestartKey(const std::string&) override { return {}; }
    void Restart() override {}
    void EndMessageLoop() override {}

    // What the sequence found.
    void OnLanguageList(const std::string& filterCode, const bootstrap::LanguageList& list) override;
    void OnEditionWord(const std::string& word, bool locationMode) override;
    void OnStartUpValues(const std::string& appName, const std::string& tmpDirSize) override;
    void OnChoices(const language::LanguageChoices* choices) override;
    void OnTargetDirectory(const std::string& tmpDirName, const std::string& target,
                           bool workstationRun) override;
    void OnStartUpFiles(const bootstrap::StartUpFileList& list, bool workstationRun) override;
    bool ContinueAfterStop(const bootstrap::RunEnd& end) override;

    // Expansions made before the sequence (in parallel) are taken from here.
    void SetExpansion(const std::string& path, Expansion expansion) {
        expansions_[path] = std::move(expansion);
    }

  private:
    // Why the next stop or cancel happens, as far as the host knows it better than the step does.
    struct Cause {
        FindingCode code = FindingCode::kCheckFailed;
        std::string text;
        std::string file, section, key;
        std::optional<std::string> value;
    };

    MediumFile Look(const std::string& name);
    // The medium file a Windows path names: a file of the medium's own directory. Nothing for other paths.
    std::optional<MediumFile> MediumFileOf(const std::string& windowsPath);
    Expansion Expand(const MediumFile& file);
    std::optional<std::string> ReadStagedBytes(const std::string& fileName, std::string* problem);
    ObservedFile* ListFile();
    ObservedFile* ObservedByName(const std::string& name);
    std::string RawValue(const ObservedFile& file, const char* section, const char* key) const;
    Finding& Add(FindingCode code, std::string text) { return report_.Add(code, std::move(text)); }
    void SetCause(FindingCode code, std::string text, std::string file = {}, std::string section = {},
                  std::string key = {}, std::optional<std::string> value = std::nullopt);
    Cause TakeCause(const bootstrap::RunEnd& end);
    void Predict(const bootstrap::RunEnd& end, std::optional<PredictedMessage> message);
    PredictedMessage MessageOf(const bootstrap::RunEnd& end, const std::string& text) const;

    void ReportOddities(const ObservedFile& file);
    void CheckStartUpEntries(bool workstationRun);
    void CheckLocations(const language::LanguageChoices& choices);
    void CheckLanguageEntries(const std::string& filterCode, const bootstrap::LanguageList& list);

    void ReportUnreadKeysOf(const ObservedFile& file, const char* section);

    friend class ObservedProfile;

    const MediumDirectory& medium_;
    CheckReport& report_;
    std::optional<PeImage> program_;  // setup.exe, when Windows would start it
    std::optional<PeImage> library_;  // ZSRES.DLL, once loaded
    std::vector<language::CatalogueEntry> catalogue_;
    std::map<std::string, std::unique_ptr<ObservedFile>> profiles_;  // by name on the medium, upper case
    std::set<std::string> namesNoted_;
    std::map<std::string, Expansion> expansions_;  // by local path
    // The start-up files staged so far, by their name in the target directory (upper case).
    std::map<std::string, bootstrap::StagedFile> staged_;
    std::set<std::string> unreadableSources_;  // names of entries whose source did not open
    struct Damage {
        std::string compressedName;
        int result = 0;
    };
    std::map<std::string, Damage> damaged_;         // by the entry's file name
    std::map<std::string, std::string> entryKeys_;  // the key that names each staged file
    std::optional<Cause> cause_;
    std::vector<std::string> notPlainEntries_;  // in the order the sequence refuses them
    size_t notPlainReported_ = 0;
    int chosenBase_ = 0;
    std::string chosenLanguage_;
    bool predicted_ = false;
    bool workstationRun_ = false;
    bool languagesRead_ = false;
    bool startUpListRead_ = false;
    bool noStartUpFileApplies_ = false;
    bool everyEntrySkipped_ = false;
    std::string supportedLanguages_;
    std::vector<std::string> enabledNames_;
};

}  // namespace zs::zemcmp
