// Reading the windows of another process. Every message to the program under test is sent with a time limit,
// so that a hung program makes a step fail instead of hanging the driver.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "caption_pattern.h"

namespace zs::uidriver {

// How long a message to the program may take before the driver stops waiting for its answer. A handler that
// opens a modal loop (a message box, say) answers only when that loop ends; the driver goes on without it.
constexpr DWORD kReplyLimitMs = 2000;
// How long a text is asked for before the text the window keeps is read instead.
constexpr DWORD kBusyReplyLimitMs = 300;

// Sends a message and waits at most LIMITMS for the answer; false when it did not come in time.
bool SendWithLimit(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD limitMs = kReplyLimitMs,
                   LRESULT* result = nullptr);

// The visible top-level windows of a process, topmost first.
std::vector<HWND> VisibleTopLevelWindows(DWORD processId);

// The child windows of a dialog in their tab order.
std::vector<HWND> ChildControls(HWND dialog);

// Whether the window's thread answers a message within kBusyReplyLimitMs.
bool Answers(HWND window);
// A window's text: asked for with a message; when the program is busy and does not answer, the text the
// window keeps (StoredText), which needs no answer.
std::wstring WindowText(HWND window);
std::wstring StoredText(HWND window);
std::wstring ClassName(HWND window);
bool HasClass(HWND window, const wchar_t* className);

// The items of a list box and the index of its selected item (-1 when none is selected).
std::vector<std::wstring> ListItems(HWND list);
int ListSelection(HWND list);

// A button's text without its mnemonic marks ("&OK" reads "OK", "&&" reads "&").
std::wstring WithoutMnemonic(const std::wstring& text);

}  // namespace zs::uidriver
