// Runs a scenario: starts the program, carries out the steps in order until one fails, reports what it saw
// as JSON lines, and never leaves the program running.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "json_line.h"
#include "report.h"
#include "step.h"
#include "target_process.h"
#include "window_hold_win32.h"

namespace zs::uidriver {

// Exit status of the driver.
enum DriverStatus {
    kAllStepsDone = 0,
    kStepFailed = 1,
    kUsageError = 2,
    kStartFailed = 3,
};

struct DriverOptions {
    std::wstring commandLine;
    std::wstring directory;      // where the program starts; the driver's own when empty
    std::wstring syncDirectory;  // where "sync" waits for NAME.continue
    DWORD waitLimitMs = 10000;   // default time limit of each waiting step
    DWORD totalLimitMs = 60000;  // time limit of the whole scenario
};

class Driver {
  public:
    Driver(const DriverOptions& options, Report& report);
    DriverStatus Run(const std::vector<Step>& steps);

  private:
    bool Execute(const Step& step, int index, testsupport::JsonObject& result, std::wstring* error);
    // Starts the program; hooked so that it waits in the windows of the "wait-dump" steps, when there are
    // any.
    bool StartTarget(const std::vector<Step>& steps, std::wstring* error);
    bool WaitForWindow(const Step& step, testsupport::JsonObject& result, std::wstring* error);
    // wait-dump: waits until the program waits in the window, reports it and lets the program go on.
    bool WaitAndReportHeld(const Step& step, int index, testsupport::JsonObject& result, std::wstring* error);
    // Reports a window as it is now; false (and nothing reported) when it went while it was described.
    bool ReportWindow(HWND window, int index, bool programWaits = false);
    bool WatchUntilExit(int index, bool pressOk, std::wstring* error);
    bool WaitUntilGone(std::wstring* error);
    bool Dump(int index, testsupport::JsonObject& result);
    bool ChooseListItem(const Step& step, bool doubleClick, testsupport::JsonObject& result,
                        std::wstring* error);
    bool PressButton(const Step& step, testsupport::JsonObject& result, std::wstring* error);
    // WM_COMMAND from CONTROL (or from nobody) to its dialog, as the control or the dialog manager sends it.
    void SendCommand(WORD id, WORD notification, HWND control, testsupport::JsonObject& result);
    bool Sync(const Step& step, int index, std::wstring* error);
    bool WaitForExit(std::wstring* error);

    // The window that actions go to: the one the last wait found, else the program's topmost window.
    HWND CurrentWindow(std::wstring* error);
    // The time limit of a waiting step: the set limit, cut to what is left of the whole scenario's.
    DWORD StepLimit() const;
    void ReportExit();

    const DriverOptions& options_;
    Report& report_;
    TargetProcess target_;
    WindowHold hold_;
    HWND current_ = nullptr;
    DWORD waitLimitMs_;
    DWORD startTick_ = 0;
    bool exitReported_ = false;
};

}  // namespace zs::uidriver
