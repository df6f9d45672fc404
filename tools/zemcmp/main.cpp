// zemcmp: the media tool. Picks the subcommand and hands it its arguments.
#include <cstdio>
#include <string>
#include <vector>

#include "command/command.h"
#include "command_line.h"
#include "help.h"
#include "platform/platform.h"
#include "text/ansi_text.h"

namespace zs::zemcmp {

int UsageError(const std::string& message) {
    std::fprintf(stderr, "zemcmp: %s\nTry 'zemcmp --help' for more information.\n",
                 TerminalText(message).c_str());
    return kExitUsage;
}

namespace {

int Run(const std::vector<std::string>& args) {
    if (args.empty()) return UsageError("no command given");
    const std::string& first = args[0];
    if (first == "--help" || first == "-h") {
        PrintHelp(stdout);
        return kExitOk;
    }
    if (first == "--version") {
        PrintVersion(stdout);
        return kExitOk;
    }
    const Command* command = FindCommand(first);
    if (command == nullptr) return UsageError("unknown command '" + first + "'");

    CommandLine commandLine;
    switch (ParseCommandLine(*command, {args.begin() + 1, args.end()}, &commandLine)) {
        case ParseResult::kShowHelp:
            PrintHelp(stdout);
            return kExitOk;
        case ParseResult::kUsageError:
            return kExitUsage;
        case ParseResult::kRun:
            break;
    }
    return command->run(commandLine);
}

}  // namespace
}  // namespace zs::zemcmp

int main(int argc, char** argv) {
    zs::zemcmp::InstallInterruptCleanup();
    int status = zs::zemcmp::Run(std::vector<std::string>(argv + 1, argv + argc));
    // Output that could not be written (a full disk, a closed pipe) must not pass for success.
    if (std::fflush(stdout) != 0 && status == zs::zemcmp::kExitOk) status = zs::zemcmp::kExitFailed;
    return status;
}
