// An input of a subcommand: a named regular file, or standard input spooled to a temporary file.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace zs::zemcmp {

// The largest input the format can describe: the length field is 32 bits, and the codec takes a size of all
// ones for "no size". Standard input is read up to this size and no further.
inline constexpr uint64_t kLargestInput = 0xFFFFFFFEu;

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

// Opens the operand for reading. False with the problem in plain words when it cannot be read (or when
// standard input holds more than kLargestInput bytes).
bool OpenInput(const std::string& operand, InputFile* input, std::string* problem);

// After the codec read the input to its end (`bytesRead` bytes): false with the problem when the file held
// more than its size said. (A file that held fewer fails in the codec already.) Files under /proc report a
// size of 0 whatever they hold; they are refused, not coded as empty.
bool InputMatchedItsSize(const InputFile& input, uint64_t bytesRead, std::string* problem);

// Prints "zemcmp: <name>: <problem>" on standard error.
void ReportProblem(const std::string& name, const std::string& problem);

}  // namespace zs::zemcmp
