// The start-up sequence's host in setup.exe: every step carried out with the real Win32 services and the
// framework (the resource library, the cursor, the dialogs and message boxes, the profile reader, the file
// staging, CreateProcess, the registry and the restart).
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "setup/please_wait_dialog_win32.h"
#include "setup/resource_library_win32.h"
#include "setup/setup_app_win32.h"
#include "setup/target_directory_lock_win32.h"
#include "setup/target_directory_win32.h"
#include "startup/start_up_host.h"
#include "startup/target_directory_keeper.h"

namespace zs::bootstrap {

class SetupHost : public StartUpHost {
  public:
    explicit SetupHost(SetupApp& app) : app_(app) {}
    ~SetupHost() override;

    std::string CommandLine() override;
    std::string ProgramPath() override;
    bool LoadResourceLibrary(const std::string& path) override;
    const char* HookText() override;
    void StartHook(const std::string& command) override;
    void UseResourceLibrary() override;
    void ReleaseResourceLibrary() override;
    void KeepResourceLibrary() override;
    std::optional<std::string> LoadString(int id) override;

    std::optional<std::string> WindowsDirectory() override;
    bool Exists(const std::string& path) override;
    bool IsDirectory(const std::string& path) override;
    std::unique_ptr<ProfileReader> OpenProfile(const std::string& path) override;
    long double FreeBytes(int drive) override;
    std::optional<std::string> FullPath(const std::string& path) override;
    std::string FoldedPath(const std::string& path) override;
    bool MakeDirectory(const std::string& path) override;

    DirectoryLock LockTargetDirectory(const std::string& directory) override;
    void TakeOverTargetDirectory(const std::string& directory, bool created) override;
    StagingObstacle CheckTargetDirectory(const std::vector<std::string>& fileNames) override;
    StageResult StageFile(const StagedFile& file, ContentDigest* digest) override;
    std::vector<LeftBehind> CleanUpTargetDirectory() override;

    void Log(const std::string& line) override;
    void SetLogFile(const std::string& path) override;
    void ShowWaitCursor() override;
    void RestoreCursor() override;
    language::LanguageSelection RunSelectionDialog(const language::LanguageChoices& choices) override;
    void WriteHandOff(const char* key, const std::string& value) override;
    void RecordCancel() override;
    void ShowPleaseWait(const std::string& appName, int languageBase) override;
    void ClosePleaseWait() override;
    void ShowMessage(const RunEnd& end, const std::string& text) override;

    MainModuleStart RunMainModule(const std::string& program, const std::string& commandLine,
                                  const std::function<void(const MainModuleStart&)>& started) override;
    RestartKeyState ReadRestartKey(const std::string& appName) override;
    void Restart() override;
    void EndMessageLoop() override;

  private:
    SetupApp& app_;
    ResourceLibrary library_;
    HCURSOR savedCursor_ = nullptr;
    std::unique_ptr<language::PleaseWaitDialog> pleaseWait_;
    std::string logFile_;
    TargetDirectoryLock targetLock_;
    TargetDirectory targetFiles_;
    TargetDirectoryKeeper target_{targetFiles_};
};

}  // namespace zs::bootstrap
