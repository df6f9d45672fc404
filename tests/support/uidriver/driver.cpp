#include "driver.h"

#include <algorithm>

#include "window_query.h"
#include "window_report.h"

namespace zs::uidriver {

using testsupport::JsonArray;
using testsupport::JsonObject;
using testsupport::JsonString;
using testsupport::Utf8FromWide;

namespace {

constexpr DWORD kPollMs = 50;
constexpr UINT kKilledExitCode = 255;

// Tick counts wrap after 49 days; differences of them do not.
DWORD MillisecondsSince(DWORD startTick) {
    return GetTickCount() - startTick;
}

std::wstring Quoted(const std::wstring& text) {
    return L"\"" + text + L"\"";
}

std::string CaptionsJson(DWORD processId) {
    std::vector<std::string> captions;
    for (HWND window : VisibleTopLevelWindows(processId)) {
        captions.push_back(JsonString(Utf8FromWide(WindowText(window))));
    }
    return JsonArray(captions);
}

}  // namespace

Driver::Driver(const DriverOptions& options, Report& report)
    : options_(options), report_(report), waitLimitMs_(options.waitLimitMs) {}

DriverStatus Driver::Run(const std::vector<Step>& steps) {
    startTick_ = GetTickCount();
    std::wstring error;
    if (!StartTarget(steps, &error)) {
        report_.Write(JsonObject().Text("event", "error").Text("message", error));
        report_.Write(JsonObject().Text("event", "done").Bool("ok", false));
        return kStartFailed;
    }
    report_.Write(JsonObject()
                      .Text("event", "started")
                      .Number("pid", target_.Id())
                      .Text("command", options_.commandLine)
                      .Text("cwd", options_.directory));

    bool failed = false;
    for (size_t i = 0; i < steps.size() && !failed; ++i) {
        const int index = static_cast<int>(i) + 1;
        JsonObject result;
        result.Text("event", "step").Number("index", index).Text("step", steps[i].text);
        error.clear();
        if (MillisecondsSince(startTick_) >= options_.totalLimitMs) {
            error =
                L"the scenario's time limit of " + std::to_wstring(options_.totalLimitMs) + L" ms ran out";
            failed = true;
        } else {
            failed = !Execute(steps[i], index, result, &error);
        }
        if (failed) {
            report_.Write(JsonObject()
                              .Text("event", "error")
                              .Number("index", index)
                              .Text("step", steps[i].text)
                              .Text("message", error)
                              .Raw("windows", CaptionsJson(target_.Id())));
        } else {
            report_.Write(result.Bool("ok", true));
        }
    }

    if (target_.HasEnded()) {
        ReportExit();
    } else {
        report_.Write(JsonObject()
                          .Text("event", "killed")
                          .Text("reason", failed ? "a step failed" : "still running after the last step"));
        target_.Terminate(kKilledExitCode);
    }
    report_.Write(JsonObject().Text("event", "done").Bool("ok", !failed));
    return failed ? kStepFailed : kAllStepsDone;
}

bool Driver::StartTarget(const std::vector<Step>& steps, std::wstring* error) {
    std::vector<std::wstring> held;
    for (const Step& step : steps) {
        if (step.verb == Verb::kWaitDump) held.push_back(step.argument);
    }
    if (!target_.Start(options_.commandLine, options_.directory, !held.empty(), error)) return false;
    if (held.empty()) return true;
    // The hook is set before the program runs, so that no window of it can come and go unseen.
    if (!hold_.Install(target_.Id(), target_.MainThreadId(), held, options_.totalLimitMs, error)) {
        *error = L"the program could not be hooked: " + *error;
        target_.Terminate(kKilledExitCode);
        return false;
    }
    target_.Resume();
    return true;
}

bool Driver::Execute(const Step& step, int index, JsonObject& result, std::wstring* error) {
    HWND window = nullptr;
    switch (step.verb) {
        case Verb::kWait:
        case Verb::kWaitAny:
            return WaitForWindow(step, result, error);
        case Verb::kWaitDump:
            return WaitAndReportHeld(step, index, result, error);
        case Verb::kWaitGone:
            return WaitUntilGone(error);
        case Verb::kDump:
            return Dump(index, result);
        case Verb::kSelect:
        case Verb::kDoubleClick:
            return ChooseListItem(step, step.verb == Verb::kDoubleClick, result, error);
        case Verb::kPress:
            return PressButton(step, result, error);
        case Verb::kEscape:
            // What the dialog manager sends for the Escape key.
            window = CurrentWindow(error);
            if (window == nullptr) return false;
            SendCommand(IDCANCEL, BN_CLICKED, GetDlgItem(window, IDCANCEL), result);
            return true;
        case Verb::kClose:
            window = CurrentWindow(error);
            if (window == nullptr) return false;
            result.Bool("answered", SendWithLimit(window, WM_SYSCOMMAND, SC_CLOSE, 0));
            return true;
        case Verb::kSync:
            return Sync(step, index, error);
        case Verb::kSleep:
            Sleep(std::min(static_cast<DWORD>(step.number), StepLimit()));
            return true;
        case Verb::kTimeout:
            waitLimitMs_ = step.number;
            return true;
        case Verb::kWaitExit:
            return WaitForExit(error);
        case Verb::kWatchExit:
        case Verb::kOkUntilExit:
            return WatchUntilExit(index, step.verb == Verb::kOkUntilExit, error);
        case Verb::kKill:
            target_.Terminate(kKilledExitCode);
            report_.Write(JsonObject().Text("event", "killed").Text("reason", "kill step"));
            exitReported_ = true;
            return true;
    }
    return true;
}

bool Driver::WaitForWindow(const Step& step, JsonObject& result, std::wstring* error) {
    const DWORD start = GetTickCount(), limit = StepLimit();
    for (;;) {
        for (HWND window : VisibleTopLevelWindows(target_.Id())) {
            std::wstring caption = WindowText(window);
            if (step.verb == Verb::kWaitAny || CaptionMatches(caption, step.argument)) {
                current_ = window;
                result.Text("hwnd", HandleText(window)).Text("caption", caption);
                return true;
            }
        }
        const std::wstring wanted =
            step.verb == Verb::kWaitAny ? L"window" : L"window " + Quoted(step.argument);
        if (target_.HasEnded()) {
            ReportExit();
            *error = L"the program ended with exit code " + std::to_wstring(target_.ExitCode()) +
                     L" before a " + wanted + L" appeared";
            return false;
        }
        if (MillisecondsSince(start) >= limit) {
            *error = L"no " + wanted + L" appeared within the time limit";
            return false;
        }
        Sleep(kPollMs);
    }
}

bool Driver::WaitAndReportHeld(const Step& step, int index, JsonObject& result, std::wstring* error) {
    HWND window = hold_.WaitUntilHeld(target_.Handle(), StepLimit());
    if (window == nullptr) {
        const std::wstring wanted = L"window " + Quoted(step.argument);
        if (target_.HasEnded()) {
            ReportExit();
            *error = L"the program ended with exit code " + std::to_wstring(target_.ExitCode()) +
                     L" before a " + wanted + L" appeared";
        } else {
            *error = L"no " + wanted + L" appeared within the time limit";
        }
        return false;
    }
    // The program waits in the hook until it is let go: the window is described as it showed.
    current_ = window;
    const bool reported = ReportWindow(window, index, true);
    result.Text("hwnd", HandleText(window)).Text("caption", StoredText(window));
    hold_.Release();
    if (!reported) {
        *error = L"the window " + Quoted(step.argument) + L" went while the program was held in it";
        return false;
    }
    return true;
}

bool Driver::WaitUntilGone(std::wstring* error) {
    HWND window = CurrentWindow(error);
    if (window == nullptr) return false;
    const DWORD start = GetTickCount(), limit = StepLimit();
    while (IsWindow(window) && IsWindowVisible(window)) {
        if (MillisecondsSince(start) >= limit) {
            *error = L"the window " + Quoted(WindowText(window)) + L" is still there after the time limit";
            return false;
        }
        Sleep(kPollMs);
    }
    current_ = nullptr;
    return true;
}

bool Driver::ReportWindow(HWND window, int index, bool programWaits) {
    JsonObject line;
    line.Text("event", "window").Number("index", index);
    if (!DescribeWindow(window, line, programWaits)) return false;
    report_.Write(line);
    return true;
}

bool Driver::Dump(int index, JsonObject& result) {
    long long reported = 0;
    for (HWND window : VisibleTopLevelWindows(target_.Id())) reported += ReportWindow(window, index) ? 1 : 0;
    result.Number("windows", reported);
    return true;
}

bool Driver::ChooseListItem(const Step& step, bool doubleClick, JsonObject& result, std::wstring* error) {
    HWND window = CurrentWindow(error);
    if (window == nullptr) return false;
    HWND list = nullptr;
    for (HWND control : ChildControls(window)) {
        if (HasClass(control, L"ListBox") &&
            (step.controlId == 0 || GetDlgCtrlID(control) == step.controlId)) {
            list = control;
            break;
        }
    }
    if (list == nullptr) {
        *error = L"the window " + Quoted(WindowText(window)) + L" has no such list box";
        return false;
    }
    std::vector<std::wstring> items = ListItems(list);
    int item = step.number;
    for (size_t i = 0; item < 0 && i < items.size(); ++i) {
        if (items[i] == step.argument) item = static_cast<int>(i);
    }
    if (item < 0 || item >= static_cast<int>(items.size())) {
        *error = L"the list has no item " +
                 (step.number >= 0 ? L"#" + std::to_wstring(step.number) : Quoted(step.argument));
        return false;
    }
    result.Number("item", item).Text("item_text", items[item]);
    // A click on an item selects it and notifies the parent; a double click does that and then notifies
    // again.
    const WORD id = static_cast<WORD>(GetDlgCtrlID(list));
    SendWithLimit(list, LB_SETCURSEL, item, 0);
    SendCommand(id, LBN_SELCHANGE, list, result);
    if (doubleClick) SendCommand(id, LBN_DBLCLK, list, result);
    return true;
}

bool Driver::PressButton(const Step& step, JsonObject& result, std::wstring* error) {
    HWND window = CurrentWindow(error);
    if (window == nullptr) return false;
    HWND button = nullptr;
    for (HWND control : ChildControls(window)) {
        if (!HasClass(control, L"Button")) continue;
        bool matches = step.number >= 0 ? GetDlgCtrlID(control) == step.number
                                        : WithoutMnemonic(WindowText(control)) == step.argument;
        if (matches) {
            button = control;
            break;
        }
    }
    if (button == nullptr) {
        *error = L"the window " + Quoted(WindowText(window)) + L" has no button " +
                 (step.number >= 0 ? L"#" + std::to_wstring(step.number) : Quoted(step.argument));
        return false;
    }
    if (!IsWindowVisible(button) || !IsWindowEnabled(button)) {
        *error = L"the button " + Quoted(WindowText(button)) + L" cannot be pressed (hidden or disabled)";
        return false;
    }
    SendCommand(static_cast<WORD>(GetDlgCtrlID(button)), BN_CLICKED, button, result);
    return true;
}

void Driver::SendCommand(WORD id, WORD notification, HWND control, JsonObject& result) {
    HWND window = control != nullptr ? GetParent(control) : current_;
    // A handler that opens a modal loop answers late; the next steps wait for what it shows.
    bool answered =
        SendWithLimit(window, WM_COMMAND, MAKEWPARAM(id, notification), reinterpret_cast<LPARAM>(control));
    result.Bool(notification == LBN_DBLCLK ? "answered_dblclk" : "answered", answered);
}

bool Driver::Sync(const Step& step, int index, std::wstring* error) {
    if (options_.syncDirectory.empty()) {
        *error = L"\"sync\" needs --sync-dir";
        return false;
    }
    const std::wstring answer = options_.syncDirectory + L"\\" + step.argument + L".continue";
    report_.Write(JsonObject().Text("event", "sync").Number("index", index).Text("name", step.argument));
    const DWORD start = GetTickCount(), limit = StepLimit();
    while (GetFileAttributesW(answer.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (MillisecondsSince(start) >= limit) {
            *error = L"no answer " + Quoted(answer) + L" within the time limit";
            return false;
        }
        Sleep(kPollMs);
    }
    DeleteFileW(answer.c_str());
    return true;
}

bool Driver::WaitForExit(std::wstring* error) {
    if (!target_.WaitForEnd(StepLimit())) {
        *error = L"the program is still running after the time limit";
        return false;
    }
    ReportExit();
    return true;
}

bool Driver::WatchUntilExit(int index, bool pressOk, std::wstring* error) {
    const DWORD start = GetTickCount(), limit = StepLimit();
    std::vector<HWND> seen;
    for (;;) {
        for (HWND window : VisibleTopLevelWindows(target_.Id())) {
            if (std::find(seen.begin(), seen.end(), window) != seen.end()) continue;
            // A window that went while it was described is left out: it is no longer on the screen.
            if (!ReportWindow(window, index)) continue;
            seen.push_back(window);
            HWND ok = GetDlgItem(window, IDOK);
            if (pressOk && ok != nullptr && IsWindowVisible(ok) && IsWindowEnabled(ok)) {
                // Posted: a program that answers with a modal loop (a message box) must not hold the driver.
                PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
            }
        }
        if (target_.HasEnded()) {
            ReportExit();
            return true;
        }
        if (MillisecondsSince(start) >= limit) {
            *error = L"the program is still running after the time limit";
            return false;
        }
        Sleep(kPollMs);
    }
}

HWND Driver::CurrentWindow(std::wstring* error) {
    if (current_ != nullptr && IsWindow(current_)) return current_;
    std::vector<HWND> windows = VisibleTopLevelWindows(target_.Id());
    if (windows.empty()) {
        *error = L"the program shows no window";
        return nullptr;
    }
    current_ = windows.front();
    return current_;
}

DWORD Driver::StepLimit() const {
    DWORD used = MillisecondsSince(startTick_);
    DWORD left = used < options_.totalLimitMs ? options_.totalLimitMs - used : 0;
    return std::min(waitLimitMs_, left);
}

void Driver::ReportExit() {
    if (exitReported_) return;
    exitReported_ = true;
    report_.Write(JsonObject().Text("event", "exited").Number("code", target_.ExitCode()));
}

}  // namespace zs::uidriver
