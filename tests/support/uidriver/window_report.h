// What the driver reports about a window: one JSON object with its caption, class, place on the screen, its
// controls (texts, list items and selection, buttons) and, for a message box, its text, icon and buttons.
#pragma once

#include <windows.h>

#include "json_line.h"

namespace zs::uidriver {

// The ID of a message box's text control.
constexpr int kMessageBoxTextId = 0xFFFF;

bool IsMessageBox(HWND window);

// Adds the window's fields to LINE: its texts as the program answers for them, or with PROGRAMWAITS (or when
// it does not answer) the texts its windows keep. False when the window was destroyed or hidden before the
// description was complete: what LINE then holds is not the window as it was shown.
bool DescribeWindow(HWND window, testsupport::JsonObject& line, bool programWaits = false);

// The window handle as the report writes it, e.g. "0x1003a".
std::string HandleText(HWND window);

}  // namespace zs::uidriver
