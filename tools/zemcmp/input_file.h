// An input of a subcommand: a named regular file, or standard input spooled to a temporary file.
#pragma once

#include <cstdint>
#include <string>

#include "platform.h"

namespace zs::zemcmp {

struct InputFile {
    std::string operand;      // as given on the command line; "-" for standard input
    std::string displayName;  // how messages name it
    OpenFile file;            // positioned at its start
    uint64_t size = 0;
    bool identityKnown = false;
    FileIdentity identity;
};

// How messages name an operand.
std::string DisplayName(const std::string& operand);

// Opens the operand for reading. False with the problem in plain words when it cannot be read.
bool OpenInput(const std::string& operand, InputFile* input, std::string* problem);

// Prints "zemcmp: <name>: <problem>" on standard error.
void ReportProblem(const std::string& name, const std::string& problem);

}  // namespace zs::zemcmp
