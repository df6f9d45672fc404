// The framework's message box: the application's name as caption, no owner window, the OK button. A message
// without an icon of its own gets the exclamation icon; callers ask for MB_ICONSTOP where a stop icon is
// meant.
#pragma once

#include <windows.h>

namespace zs::framework {

// Returns the button the user pressed (IDOK), or 0 when the box could not be shown.
int AfxMessageBox(const char* text, UINT type = MB_OK);
// The text is string `promptId` of the current resource module.
int AfxMessageBox(UINT promptId, UINT type = MB_OK);

}  // namespace zs::framework
