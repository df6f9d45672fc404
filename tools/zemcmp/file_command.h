// What the subcommands that turn each input into an output (compress, expand) share: the checks of where the
// outputs go, and a run over every input that goes on after a failed one.
#pragma once

#include <string>

#include "command.h"

namespace zs::zemcmp {

using FileAction = bool (*)(const std::string& operand, const CommandLine& commandLine);

// Returns the exit status: kExitOk when `action` succeeded for every operand.
int RunOnEachInput(const char* commandName, const CommandLine& commandLine, FileAction action);

}  // namespace zs::zemcmp
