#include "setup/launcher_record_win32.h"

#include <windows.h>

#include <cstdlib>

#include "base/bounded_format.h"

namespace zs::bootstrap {
namespace {

// WriteProfileString with all three arguments null writes the profile cache to disk at once.
BOOL FlushWinIni() {
    return WriteProfileStringA(nullptr, nullptr, nullptr);
}

}  // namespace

int WriteLauncherExitCode(int code) {
    char text[32];
    FormatBounded(text, sizeof text, "%d", code);
    WriteProfileStringA(kLauncherSection, kLauncherExitCodeKey, text);
    FlushWinIni();
    return 1;
}

int ReleaseLauncherSection() {
    char text[32] = {};
    GetProfileStringA(kLauncherSection, kLauncherKeepKey, "0", text, sizeof text);
    int launcher = std::atoi(text);
    if (launcher != 0) return launcher;
    WriteProfileStringA(kLauncherSection, nullptr, nullptr);
    return FlushWinIni();
}

}  // namespace zs::bootstrap
