// The start-up sequence of setup.exe, from the resource library to the temporary directory, as one straight
// line of steps. Every early exit shows its one message while the resource library is still current, then
// releases what the run holds in reverse order (please-wait window, resource module, library) and ends the
// run.
#include <io.h>
#include <direct.h>
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "bootstrap/free_space_rule.h"
#include "bootstrap/hook_command.h"
#include "bootstrap/language_filter.h"
#include "bootstrap/launcher_record_win32.h"
#include "bootstrap/list_file.h"
#include "bootstrap/private_profile_reader_win32.h"
#include "bootstrap/setup_app.h"
#include "bootstrap/setup_globals.h"
#include "bootstrap/setup_run_win32.h"
#include "bootstrap/stage_and_launch_win32.h"
#include "bootstrap/start_up_rules.h"
#include "framework/message_box_win32.h"
#include "framework/strings_win32.h"
#include "language/messages.h"
#include "language/please_wait_dialog_win32.h"
#include "language/resource_strings_win32.h"
#include "language/select_language_dialog_win32.h"
#include "reslib/hook_name.h"
#include "reslib/resource_ids.h"
#include "services/file_copy_win32.h"
#include "services/setup_log_win32.h"

namespace zs::bootstrap {
namespace {

using framework::AfxFormatString1;
using framework::AfxMessageBox;

constexpr char kMissingLibraryMessage[] = "Could not find ZSRES.DLL.";
constexpr char kWindowsDirectoryMessage[] =
    "Setup was unable to locate your Windows directory.\t\t\t\n"
    "Please verify that the PATH statement in your AUTOEXEC.BAT file contains the full path of your Windows "
    "directory.";
constexpr char kRedirectMessage[] = "Please run SETUPKRN.EXE.";
constexpr int kDriveC = 3;
// What a step returns when the run goes on; every other value is the exit status of a run that ended there.
constexpr int kGoOn = -1;

// Before a language is chosen the messages come from the English block.
constexpr UINT EnglishMessage(int offset) {
    return static_cast<UINT>(language::MessageId(IDS_ENGLISH_BASE, offset));
}

std::string ProgramPath(HINSTANCE instance) {
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(instance, path, sizeof path);
    if (length == 0 || length >= sizeof path) return std::string();
    return std::string(path, length);
}

bool FileExists(const std::string& path) {
    return _access(path.c_str(), 0) == 0;
}

class StartUpSequence {
  public:
    explicit StartUpSequence(SetupApp& app) : app_(app) {}
    int Run();

  private:
    // Shows the message, releases the run and gives the exit status of a stopped run.
    int Stop(const std::string& text, UINT icon, bool restoreCursor);
    int StopWithString(UINT id, bool restoreCursor) {
        std::string text;
        framework::AfxLoadString(id, text);
        return Stop(text, MB_ICONSTOP, restoreCursor);
    }
    // A message of the chosen language's block.
    UINT ChosenMessage(int offset) const {
        return static_cast<UINT>(language::MessageId(run_.selection.languageBase, offset));
    }

    std::optional<int> HandOverToHook();
    int CheckListFile(const ProfileReader& listFile);
    int SelectLanguage();
    int PrepareTargetDirectory(const ProfileReader& listFile);

    SetupApp& app_;
    SetupRun run_;
};

int StartUpSequence::Stop(const std::string& text, UINT icon, bool restoreCursor) {
    if (restoreCursor) run_.cursor.Restore();
    run_.messageText = text;
    AfxMessageBox(run_.messageText.c_str(), icon);
    run_.pleaseWait.reset();
    run_.resourceLibrary.Release();
    return kExitStopped;
}

// The hook: a library may name another program that takes the run over. The library stays loaded, and nothing
// is shown or logged. A hook text that gives no command that fits is not started, but the run ends all the
// same: the library asked for a hand-off.
std::optional<int> StartUpSequence::HandOverToHook() {
    auto getHookName = reinterpret_cast<reslib::GetHookNameFunction>(reinterpret_cast<void (*)()>(
        GetProcAddress(run_.resourceLibrary.handle(), reslib::kGetHookNameExport)));
    if (!getHookName) return std::nullopt;
    const char* text = getHookName();
    if (!text || !*text) return std::nullopt;

    std::optional<std::string_view> hook = BoundedHookText(text);
    std::optional<std::string> command = hook ? BuildHookCommand(*hook) : std::nullopt;
    if (command) WinExec(command->c_str(), SW_SHOWNORMAL);
    run_.resourceLibrary.KeepUntilExit();
    return command ? kExitCompleted : kExitStopped;
}

// The list file beside the program (languages, edition, application name, space requirement) and the free
// space on drive C:. Messages come from the English block: no language is chosen yet.
int StartUpSequence::CheckListFile(const ProfileReader& listFile) {
    WriteSetupLog("Checking list file...");
    if (!FileExists(run_.listFilePath)) {
        std::string text;
        AfxFormatString1(text, EnglishMessage(IDS_FILE_NOT_FOUND), kListFileName);
        return Stop(text, MB_ICONSTOP, true);
    }

    WriteSetupLog("Checking available languages:SETUPLANG");
    std::string filterCode = ReadFilterCode(listFile);
    switch (ClassifyFilterCode(filterCode)) {
        case FilterCodeKind::kRedirect:
            return Stop(kRedirectMessage, MB_ICONEXCLAMATION, false);
        case FilterCodeKind::kEmpty:
            return StopWithString(EnglishMessage(IDS_LIST_CORRUPTED), true);
        case FilterCodeKind::kUsable:
            break;
    }
    app_.m_strLanguages.clear();
    LanguageList languages = ReadLanguageList(listFile, filterCode, language::SetupLogSink());
    app_.m_strLanguages = languages.supportedLanguages;
    WriteSetupLog("Supported languages:%s", app_.m_strLanguages.c_str());
    if (languages.faulty) return StopWithString(EnglishMessage(IDS_LIST_CORRUPTED), true);

    if (IsLocationModeEdition(ReadEditionWord(listFile))) g_bStandard = 1;

    WriteSetupLog("Checking list file structure:APPNAME");
    run_.appName = ReadAppName(listFile);
    if (IsMissingEntry(run_.appName)) return StopWithString(EnglishMessage(IDS_LIST_CORRUPTED), true);

    WriteSetupLog("Checking list file structure:TMPDIR_SIZE");
    std::string tmpDirSize = ReadTmpDirSize(listFile);
    if (IsMissingEntry(tmpDirSize)) return StopWithString(EnglishMessage(IDS_LIST_CORRUPTED), true);

    WriteSetupLog("Checking available space...");
    int32_t requiredBytes = ParseRequiredBytes(tmpDirSize);
    if (!HasEnoughFreeSpace(GetDriveFreeBytes(kDriveC), requiredBytes)) {
        std::string text;
        AfxFormatString1(text, EnglishMessage(IDS_FREE_SPACE), RequiredKilobytesText(requiredBytes).c_str());
        return Stop(text, MB_ICONSTOP, true);
    }
    return kGoOn;
}

// The Select Language dialog; after a choice, the please-wait window in the chosen language.
int StartUpSequence::SelectLanguage() {
    run_.cursor.Restore();
    WriteSetupLog("Preparing for display Select Language dialog...");
    {
        language::SelectLanguageDialog dialog(g_bStandard != 0, app_.m_strLanguages, run_.sourceDirectory);
        dialog.DoModal();
        run_.selection = dialog.Selection();
    }
    if (run_.selection.cancelled) {
        WriteLauncherExitCode(0);
        ReleaseLauncherSection();
        run_.cursor.Restore();
        run_.resourceLibrary.Release();
        return kExitCancelled;
    }

    g_strCaption = run_.appName;
    run_.pleaseWait = std::make_unique<language::PleaseWaitDialog>(run_.selection.languageBase, g_strCaption);
    WriteSetupLog("Selected language:%s", run_.selection.languageName.c_str());
    return kGoOn;
}

// The installation mode: a workstation run (ADMIN.INF beside the program) uses the program's directory as it
// is; a local or administrative run creates the temporary directory (one level) unless it exists.
int StartUpSequence::PrepareTargetDirectory(const ProfileReader& listFile) {
    std::string tmpDirName = ReadTmpDirName(listFile);
    if (FileExists(run_.sourceDirectory + kAdminInfName)) {
        WriteSetupLog("[workstation] No tmp directory");
        app_.m_bWorkstation = 1;
        run_.targetDirectory = run_.sourceDirectory;  // the program's directory, with its backslash
        return kGoOn;
    }

    WriteSetupLog("[local,admin] Creating tmp directory...");
    // Without a TmpDirName the list file cannot say where the files go.
    if (IsMissingEntry(tmpDirName)) return StopWithString(ChosenMessage(IDS_LIST_CORRUPTED), true);
    if (!FileExists(tmpDirName)) {
        if (_mkdir(tmpDirName.c_str()) != 0) return StopWithString(ChosenMessage(IDS_TEMP_DIR_FAILED), true);
        run_.createdTargetDirectory = true;
    }
    run_.targetDirectory = tmpDirName + "\\";
    return kGoOn;
}

int StartUpSequence::Run() {
    // The resource library, taken from the program's own directory only.
    std::string programPath = ProgramPath(app_.m_hInstance);
    run_.sourceDirectory = DirectoryWithBackslash(programPath);
    if (run_.sourceDirectory.empty() ||
        !run_.resourceLibrary.Load(run_.sourceDirectory + kResourceLibraryName)) {
        AfxMessageBox(kMissingLibraryMessage, MB_ICONEXCLAMATION);
        return kExitStopped;
    }

    if (std::optional<int> handedOver = HandOverToHook()) return *handedOver;

    // From here on every dialog template and string ID is the library's.
    run_.resourceLibrary.MakeCurrent();
    app_.SetDialogBkColor(RGB(192, 192, 192), RGB(0, 0, 0));

    // The Windows directory must be on a drive.
    char windowsDirectory[MAX_PATH] = {};
    UINT length = GetWindowsDirectoryA(windowsDirectory, sizeof windowsDirectory);
    if (length == 0 || length >= sizeof windowsDirectory || !IsDriveLetterDirectory(windowsDirectory)) {
        return Stop(kWindowsDirectoryMessage, MB_ICONEXCLAMATION, false);
    }

    // The command line after the program name: only the administrative switch means anything.
    std::string commandLine = app_.m_lpCmdLine;
    if (!commandLine.empty()) {
        WriteSetupLog("Processing command line: %s", commandLine.c_str());
        run_.adminMode = HasAdminSwitch(commandLine);
    }

    run_.cursor.Show();
    run_.listFilePath = run_.sourceDirectory + kListFileName;
    PrivateProfileReader listFile(run_.listFilePath);

    int status = CheckListFile(listFile);
    if (status == kGoOn) status = SelectLanguage();
    if (status == kGoOn) status = PrepareTargetDirectory(listFile);
    if (status != kGoOn) return status;

    // Staging, launch and the end of the run.
    return StageAndLaunch(app_, run_);
}

}  // namespace

BOOL SetupApp::InitInstance() {
    exitStatus_ = StartUpSequence(*this).Run();
    return FALSE;
}

}  // namespace zs::bootstrap
