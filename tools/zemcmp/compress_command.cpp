// zemcmp compress: writes each file in the compressed format under its compressed name.
#include "codec_session.h"
#include "command.h"
#include "compress/cmpfile.h"
#include "file_command.h"
#include "input_file.h"
#include "output_file.h"
#include "output_names.h"

namespace zs::zemcmp {
namespace {

// The length field is 32 bits, and the codec takes a size of all ones for "no size".
constexpr uint64_t kLargestInput = 0xFFFFFFFEu;

bool CompressOne(const std::string& operand, const CommandLine& commandLine) {
    InputFile input;
    std::string problem;
    if (!OpenInput(operand, &input, &problem)) {
        ReportProblem(DisplayName(operand), problem);
        return false;
    }
    if (input.size > kLargestInput) {
        ReportProblem(input.displayName, "is 4 GiB or larger (" + std::to_string(input.size) +
                                             " bytes); the compressed format stores sizes in 32 bits");
        return false;
    }
    std::string target = !commandLine.output.empty() ? commandLine.output
                                                     : CompressedOutputPath(operand, commandLine.directory);
    OutputFile output;
    if (!output.Open(target, input, commandLine.force, &problem)) {
        ReportProblem(input.displayName, problem);
        return false;
    }
    int result;
    {
        CodecSession session(input.displayName, input.size);
        // The 25 bytes after the signature carry nothing; zeros keep the output reproducible.
        CMPHEADER header{};
        result = CompressFile32(input.file.handle(), output.handle(), &header);
    }
    if (result != CMP_OK) {
        ReportProblem(input.displayName, DescribeCodecResult(result, CodecTask::kCompress));
        return false;
    }
    if (!output.Commit(&problem)) {
        ReportProblem(input.displayName, problem);
        return false;
    }
    return true;
}

int RunCompress(const CommandLine& commandLine) {
    return RunOnEachInput("compress", commandLine, CompressOne);
}

}  // namespace

const Command kCompressCommand = {
    "compress",
    "compress FILE... [-d DIR | -o OUT] [-f]",
    "Writes each FILE in the compressed format under its compressed name: the last\n"
    "character of the name becomes \"_\" when the extension has three or more characters\n"
    "(_SETUP.EXE -> _SETUP.EX_), otherwise \"_\" is added (SETUP.HL -> SETUP.HL_,\n"
    "README -> README._). The output goes beside FILE, into DIR with -d, or to OUT with -o.",
    kOptionDirectory | kOptionOutput | kOptionForce,
    1,
    0,
    RunCompress,
};

}  // namespace zs::zemcmp
