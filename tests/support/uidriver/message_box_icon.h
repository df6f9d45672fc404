// Tells which of the system's message-box icons an icon control of another process shows.
#pragma once

#include <windows.h>

#include <string>

namespace zs::uidriver {

// "stop", "exclamation", "information" or "question" for the system icon that the control shows, "none" when
// it shows no icon, "unknown" for any other picture. An icon handle cannot be read across processes, so the
// control's pixels on the screen are compared with the system icons drawn here; the control must be visible
// and not covered.
std::string IdentifyMessageBoxIcon(HWND iconControl);

}  // namespace zs::uidriver
