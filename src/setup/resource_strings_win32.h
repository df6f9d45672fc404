// The language rules' string loader and log sink as setup.exe connects them: strings come from the current
// resource module (the resource library once the start-up sequence has switched to it), and log lines go to
// the setup log with the line as an argument, never as the format.
#pragma once

#include <string>

#include "base/log_sink.h"
#include "framework/strings_win32.h"
#include "language/string_loader.h"
#include "services/setup_log_win32.h"

namespace zs::language {

inline StringLoader CurrentModuleStrings() {
    return [](int id) { return framework::AfxLoadStringOrNothing(static_cast<unsigned>(id)); };
}

inline LogSink SetupLogSink() {
    return [](const std::string& line) { WriteSetupLog("%s", line.c_str()); };
}

}  // namespace zs::language
