// The driver's side of holding the program under test in a window: hooks the program's main thread with
// uidriver_hold.dll before it runs, waits until the program waits in a window with the next caption, and lets
// it go again. Used for the windows that "wait-dump" steps report.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace zs::uidriver {

struct HoldBoard;

class WindowHold {
  public:
    WindowHold() = default;
    ~WindowHold();
    WindowHold(const WindowHold&) = delete;
    WindowHold& operator=(const WindowHold&) = delete;

    // Hooks THREADID of PROCESSID, which must not have run yet, so that the program waits as soon as a window
    // with the first of CAPTIONS shows, then one with the second, and so on; LIMITMS bounds each wait.
    bool Install(DWORD processId, DWORD threadId, const std::vector<std::wstring>& captions, DWORD limitMs,
                 std::wstring* error);
    bool Installed() const { return hook_ != nullptr; }

    // Waits at most LIMITMS for the program to wait in the next window; that window, or nullptr when the time
    // ran out or PROCESS ended first.
    HWND WaitUntilHeld(HANDLE process, DWORD limitMs);
    // Lets the program go on.
    void Release();

  private:
    HMODULE library_ = nullptr;
    HHOOK hook_ = nullptr;
    HANDLE mapping_ = nullptr;
    HoldBoard* board_ = nullptr;
    HANDLE held_ = nullptr;
    HANDLE release_ = nullptr;
};

}  // namespace zs::uidriver
