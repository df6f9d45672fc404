// zemcmp test: tells for each file whether it is a compressed file and whether its body decodes completely.
#include <cstdio>

#include "command/command.h"
#include "compress/cmpfile.h"
#include "compress/file_handle.h"
#include "files/codec_session.h"
#include "files/file_command.h"
#include "files/input_file.h"
#include "files/parallel_files.h"
#include "text/ansi_text.h"

namespace zs::zemcmp {
namespace {

struct Verdict {
    bool good = false;
    std::string text;  // the line after "NAME: "
    uint64_t compressedBytes = 0;
    uint64_t uncompressedBytes = 0;
};

// The UncompressedSize field that follows the header; the file stands just after the header.
bool ReadUncompressedSize(const OpenFile& file, uint32_t* size) {
    unsigned char field[CMP_LENGTH_SIZE];
    if (codec::ReadHandle(file.handle(), field, CMP_LENGTH_SIZE) != static_cast<long>(CMP_LENGTH_SIZE))
        return false;
    *size = static_cast<uint32_t>(field[0]) | static_cast<uint32_t>(field[1]) << 8 |
            static_cast<uint32_t>(field[2]) << 16 | static_cast<uint32_t>(field[3]) << 24;
    return true;
}

// Runs on a worker thread.
void TestOne(const std::string& operand, bool verbose, JobCodec& codec, Verdict* verdict) {
    InputFile input;
    std::string problem;
    if (!OpenInput(operand, &input, &problem)) {
        verdict->text = problem;
        return;
    }
    CMPHEADER header;
    int result = IsCmpFile(input.file.handle(), &header);
    if (result != CMP_OK) {
        verdict->text = DescribeCodecResult(result, CodecTask::kTest);
        return;
    }
    uint32_t size = 0;
    bool sizeKnown = ReadUncompressedSize(input.file, &size);
    std::string described =
        sizeKnown ? "compressed file, " + std::to_string(size) + " bytes uncompressed" : "compressed file";

    // Decode the whole body from the start into a sink: only the codec's verdict matters.
    OpenFile sink;
    if (!RewindFile(input.file, &problem) || !OpenNullSink(&sink, &problem)) {
        verdict->text = described + ", cannot be decoded: " + problem;
        return;
    }
    codec.Describe(input.displayName, input.size);
    result = codec.Decompress(input.file.handle(), sink.handle(), &header, 1);
    if (result != CMP_OK) {
        verdict->text =
            described + ", does not decode completely: " + DescribeCodecResult(result, CodecTask::kTest);
        return;
    }
    verdict->good = true;
    verdict->compressedBytes = input.size;
    verdict->uncompressedBytes = size;
    verdict->text = described + ", decodes completely";
    if (verbose) {
        std::string ratio = Percentage(input.size, size);
        verdict->text +=
            " (" + std::to_string(input.size) + " bytes" + (ratio.empty() ? "" : ", ratio " + ratio) + ")";
    }
}

int RunTest(const CommandLine& commandLine) {
    const std::vector<std::string>& operands = commandLine.operands;
    std::vector<Verdict> verdicts(operands.size());
    FileJobOptions options;
    options.workers = commandLine.jobs;
    options.showProgress = !commandLine.quiet;
    size_t good = 0;
    uint64_t compressed = 0, uncompressed = 0;
    RunFileJobs(
        operands.size(), options,
        [&](size_t i, JobCodec& codec) { TestOne(operands[i], commandLine.verbose, codec, &verdicts[i]); },
        [&](size_t i) {
            const Verdict& verdict = verdicts[i];
            if (verdict.good) {
                ++good;
                compressed += verdict.compressedBytes;
                uncompressed += verdict.uncompressedBytes;
            }
            // -q: only the files that fail.
            if (!commandLine.quiet || !verdict.good) {
                std::printf("%s\n", TerminalText(DisplayName(operands[i]) + ": " + verdict.text).c_str());
            }
        });
    if (commandLine.verbose) {
        std::string ratio = Percentage(compressed, uncompressed);
        std::printf("total: %zu %s, %zu %s completely%s\n", operands.size(),
                    operands.size() == 1 ? "file" : "files", good, good == 1 ? "decodes" : "decode",
                    ratio.empty() ? "" : (", ratio " + ratio).c_str());
    }
    return good == operands.size() ? kExitOk : kExitFailed;
}

}  // namespace

const Command kTestCommand = {
    "test",
    "test FILE... [-j N] [-v | -q]",
    "Tells for each FILE, one line each on standard output, whether it is in the compressed\n"
    "format, its uncompressed size and whether its compressed data decodes completely.\n"
    "Nothing is written to disk.",
    kOptionJobs | kOptionVerbose | kOptionQuiet,
    1,
    0,
    RunTest,
};

}  // namespace zs::zemcmp
