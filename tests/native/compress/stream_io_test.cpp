// The buffered streams: the slot table's limit and the buffer boundaries, observed through the file.
#include "compress/stream_io.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "codec_test_util.h"
#include "compress/codec_control.h"

#include <memory>

namespace zs::codec {
namespace {

using test::Bytes;
using test::TempFile;

off_t FileSize(int fd) {
    struct stat st;
    fstat(fd, &st);
    return st.st_size;
}

void RecordRead(void* context, uint64_t bytesRead) {
    static_cast<std::vector<uint64_t>*>(context)->push_back(bytesRead);
}

// Each test works on a codec state of its own, as a tool coding several files at once does.
class StreamTest : public ::testing::Test {
  protected:
    StreamTest() : owned_(NewCodecState(), DeleteCodecState), state(*owned_) {}

  private:
    std::unique_ptr<CodecState, void (*)(CodecState*)> owned_;

  protected:
    CodecState& state;
};
using StreamTable = StreamTest;
using ReadStream = StreamTest;
using WriteStream = StreamTest;

TEST_F(StreamTable, SeventeenthOpenStreamIsRefusedUntilOneCloses) {
    TempFile file;
    std::vector<int> open;
    for (int i = 0; i < MAX_STREAMS; ++i) {
        int slot = OpenStream(state, file.fd(), STREAM_WRITE, 16);
        ASSERT_EQ(slot, i);
        open.push_back(slot);
    }
    EXPECT_EQ(OpenStream(state, file.fd(), STREAM_WRITE, 16), -1);
    EXPECT_EQ(CloseStream(state, open[5]), 0);
    EXPECT_EQ(OpenStream(state, file.fd(), STREAM_WRITE, 16), 5) << "the first free slot is reused";
    for (int slot : open) CloseStream(state, slot);
}

TEST_F(ReadStream, FileOfExactlyOneBufferNeedsOneMoreReadToSeeItsEnd) {
    Bytes data = test::RandomBytes(STREAM_BUFFER_SIZE, 3);
    TempFile file(data);
    std::vector<uint64_t> reads;
    SetProgressHook(state, RecordRead, &reads);
    int slot = OpenStream(state, file.fd(), STREAM_READ, STREAM_BUFFER_SIZE);
    ASSERT_GE(slot, 0);
    bool same = true;
    for (uint8_t expected : data) same = same && ReadStreamByte(state, slot) == expected;
    EXPECT_TRUE(same);
    EXPECT_EQ(reads, (std::vector<uint64_t>{STREAM_BUFFER_SIZE}));
    EXPECT_EQ(ReadStreamByte(state, slot), -1);
    EXPECT_EQ(reads.size(), 2u) << "the refill after the last byte reads once and finds nothing";
    EXPECT_EQ(ReadStreamByte(state, slot), -1);
    EXPECT_EQ(reads.size(), 2u) << "the end is remembered";
    SetProgressHook(state, nullptr, nullptr);
    CloseStream(state, slot);
}

TEST_F(ReadStream, ShortFileEndsWithoutAnotherRead) {
    TempFile file(test::ToBytes("xyz"));
    std::vector<uint64_t> reads;
    SetProgressHook(state, RecordRead, &reads);
    int slot = OpenStream(state, file.fd(), STREAM_READ, STREAM_BUFFER_SIZE);
    EXPECT_EQ(ReadStreamByte(state, slot), 'x');
    EXPECT_EQ(ReadStreamByte(state, slot), 'y');
    EXPECT_EQ(ReadStreamByte(state, slot), 'z');
    EXPECT_EQ(ReadStreamByte(state, slot), -1);
    EXPECT_EQ(reads.size(), 1u);
    SetProgressHook(state, nullptr, nullptr);
    CloseStream(state, slot);
}

TEST_F(WriteStream, HoldsAFullBufferUntilTheNextByteOrTheClose) {
    TempFile file;
    int slot = OpenStream(state, file.fd(), STREAM_WRITE, STREAM_BUFFER_SIZE);
    for (uint32_t i = 0; i < STREAM_BUFFER_SIZE; ++i) WriteStreamByte(state, slot, static_cast<uint8_t>(i));
    EXPECT_EQ(FileSize(file.fd()), 0);
    WriteStreamByte(state, slot, 0xAB);
    EXPECT_EQ(FileSize(file.fd()), static_cast<off_t>(STREAM_BUFFER_SIZE));
    EXPECT_EQ(CloseStream(state, slot), 0);
    EXPECT_EQ(FileSize(file.fd()), static_cast<off_t>(STREAM_BUFFER_SIZE) + 1);
    EXPECT_EQ(file.Contents().back(), 0xAB);
}

TEST_F(WriteStream, FailedWriteIsReportedAtCloseAndStaysInsideTheBuffer) {
    int readOnly = ::open("/dev/null", O_RDONLY);
    int slot = OpenStream(state, readOnly, STREAM_WRITE, 64);
    for (int i = 0; i < 1000; ++i) WriteStreamByte(state, slot, static_cast<uint8_t>(i));
    EXPECT_EQ(CloseStream(state, slot), STREAM_CLOSE_WRITE_FAILED);
    ::close(readOnly);
}

}  // namespace
}  // namespace zs::codec
