// Reads a subcommand's arguments: operands and the options the subcommand accepts, in any order.
#pragma once

#include "command/command.h"

namespace zs::zemcmp {

enum class ParseResult { kRun, kShowHelp, kUsageError };

// `args` are the arguments after the subcommand's name. "--" ends the options; "-" is an operand (standard
// input or output). A usage error has been reported when kUsageError is returned.
ParseResult ParseCommandLine(const Command& command, const std::vector<std::string>& args,
                             CommandLine* commandLine);

}  // namespace zs::zemcmp
