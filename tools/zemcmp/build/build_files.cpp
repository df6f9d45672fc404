#include "build/build_files.h"

#include <vector>

#include "compress/cmpfile.h"
#include "compress/file_handle.h"
#include "files/codec_session.h"
#include "files/input_file.h"
#include "files/output_file.h"
#include "files/output_names.h"

namespace zs::zemcmp {
namespace {

constexpr uint32_t kCopyBuffer = 1u << 16;

// Reads the input to its end from where it stands, hashing it when `hash` is given and writing it to `output`
// unless that is OpenFile::kNone.
bool Stream(const InputFile& input, Sha256* hash, int output, uint64_t* bytes, std::string* problem) {
    std::vector<char> buffer(kCopyBuffer);
    for (;;) {
        long got = codec::ReadHandle(input.file.handle(), buffer.data(), kCopyBuffer);
        if (got < 0) {
            *problem = "cannot be read";
            return false;
        }
        if (got == 0) return true;
        *bytes += static_cast<uint64_t>(got);
        if (hash != nullptr) hash->Update(buffer.data(), static_cast<size_t>(got));
        if (output != OpenFile::kNone &&
            codec::WriteHandle(output, buffer.data(), static_cast<uint32_t>(got)) != got) {
            *problem = "cannot write the output (disk full or write error)";
            return false;
        }
    }
}

bool Compress(InputFile& input, OutputFile& output, JobCodec& codec, std::string* problem) {
    if (input.size > kLargestInput) {
        *problem = "is 4 GiB or larger (" + std::to_string(input.size) +
                   " bytes); the compressed format stores sizes in 32 bits: keep it plain (--plain)";
        return false;
    }
    CMPHEADER header{};  // the 25 bytes after the signature carry nothing; zeros keep the output reproducible
    int result = codec.Compress(input.file.handle(), output.handle(), &header);
    if (result != CMP_OK) {
        *problem = DescribeCodecResult(result, CodecTask::kCompress);
        return false;
    }
    return InputMatchedItsSize(input, codec.BytesRead(), problem);
}

}  // namespace

void BuildFile(const PlannedFile& file, const std::string& directory, JobCodec& codec, BuiltFile* built) {
    InputFile input;
    std::string& problem = built->problem;
    if (!OpenInput(file.source, &input, &problem)) return;
    built->inputBytes = input.size;
    const std::string target = JoinPath(directory, file.output);
    OutputFile output;
    if (!output.Open(target, input, false, &problem)) return;
    Sha256 hash;
    uint64_t read = 0;
    if (file.compress) {
        if (!Compress(input, output, codec, &problem)) return;
        // The seal is of the contents as setup.exe stages them: the file as it is, read once more.
        if (file.startUp &&
            (!RewindFile(input.file, &problem) || !Stream(input, &hash, OpenFile::kNone, &read, &problem)))
            return;
    } else if (!Stream(input, file.startUp ? &hash : nullptr, output.handle(), &read, &problem)) {
        return;
    }
    const bool streamed = !file.compress || file.startUp;
    if (streamed && read != input.size) {
        problem = "holds " + std::to_string(read) + " bytes, not the " + std::to_string(input.size) +
                  " its size says (did it change while being read?)";
        return;
    }
    output.WrittenSize(&built->outputBytes);
    if (!output.Commit(&problem)) return;
    CopyModificationTime(file.source, target);
    if (file.startUp) hash.Final(built->digest);
    built->ok = true;
}

}  // namespace zs::zemcmp
