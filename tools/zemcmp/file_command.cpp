#include "file_command.h"

#include "input_file.h"
#include "platform.h"

namespace zs::zemcmp {

int RunOnEachInput(const char* commandName, const CommandLine& commandLine, FileAction action) {
    for (const std::string& operand : commandLine.operands) {
        if (operand == "-" && commandLine.output.empty()) {
            return UsageError(std::string(commandName) +
                              ": standard input has no name to derive the output's name from; use -o");
        }
    }
    if (!commandLine.directory.empty() && QueryPath(commandLine.directory) != PathKind::kDirectory) {
        ReportProblem(commandLine.directory, "not a directory");
        return kExitFailed;
    }
    bool allDone = true;
    for (const std::string& operand : commandLine.operands) allDone = action(operand, commandLine) && allDone;
    return allDone ? kExitOk : kExitFailed;
}

}  // namespace zs::zemcmp
