// The run state of the start-up sequence: what it acquires and decides, kept for the length of the run and
// handed on to the staging and launch step (stage_and_launch_win32.h). Members stand in the order in which
// the sequence acquires them, so that whatever is still held when the run ends is released in reverse order.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "language/language_selection.h"
#include "language/please_wait_dialog_win32.h"

namespace zs::bootstrap {

// The resource library ZSRES.DLL: loaded, then made the framework's current resource module. Releasing it
// puts the saved resource module back and frees the library; every end of the run does so except a hand-off
// to a hook and a successful launch of the main module, which keep it until the process ends.
class ResourceLibrary {
  public:
    ResourceLibrary() = default;
    ~ResourceLibrary() { Release(); }
    ResourceLibrary(const ResourceLibrary&) = delete;
    ResourceLibrary& operator=(const ResourceLibrary&) = delete;

    // Loads the library from this full path (never through the library search order, so that a library of
    // the same name planted in the current directory or on the PATH is not taken).
    bool Load(const std::string& path);
    HMODULE handle() const { return library_; }
    // Remembers the current resource module and makes the library the current one.
    void MakeCurrent();
    void Release();
    void KeepUntilExit();

  private:
    HMODULE library_ = nullptr;
    HINSTANCE savedResourceModule_ = nullptr;
    bool current_ = false;
};

// The hourglass shown while the sequence works, and the cursor it replaced.
class WaitCursor {
  public:
    void Show();
    // Makes the saved cursor current again (also when that is no cursor at all).
    void Restore();

  private:
    HCURSOR saved_ = nullptr;
};

struct SetupRun {
    ResourceLibrary resourceLibrary;
    bool adminMode = false;
    WaitCursor cursor;
    // The running program's directory, with its trailing backslash.
    std::string sourceDirectory;
    std::string listFilePath;
    std::string appName;
    language::LanguageSelection selection;
    std::unique_ptr<language::PleaseWaitDialog> pleaseWait;
    // Where the start-up files go and where the main module is started from; ends with a backslash.
    std::string targetDirectory;
    // This run created the temporary directory, so the clean-up may remove it with everything in it. A
    // directory that existed before may hold files that are not setup's: then only stagedFiles go.
    bool createdTargetDirectory = false;
    // Full paths of the files this run has created in the target directory, the partly written one included.
    std::vector<std::string> stagedFiles;
    // The text of the failure message about to be shown.
    std::string messageText;
};

}  // namespace zs::bootstrap
