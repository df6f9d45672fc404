// zemcmp compress: writes each file in the compressed format under its compressed name.
#include "command/command.h"
#include "compress/cmpfile.h"
#include "files/codec_session.h"
#include "files/file_command.h"
#include "files/input_file.h"
#include "files/output_file.h"
#include "files/output_names.h"

namespace zs::zemcmp {
namespace {

bool CompressTarget(const std::string& operand, const CommandLine& commandLine, std::string* path,
                    std::string*) {
    *path = !commandLine.output.empty() ? commandLine.output
                                        : CompressedOutputPath(operand, commandLine.directory);
    return true;
}

void CompressOne(const std::string& operand, const std::string& target, const CommandLine& commandLine,
                 JobCodec& codec, FileOutcome* outcome) {
    InputFile input;
    if (!OpenInput(operand, &input, &outcome->problem)) return;
    outcome->inputBytes = input.size;
    if (input.size > kLargestInput) {
        outcome->problem = "is 4 GiB or larger (" + std::to_string(input.size) +
                           " bytes); the compressed format stores sizes in 32 bits";
        return;
    }
    OutputFile output;
    if (!output.Open(target, input, commandLine.force, &outcome->problem)) return;
    codec.Describe(input.displayName, input.size);
    // The 25 bytes after the signature carry nothing; zeros keep the output reproducible.
    CMPHEADER header{};
    int result = codec.Compress(input.file.handle(), output.handle(), &header);
    if (result == CMP_BODY_TRUNCATED) {
        outcome->problem = "holds fewer bytes than its size of " + std::to_string(input.size) + " says (" +
                           std::to_string(codec.BytesRead()) +
                           " could be read; did it change while being read?)";
        return;
    }
    if (result != CMP_OK) {
        outcome->problem = DescribeCodecResult(result, CodecTask::kCompress);
        return;
    }
    // The length field holds the size the file reported: a file that held more must not pass as done.
    if (!InputMatchedItsSize(input, codec.BytesRead(), &outcome->problem)) return;
    outcome->outputSizeKnown = output.WrittenSize(&outcome->outputBytes);
    outcome->outputName = output.DisplayName();
    if (!output.Commit(&outcome->problem)) return;
    outcome->ok = true;
}

int RunCompress(const CommandLine& commandLine) {
    return RunOnEachInput({"compress", CompressTarget, CompressOne}, commandLine);
}

}  // namespace

const Command kCompressCommand = {
    "compress",
    "compress FILE... [-d DIR | -o OUT] [-f] [-j N] [-v | -q]",
    "Writes each FILE in the compressed format under its compressed name: the last\n"
    "character of the name becomes \"_\" when the extension has three or more characters\n"
    "(_SETUP.EXE -> _SETUP.EX_), otherwise \"_\" is added (SETUP.HL -> SETUP.HL_,\n"
    "README -> README._). The output goes beside FILE, into DIR with -d, or to OUT with -o.\n"
    "A file whose size is not what it holds (files under /proc) is refused; compress it\n"
    "from standard input instead.",
    kOptionDirectory | kOptionOutput | kOptionForce | kOptionJobs | kOptionVerbose | kOptionQuiet,
    1,
    0,
    RunCompress,
};

}  // namespace zs::zemcmp
