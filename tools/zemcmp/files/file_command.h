// What the subcommands that turn each input into an output (compress, expand) share: the checks of where the
// outputs go, a run over every input on the workers of RunFileJobs that goes on after a failed one, and the
// report of each file (its problem, or with -v its sizes) in the order of the arguments.
#pragma once

#include <cstdint>
#include <string>

#include "command/command.h"
#include "files/parallel_files.h"

namespace zs::zemcmp {

// What became of one input.
struct FileOutcome {
    bool ok = false;
    std::string name;     // how messages name the input
    std::string problem;  // why it failed
    uint64_t inputBytes = 0;
    uint64_t outputBytes = 0;
    bool outputSizeKnown = false;
    std::string outputName;  // where the output went
};

struct FileTask {
    const char* commandName;
    // The output path for an operand, or false with the problem (decided before any file is coded).
    bool (*target)(const std::string& operand, const CommandLine& commandLine, std::string* path,
                   std::string* problem);
    // Codes one file. Runs on a worker thread: prints nothing, says everything in *outcome.
    void (*code)(const std::string& operand, const std::string& target, const CommandLine& commandLine,
                 JobCodec& codec, FileOutcome* outcome);
};

// Returns the exit status: kExitOk when every operand succeeded.
int RunOnEachInput(const FileTask& task, const CommandLine& commandLine);

// "37.5%": `part` as a share of `whole`; empty when `whole` is 0.
std::string Percentage(uint64_t part, uint64_t whole);

}  // namespace zs::zemcmp
