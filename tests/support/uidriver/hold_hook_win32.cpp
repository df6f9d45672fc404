// uidriver_hold.dll: the driver hooks the main thread of the program under test with it (WH_CALLWNDPROCRET),
// so that the program waits, right after one of its windows has shown, until the driver has reported that
// window. A window that is up only while the program works (the please-wait window while files are staged) is
// then reported whole however fast the program is. Windows loads this library into the program on the first
// message after the hook is set; the hook only looks at its own thread's windows and sends no message.
#include <windows.h>

#include <string>

#include "caption_pattern.h"
#include "hold_board_win32.h"

namespace {

using zs::uidriver::CaptionMatches;
using zs::uidriver::HoldBoard;
using zs::uidriver::HoldObjectName;
using zs::uidriver::kMaxCaptionLength;
using zs::uidriver::kMaxHolds;

HoldBoard* board = nullptr;
HANDLE heldEvent = nullptr;
HANDLE releaseEvent = nullptr;

bool OpenBoard() {
    if (board != nullptr) return true;
    const DWORD self = GetCurrentProcessId();
    HANDLE mapping = OpenFileMappingW(FILE_MAP_WRITE, FALSE, HoldObjectName(L"board", self).c_str());
    if (mapping == nullptr) return false;
    heldEvent = OpenEventW(EVENT_MODIFY_STATE, FALSE, HoldObjectName(L"held", self).c_str());
    releaseEvent = OpenEventW(SYNCHRONIZE, FALSE, HoldObjectName(L"release", self).c_str());
    void* view = MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(HoldBoard));
    // The view keeps the mapping; both live as long as the program.
    CloseHandle(mapping);
    if (view == nullptr || heldEvent == nullptr || releaseEvent == nullptr) return false;
    board = static_cast<HoldBoard*>(view);
    return true;
}

// Waits when WINDOW's top-level window is visible and has the caption of the next hold.
void HoldIfWanted(HWND window) {
    const LONG next = board->next;
    if (next < 0 || next >= board->count || next >= kMaxHolds) return;
    HWND top = GetAncestor(window, GA_ROOT);
    if (top == nullptr || !IsWindowVisible(top)) return;
    // The text the window keeps: asking with a message would run the window procedure, and this hook, again.
    wchar_t caption[kMaxCaptionLength] = {};
    const int length = InternalGetWindowText(top, caption, kMaxCaptionLength);
    const std::wstring pattern(board->captions[next], wcsnlen(board->captions[next], kMaxCaptionLength));
    if (!CaptionMatches(std::wstring(caption, length > 0 ? length : 0), pattern)) return;
    board->heldWindow = reinterpret_cast<ULONG_PTR>(top);
    board->next = next + 1;
    SetEvent(heldEvent);
    WaitForSingleObject(releaseEvent, board->limitMs);
}

LRESULT CALLBACK HoldHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && OpenBoard()) HoldIfWanted(reinterpret_cast<const CWPRETSTRUCT*>(lParam)->hwnd);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

extern "C" __declspec(dllexport) HOOKPROC UiDriverHoldHook() {
    return HoldHook;
}
