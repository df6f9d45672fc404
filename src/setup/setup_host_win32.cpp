#include "setup/setup_host_win32.h"

#include <direct.h>
#include <io.h>

#include "framework/message_box_win32.h"
#include "framework/strings_win32.h"
#include "profile/private_profile_reader_win32.h"
#include "reslib/hook_name.h"
#include "services/file_copy_win32.h"
#include "services/restart_win32.h"
#include "services/setup_log_win32.h"
#include "setup/launcher_record_win32.h"
#include "setup/launcher_wnd_win32.h"
#include "setup/restart_check_win32.h"
#include "setup/select_language_dialog_win32.h"
#include "setup/start_up_file_staging_win32.h"
#include "startup/file_name_rules.h"

namespace zs::bootstrap {

SetupHost::~SetupHost() = default;

std::string SetupHost::CommandLine() {
    return app_.m_lpCmdLine ? app_.m_lpCmdLine : "";
}

std::string SetupHost::ProgramPath() {
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(app_.m_hInstance, path, sizeof path);
    if (length == 0 || length >= sizeof path) return std::string();
    return std::string(path, length);
}

bool SetupHost::LoadResourceLibrary(const std::string& path) {
    return library_.Load(path);
}

const char* SetupHost::HookText() {
    auto getHookName = reinterpret_cast<reslib::GetHookNameFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(library_.handle(), reslib::kGetHookNameExport)));
    return getHookName ? getHookName() : nullptr;
}

void SetupHost::StartHook(const std::string& command) {
    WinExec(command.c_str(), SW_SHOWNORMAL);
}

void SetupHost::UseResourceLibrary() {
    library_.MakeCurrent();
    app_.SetDialogBkColor(RGB(192, 192, 192), RGB(0, 0, 0));
}

void SetupHost::ReleaseResourceLibrary() {
    library_.Release();
}

void SetupHost::KeepResourceLibrary() {
    library_.KeepUntilExit();
}

std::optional<std::string> SetupHost::LoadString(int id) {
    return framework::AfxLoadStringOrNothing(static_cast<UINT>(id));
}

std::optional<std::string> SetupHost::WindowsDirectory() {
    char directory[MAX_PATH] = {};
    UINT length = GetWindowsDirectoryA(directory, sizeof directory);
    if (length == 0 || length >= sizeof directory) return std::nullopt;
    return std::string(directory, length);
}

bool SetupHost::Exists(const std::string& path) {
    return _access(path.c_str(), 0) == 0;
}

// A device (NUL, COM1) is no directory, whatever attributes Windows reports for it.
bool SetupHost::IsDirectory(const std::string& path) {
    if (NamesDevice(path)) return false;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::unique_ptr<ProfileReader> SetupHost::OpenProfile(const std::string& path) {
    return std::make_unique<PrivateProfileReader>(path);
}

long double SetupHost::FreeBytes(int drive) {
    return GetDriveFreeBytes(drive);
}

std::optional<std::string> SetupHost::FullPath(const std::string& path) {
    char full[MAX_PATH] = {};
    DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    if (length == 0 || length >= sizeof full) return std::nullopt;
    return std::string(full, length);
}

std::string SetupHost::FoldedPath(const std::string& path) {
    return FoldedFileName(path);
}

bool SetupHost::MakeDirectory(const std::string& path) {
    return _mkdir(path.c_str()) == 0;
}

DirectoryLock SetupHost::LockTargetDirectory(const std::string& directory) {
    return targetLock_.Take(directory);
}

void SetupHost::TakeOverTargetDirectory(const std::string& directory, bool created) {
    target_.TakeOver(directory, created, logFile_);
}

StagingObstacle SetupHost::CheckTargetDirectory(const std::vector<std::string>& fileNames) {
    return target_.Check(fileNames);
}

StageResult SetupHost::StageFile(const StagedFile& file, ContentDigest* digest) {
    return StageStartUpFile(file, target_, digest);
}

std::vector<LeftBehind> SetupHost::CleanUpTargetDirectory() {
    // The process must not stand in a directory that is to be removed.
    _chdir("c:\\");
    std::vector<LeftBehind> left = target_.Restore();
    targetLock_.Release();
    return left;
}

void SetupHost::Log(const std::string& line) {
    WriteSetupLog("%s", line.c_str());
}

void SetupHost::SetLogFile(const std::string& path) {
    logFile_ = path;
    SetSetupLogFile(path.c_str());
}

void SetupHost::ShowWaitCursor() {
    savedCursor_ = SetCursor(LoadCursor(nullptr, IDC_WAIT));
}

void SetupHost::RestoreCursor() {
    SetCursor(savedCursor_);
}

language::LanguageSelection SetupHost::RunSelectionDialog(const language::LanguageChoices& choices) {
    language::SelectLanguageDialog dialog(
        choices, [this](const char* key, const std::string& value) { WriteHandOff(key, value); });
    dialog.DoModal();
    return dialog.Selection();
}

void SetupHost::WriteHandOff(const char* key, const std::string& value) {
    WriteProfileStringA(language::kHandOffSection, key, value.c_str());
}

void SetupHost::RecordCancel() {
    WriteLauncherExitCode(0);
    ReleaseLauncherSection();
}

void SetupHost::ShowPleaseWait(const std::string& appName, int languageBase) {
    pleaseWait_ = std::make_unique<language::PleaseWaitDialog>(languageBase, appName);
}

void SetupHost::ClosePleaseWait() {
    pleaseWait_.reset();
}

void SetupHost::ShowMessage(const RunEnd& end, const std::string& text) {
    UINT icon = end.message && end.message->icon == MessageIcon::kStop ? MB_ICONSTOP : MB_ICONEXCLAMATION;
    framework::AfxMessageBox(text.c_str(), icon);
}

MainModuleStart SetupHost::RunMainModule(const std::string& program, const std::string& commandLine,
                                         const std::function<void(const MainModuleStart&)>& started) {
    auto launcher = std::make_unique<LauncherWnd>();
    MainModuleStart result = launcher->RunMainModule(program, commandLine, started);
    launcher.reset();
    return result;
}

RestartKeyState SetupHost::ReadRestartKey(const std::string& appName) {
    return bootstrap::ReadRestartKey(appName);
}

void SetupHost::Restart() {
    Reboot();
}

void SetupHost::EndMessageLoop() {
    PostQuitMessage(0);
}

}  // namespace zs::bootstrap
