// zemcmp expand: writes the uncompressed contents of each compressed file.
#include "command/command.h"
#include "compress/cmpfile.h"
#include "files/codec_session.h"
#include "files/file_command.h"
#include "files/input_file.h"
#include "files/output_file.h"
#include "files/output_names.h"

namespace zs::zemcmp {
namespace {

bool ExpandTarget(const std::string& operand, const CommandLine& commandLine, std::string* path,
                  std::string* problem) {
    if (!commandLine.output.empty()) {
        *path = commandLine.output;
        return true;
    }
    std::optional<std::string> derived = ExpandedOutputPath(operand, commandLine.directory);
    if (!derived) {
        *problem =
            "the original name cannot be told from this name (its last character was replaced); name the "
            "output with -o";
        return false;
    }
    *path = *derived;
    return true;
}

void ExpandOne(const std::string& operand, const std::string& target, const CommandLine& commandLine,
               JobCodec& codec, FileOutcome* outcome) {
    InputFile input;
    if (!OpenInput(operand, &input, &outcome->problem)) return;
    outcome->inputBytes = input.size;
    // Checked before any output exists, so that a file in another format is refused with nothing written.
    CMPHEADER header;
    int result = IsCmpFile(input.file.handle(), &header);
    if (result != CMP_OK) {
        outcome->problem = DescribeCodecResult(result, CodecTask::kExpand);
        return;
    }
    OutputFile output;
    if (!output.Open(target, input, commandLine.force, &outcome->problem)) return;
    codec.Describe(input.displayName, input.size);
    result = codec.Decompress(input.file.handle(), output.handle(), &header, 0);
    if (result != CMP_OK) {
        outcome->problem = DescribeCodecResult(result, CodecTask::kExpand);
        return;
    }
    outcome->outputSizeKnown = output.WrittenSize(&outcome->outputBytes);
    outcome->outputName = output.DisplayName();
    if (!output.Commit(&outcome->problem)) return;
    outcome->ok = true;
}

int RunExpand(const CommandLine& commandLine) {
    return RunOnEachInput({"expand", ExpandTarget, ExpandOne}, commandLine);
}

}  // namespace

const Command kExpandCommand = {
    "expand",
    "expand FILE... [-d DIR | -o OUT] [-f] [-j N] [-v | -q]",
    "Writes the uncompressed contents of each compressed FILE; a file that is not in the\n"
    "compressed format is refused. A compressed name has lost the last character of the\n"
    "original, so without -o the output is named only where one name is possible:\n"
    "NAME._ becomes NAME, NAME.X_ becomes NAME.X (beside FILE, or in DIR with -d).\n"
    "Any other name needs -o OUT: _SETUP.EX_ may stand for _SETUP.EXE as well as _SETUP.EX.",
    kOptionDirectory | kOptionOutput | kOptionForce | kOptionJobs | kOptionVerbose | kOptionQuiet,
    1,
    0,
    RunExpand,
};

}  // namespace zs::zemcmp
