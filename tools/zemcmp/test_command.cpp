// zemcmp test: tells for each file whether it is a compressed file and whether its body decodes completely.
#include <cstdio>

#include "codec_session.h"
#include "command.h"
#include "compress/cmpfile.h"
#include "compress/file_handle.h"
#include "input_file.h"

namespace zs::zemcmp {
namespace {

void PrintVerdict(const std::string& name, const std::string& verdict) {
    std::printf("%s: %s\n", name.c_str(), verdict.c_str());
}

// The UncompressedSize field that follows the header; the file stands just after the header.
bool ReadUncompressedSize(const OpenFile& file, uint32_t* size) {
    unsigned char field[CMP_LENGTH_SIZE];
    if (codec::ReadHandle(file.handle(), field, CMP_LENGTH_SIZE) != static_cast<long>(CMP_LENGTH_SIZE))
        return false;
    *size = static_cast<uint32_t>(field[0]) | static_cast<uint32_t>(field[1]) << 8 |
            static_cast<uint32_t>(field[2]) << 16 | static_cast<uint32_t>(field[3]) << 24;
    return true;
}

bool TestOne(const std::string& operand) {
    InputFile input;
    std::string problem;
    if (!OpenInput(operand, &input, &problem)) {
        PrintVerdict(DisplayName(operand), problem);
        return false;
    }
    CMPHEADER header;
    int result = IsCmpFile(input.file.handle(), &header);
    if (result != CMP_OK) {
        PrintVerdict(input.displayName, DescribeCodecResult(result, CodecTask::kTest));
        return false;
    }
    uint32_t size = 0;
    bool sizeKnown = ReadUncompressedSize(input.file, &size);
    std::string described =
        sizeKnown ? "compressed file, " + std::to_string(size) + " bytes uncompressed" : "compressed file";

    // Decode the whole body from the start into a sink: only the codec's verdict matters.
    OpenFile sink;
    if (!RewindFile(input.file, &problem) || !OpenNullSink(&sink, &problem)) {
        PrintVerdict(input.displayName, described + ", cannot be decoded: " + problem);
        return false;
    }
    {
        CodecSession session(input.displayName, input.size);
        result = DecompressFile32(input.file.handle(), sink.handle(), &header, 1);
    }
    if (result != CMP_OK) {
        PrintVerdict(input.displayName, described + ", does not decode completely: " +
                                            DescribeCodecResult(result, CodecTask::kTest));
        return false;
    }
    PrintVerdict(input.displayName, described + ", decodes completely");
    return true;
}

int RunTest(const CommandLine& commandLine) {
    bool allGood = true;
    for (const std::string& operand : commandLine.operands) allGood = TestOne(operand) && allGood;
    return allGood ? kExitOk : kExitFailed;
}

}  // namespace

const Command kTestCommand = {
    "test",
    "test FILE...",
    "Tells for each FILE, one line each on standard output, whether it is in the compressed\n"
    "format, its uncompressed size and whether its compressed data decodes completely.\n"
    "Nothing is written to disk.",
    0,
    1,
    0,
    RunTest,
};

}  // namespace zs::zemcmp
