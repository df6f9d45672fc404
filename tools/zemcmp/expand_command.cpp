// zemcmp expand: writes the uncompressed contents of each compressed file.
#include "codec_session.h"
#include "command.h"
#include "compress/cmpfile.h"
#include "file_command.h"
#include "input_file.h"
#include "output_file.h"
#include "output_names.h"

namespace zs::zemcmp {
namespace {

bool ExpandOne(const std::string& operand, const CommandLine& commandLine) {
    std::string target = commandLine.output;
    if (target.empty()) {
        std::optional<std::string> derived = ExpandedOutputPath(operand, commandLine.directory);
        if (!derived) {
            ReportProblem(
                DisplayName(operand),
                "the original name cannot be told from this name (its last character was replaced); "
                "name the output with -o");
            return false;
        }
        target = *derived;
    }

    InputFile input;
    std::string problem;
    if (!OpenInput(operand, &input, &problem)) {
        ReportProblem(DisplayName(operand), problem);
        return false;
    }
    // Checked before any output exists, so that a file in another format is refused with nothing written.
    CMPHEADER header;
    int result = IsCmpFile(input.file.handle(), &header);
    if (result != CMP_OK) {
        ReportProblem(input.displayName, DescribeCodecResult(result, CodecTask::kExpand));
        return false;
    }
    OutputFile output;
    if (!output.Open(target, input, commandLine.force, &problem)) {
        ReportProblem(input.displayName, problem);
        return false;
    }
    {
        CodecSession session(input.displayName, input.size);
        result = DecompressFile32(input.file.handle(), output.handle(), &header, 0);
    }
    if (result != CMP_OK) {
        ReportProblem(input.displayName, DescribeCodecResult(result, CodecTask::kExpand));
        return false;
    }
    if (!output.Commit(&problem)) {
        ReportProblem(input.displayName, problem);
        return false;
    }
    return true;
}

int RunExpand(const CommandLine& commandLine) {
    return RunOnEachInput("expand", commandLine, ExpandOne);
}

}  // namespace

const Command kExpandCommand = {
    "expand",
    "expand FILE... [-d DIR | -o OUT] [-f]",
    "Writes the uncompressed contents of each compressed FILE; a file that is not in the\n"
    "compressed format is refused. A compressed name has lost the last character of the\n"
    "original, so without -o the output is named only where one name is possible:\n"
    "NAME._ becomes NAME, NAME.X_ becomes NAME.X (beside FILE, or in DIR with -d).\n"
    "Any other name needs -o OUT: _SETUP.EX_ may stand for _SETUP.EXE as well as _SETUP.EX.",
    kOptionDirectory | kOptionOutput | kOptionForce,
    1,
    0,
    RunExpand,
};

}  // namespace zs::zemcmp
