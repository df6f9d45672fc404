// The command line of setup.exe. Only switches mean anything; everything else on the line is ignored:
// - "/a" or "/A" anywhere, as a plain substring (so "x/ay" and "/abc" count, "-a" does not): an
//   administrative run, passed on to the main module;
// - for unattended runs, each a word of its own (at the start or after a blank), in any case:
//   /LANG=NAME   choose the item that the Select Language dialog would show as NAME, without the dialog
//   /LOG=PATH    write the setup log to PATH, creating it
//   /QUIET       no window at all: messages go to the log and end the run with exit status 2
//   /NORESTART   a restart the main module asks for is logged, not made; exit status 3 says it is needed
//   A value with blanks is written in double quotes: /LOG="C:\My Logs\setup.log". None of these switches
//   contains "/a", but a value can ("/LOG=C:/admin.log" also makes the run administrative).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zs::bootstrap {

struct SetupSwitches {
    bool admin = false;
    std::optional<std::string> language;
    std::optional<std::string> logPath;
    bool quiet = false;
    bool noRestart = false;
};

SetupSwitches ParseSetupSwitches(std::string_view commandLine);

}  // namespace zs::bootstrap
