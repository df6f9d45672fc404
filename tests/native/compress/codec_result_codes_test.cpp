// Every result code of the three functions, and the failures that must not pass for success: a cut or
// unreadable body, a failed write, a source shorter than its size, no free stream slot.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <random>

#include "codec_test_util.h"
#include "compress/codec_state.h"
#include "compress/stream_io.h"
#include "test_corpus.h"

namespace zs::test {
namespace {

class ResultCodes : public ::testing::Test {
  protected:
    void SetUp() override { codec::ResetCodecState(); }
};

Bytes ValidFile(const Bytes& input) {
    CodecRun run = CompressWhole(input);
    EXPECT_EQ(run.result, CMP_OK);
    return run.output;
}

// Regression: a null header pointer was written through, and one file as input and output had the header
// written over its own source. Both are refused before anything is read or written.
TEST_F(ResultCodes, ANullHeaderAndOneFileAsInputAndOutputAreRefused) {
    Bytes input = TextLike(3000, 9);
    TempFile file(input), out;
    EXPECT_EQ(CompressFile32(file.fd(), out.fd(), nullptr), CMP_HEADER_WRITE_FAILED);
    EXPECT_EQ(DecompressFile32(file.fd(), out.fd(), nullptr, 1), CMP_HEADER_READ_SHORT);
    EXPECT_EQ(IsCmpFile(file.fd(), nullptr), CMP_NOT_COMPRESSED);
    EXPECT_TRUE(out.Contents().empty());

    CMPHEADER header{};
    EXPECT_EQ(CompressFile32(file.fd(), file.fd(), &header), CMP_SAME_FILE);
    // A second descriptor of the same file is the same file too.
    int again = ::open(("/proc/self/fd/" + std::to_string(file.fd())).c_str(), O_RDWR);
    ASSERT_GE(again, 0);
    EXPECT_EQ(CompressFile32(file.fd(), again, &header), CMP_SAME_FILE);
    EXPECT_EQ(DecompressFile32(again, file.fd(), &header, 1), CMP_SAME_FILE);
    ::close(again);
    EXPECT_TRUE(file.Contents() == input);
}

// --- IsCmpFile ---

TEST_F(ResultCodes, IsCmpFileAcceptsTheSignatureAndLeavesThePositionAfterTheHeader) {
    Bytes input = TextLike(5000, 1);
    TempFile file(ValidFile(input)), out;
    CMPHEADER header{};
    ASSERT_EQ(IsCmpFile(file.fd(), &header), CMP_OK);
    EXPECT_STREQ(header.Signature, "ZemC32");
    ASSERT_EQ(DecompressFile32(file.fd(), out.fd(), &header, 0), CMP_OK);
    EXPECT_TRUE(out.Contents() == input);
}

TEST_F(ResultCodes, ReadingTheHeaderAgainAfterIsCmpFileFindsNoSignature) {
    TempFile file(ValidFile(TextLike(5000, 2))), out;
    CMPHEADER header{};
    ASSERT_EQ(IsCmpFile(file.fd(), &header), CMP_OK);
    EXPECT_EQ(DecompressFile32(file.fd(), out.fd(), &header, 1), CMP_NOT_COMPRESSED);
}

TEST_F(ResultCodes, FileShorterThanAHeaderIsNotCompressed) {
    Bytes shortFile = WithHeader({});
    shortFile.resize(31);
    TempFile file(shortFile), out;
    CMPHEADER header{};
    EXPECT_EQ(IsCmpFile(file.fd(), &header), CMP_NOT_COMPRESSED);
    file.Rewind();
    EXPECT_EQ(DecompressFile32(file.fd(), out.fd(), &header, 1), CMP_HEADER_READ_SHORT);
}

TEST_F(ResultCodes, SeventhSignatureByteMustBeZero) {
    Bytes bad = ValidFile(ToBytes("hello"));
    bad[6] = '!';
    TempFile file(bad), out;
    CMPHEADER header{};
    EXPECT_EQ(IsCmpFile(file.fd(), &header), CMP_NOT_COMPRESSED);
    file.Rewind();
    EXPECT_EQ(DecompressFile32(file.fd(), out.fd(), &header, 1), CMP_NOT_COMPRESSED);
    EXPECT_TRUE(out.Contents().empty());
}

TEST_F(ResultCodes, IsCmpFileTellsAShortReadFromAShortFile) {
    TempFile file(ValidFile(TextLike(100, 3)));
    ::lseek(file.fd(), -10, SEEK_END);
    CMPHEADER header{};
    EXPECT_EQ(IsCmpFile(file.fd(), &header), CMP_HEADER_READ_SHORT);
}

TEST_F(ResultCodes, IsCmpFileWithoutAFileSizeOrReadableHandle) {
    CMPHEADER header{};
    EXPECT_EQ(IsCmpFile(-1, &header), CMP_NO_FILE_SIZE);
    int writeOnly = ::open("/dev/null", O_WRONLY);
    EXPECT_EQ(IsCmpFile(writeOnly, &header), CMP_NOT_COMPRESSED);
    ::close(writeOnly);
}

// --- CompressFile32 ---

// Runs in a child process: compresses with writes limited to `limit` bytes per file and exits with the
// result.
[[noreturn]] void CompressUnderFileSizeLimit(int source, rlim_t limit) {
    std::signal(SIGXFSZ, SIG_IGN);
    TempFile destination;
    rlimit fileSize{limit, limit};
    setrlimit(RLIMIT_FSIZE, &fileSize);
    CMPHEADER header{};
    std::_Exit(CompressFile32(source, destination.fd(), &header));
}

TEST_F(ResultCodes, CompressKeepsTheCallersHeaderBytesAfterTheSignature) {
    TempFile source(ToBytes("payload")), destination;
    CMPHEADER header;
    for (int i = 0; i < 32; ++i)
        reinterpret_cast<unsigned char*>(&header)[i] = static_cast<unsigned char>(0xA0 + i);
    ASSERT_EQ(CompressFile32(source.fd(), destination.fd(), &header), CMP_OK);
    Bytes written = destination.Contents();
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(written.data())), "ZemC32");
    for (int i = 7; i < 32; ++i) EXPECT_EQ(written[static_cast<size_t>(i)], 0xA0 + i);
    EXPECT_STREQ(header.Signature, "ZemC32") << "the signature is also copied into the caller's record";
}

TEST_F(ResultCodes, CompressReportsAHeaderThatCannotBeWritten) {
    TempFile source(ToBytes("payload"));
    int readOnly = ::open("/dev/null", O_RDONLY);
    CMPHEADER header{};
    EXPECT_EQ(CompressFile32(source.fd(), readOnly, &header), CMP_HEADER_WRITE_FAILED);
    ::close(readOnly);
}

TEST_F(ResultCodes, CompressReportsASourceShorterThanItsSize) {
    // The length field is the whole file's size, the body what is left after the current position.
    TempFile source(TextLike(3000, 4)), destination;
    ::lseek(source.fd(), 100, SEEK_SET);
    CMPHEADER header{};
    EXPECT_EQ(CompressFile32(source.fd(), destination.fd(), &header), CMP_BODY_TRUNCATED);
}

// Regression: the header was written before the size was asked for, and a directory (whose read fails) was
// compressed as an empty file with success. A source without a size leaves the destination untouched.
TEST_F(ResultCodes, CompressRefusesASourceWithoutASizeBeforeWritingAnything) {
    char directoryPath[] = "/tmp/zs-codec-directory-XXXXXX";
    ASSERT_NE(::mkdtemp(directoryPath), nullptr);
    int directory = ::open(directoryPath, O_RDONLY | O_DIRECTORY);
    TempFile allOnes;  // a size of all ones is how Windows says "no size"
    ASSERT_EQ(::ftruncate(allOnes.fd(), 0xFFFFFFFF), 0);
    for (int source : {-1, directory, allOnes.fd()}) {
        TempFile destination;
        CMPHEADER header{};
        EXPECT_EQ(CompressFile32(source, destination.fd(), &header), CMP_NO_FILE_SIZE) << source;
        EXPECT_TRUE(destination.Contents().empty()) << source;
    }
    CMPHEADER header{};
    EXPECT_EQ(IsCmpFile(directory, &header), CMP_NO_FILE_SIZE);
    ::close(directory);
    ::rmdir(directoryPath);
}

TEST_F(ResultCodes, CompressReportsABodyWriteThatFails) {
    // A file-size limit lets the header and the length field through and stops the first stream write.
    TempFile source(RandomBytes(200000, 5));
    EXPECT_EXIT(CompressUnderFileSizeLimit(source.fd(), 100), ::testing::ExitedWithCode(CMP_WRITE_FAILED),
                "");
}

// --- DecompressFile32 ---

TEST_F(ResultCodes, DecompressReportsAWriteThatFails) {
    TempFile source(ValidFile(RandomBytes(100000, 6)));
    int full = ::open("/dev/full", O_WRONLY);
    ASSERT_GE(full, 0);
    CMPHEADER header{};
    EXPECT_EQ(DecompressFile32(source.fd(), full, &header, 1), CMP_WRITE_FAILED);
    ::close(full);
}

TEST_F(ResultCodes, ZeroLengthBodyExpandsToNothing) {
    CodecRun run = DecompressWhole(WithHeader({0, 0, 0, 0}));
    EXPECT_EQ(run.result, CMP_OK);
    EXPECT_TRUE(run.output.empty());
}

TEST_F(ResultCodes, MissingOrPartialLengthFieldIsATruncatedBody) {
    EXPECT_EQ(DecompressWhole(WithHeader({})).result, CMP_BODY_TRUNCATED);
    EXPECT_EQ(DecompressWhole(WithHeader({5, 0})).result, CMP_BODY_TRUNCATED);
}

TEST_F(ResultCodes, EveryCutOfTheBodyIsReportedAndNeverOverwritesTheLength) {
    Bytes input = TextLike(3000, 7);
    Bytes whole = ValidFile(input);
    for (size_t keep = CMP_HEADER_SIZE + 4; keep < whole.size(); ++keep) {
        Bytes cut(whole.begin(), whole.begin() + static_cast<long>(keep));
        CodecRun run = DecompressWhole(cut);
        ASSERT_EQ(run.result, CMP_BODY_TRUNCATED) << "cut to " << keep << " bytes";
        ASSERT_LT(run.output.size(), input.size());
        ASSERT_TRUE(std::equal(run.output.begin(), run.output.end(), input.begin()))
            << "what was decoded before the cut is the start of the input";
    }
}

TEST_F(ResultCodes, MatchReachingPastTheLengthIsCutThereAndReported) {
    // Ten spaces as one match of length 10, under a length field of 5.
    CodecRun run = DecompressWhole(WithHeader({0x05, 0x00, 0x00, 0x00, 0x93, 0x00, 0x00}));
    EXPECT_EQ(run.result, CMP_BODY_DAMAGED);
    EXPECT_EQ(run.output, Bytes(5, ' '));
}

TEST_F(ResultCodes, DamagedBodiesNeverYieldMoreThanTheLength) {
    Bytes input = TextLike(20000, 8);
    Bytes whole = ValidFile(input);
    std::mt19937 rng(8);
    for (int trial = 0; trial < 300; ++trial) {
        Bytes damaged = whole;
        size_t at = CMP_HEADER_SIZE + 4 + rng() % (whole.size() - CMP_HEADER_SIZE - 4);
        damaged[at] ^= static_cast<uint8_t>(1u << (rng() % 8));
        CodecRun run = DecompressWhole(damaged);
        ASSERT_LE(run.output.size(), input.size());
        if (run.result == CMP_OK) {
            ASSERT_EQ(run.output.size(), input.size());
        }
    }
}

TEST_F(ResultCodes, HugeLengthOverAShortBodyStopsAtTheEndOfTheInput) {
    CodecRun run = DecompressWhole(WithHeader({0xFF, 0xFF, 0xFF, 0xFF, 0xF6, 0xFB}));
    EXPECT_EQ(run.result, CMP_BODY_TRUNCATED);
    EXPECT_LT(run.output.size(), 16u);
}

TEST_F(ResultCodes, NoFreeStreamSlotFailsBothDirections) {
    TempFile plain(ToBytes("abcdef")), packed(ValidFile(ToBytes("abcdef"))), out1, out2, spare;
    std::vector<int> slots;
    for (int i = 0; i < codec::MAX_STREAMS; ++i)
        slots.push_back(codec::OpenStream(codec::g_codec, spare.fd(), codec::STREAM_WRITE, 8));
    CMPHEADER header{};
    EXPECT_EQ(CompressFile32(plain.fd(), out1.fd(), &header), CMP_STREAM_OPEN_FAILED);
    EXPECT_EQ(DecompressFile32(packed.fd(), out2.fd(), &header, 1), CMP_STREAM_OPEN_FAILED);
    for (int slot : slots) codec::CloseStream(codec::g_codec, slot);
    EXPECT_TRUE(out2.Contents().empty());
}

}  // namespace
}  // namespace zs::test
