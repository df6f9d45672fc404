#include "pe/compressed_image.h"

#include <memory>

#include "compress/cmpfile.h"
#include "compress/codec_control.h"
#include "compress/file_handle.h"
#include "files/codec_session.h"
#include "platform/platform.h"

namespace zs::zemcmp {
namespace {

// The headers of a program lie in its first kilobytes; the first expansion covers them. Only a program whose
// headers stand further in (the loader takes a PE header up to 256 MiB into the file) is expanded again, as
// far as they reach.
constexpr uint32_t kFirstExpansion = 64 * 1024;

using StatePointer = std::unique_ptr<codec::CodecState, void (*)(codec::CodecState*)>;

// The expanded start of the compressed file, grown on demand.
class ExpandedStart {
  public:
    explicit ExpandedStart(const OpenFile& source) : source_(source) {}

    // The expanded size, from the length field after the header.
    bool ReadSize(uint64_t* size) {
        CMPHEADER header;
        int result = IsCmpFile(source_.handle(), &header);
        if (result != CMP_OK) return Fail(DescribeCodecResult(result, CodecTask::kExpand));
        unsigned char field[CMP_LENGTH_SIZE];
        if (codec::ReadHandle(source_.handle(), field, CMP_LENGTH_SIZE) !=
            static_cast<long>(CMP_LENGTH_SIZE)) {
            return Fail(DescribeCodecResult(CMP_BODY_TRUNCATED, CodecTask::kExpand));
        }
        size_ = field[0] | uint32_t{field[1]} << 8 | uint32_t{field[2]} << 16 | uint32_t{field[3]} << 24;
        *size = size_;
        return true;
    }

    bool Read(uint64_t offset, uint32_t count, std::string* out) {
        const uint64_t end = offset + count;
        if (end > size_ || !Expand(end)) return false;
        out->assign(count, '\0');
        std::string error;
        if (!SeekFile(expanded_, offset, &error)) return Fail(error);
        if (count > 0 &&
            codec::ReadHandle(expanded_.handle(), &(*out)[0], count) != static_cast<long>(count)) {
            return Fail("cannot read back its expanded start");
        }
        return true;
    }

    const std::string& failure() const { return failure_; }

  private:
    bool Fail(const std::string& why) {
        failure_ = why;
        return false;
    }

    // Expands the file from its start up to `end` (or more), unless that much is there already.
    bool Expand(uint64_t end) {
        if (end <= available_) return true;
        const uint32_t limit = static_cast<uint32_t>(end > kFirstExpansion ? end : kFirstExpansion);
        std::string error;
        OpenFile expanded;
        if (!RewindFile(source_, &error) || !OpenAnonymousTempFile(&expanded, &error)) return Fail(error);
        if (!state_) state_ = StatePointer(codec::NewCodecState(), codec::DeleteCodecState);
        if (!state_) return Fail(DescribeCodecResult(CMP_STREAM_OPEN_FAILED, CodecTask::kExpand));
        codec::ResetCodecState(*state_);
        CMPHEADER header;
        int result = codec::DecompressHeadWith(*state_, source_.handle(), expanded.handle(), &header, limit);
        if (result != CMP_OK) return Fail(DescribeCodecResult(result, CodecTask::kExpand));
        expanded_ = std::move(expanded);
        available_ = limit < size_ ? limit : size_;
        return true;
    }

    const OpenFile& source_;
    uint32_t size_ = 0;
    OpenFile expanded_;
    uint64_t available_ = 0;
    StatePointer state_{nullptr, codec::DeleteCodecState};
    std::string failure_;
};

}  // namespace

std::optional<PeImage> ReadCompressedImageHeaders(const std::string& path, std::string* problem) {
    OpenFile source;
    if (!OpenForReading(path, &source, problem)) return std::nullopt;
    ExpandedStart start(source);
    uint64_t size = 0;
    if (!start.ReadSize(&size)) {
        *problem = start.failure();
        return std::nullopt;
    }
    std::optional<PeImage> image =
        PeImage::ParseHeaders([&start](uint64_t offset, uint32_t count,
                                       std::string* out) { return start.Read(offset, count, out); },
                              size, problem);
    if (!image && !start.failure().empty()) *problem = start.failure();
    return image;
}

}  // namespace zs::zemcmp
