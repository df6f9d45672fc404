// Every input compresses to exactly the bytes that the plain reference steps produce and expands back to
// itself: small sizes around the look-ahead, the stream buffer boundaries, files of several MB, model
// rebuilds, codes longer than 16 bits, and several files coded one after the other in one process.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <thread>

#include "codec_test_util.h"
#include "compress/codec_control.h"
#include "reference_codec.h"
#include "test_corpus.h"

namespace zs::test {
namespace {

struct Input {
    const char* name;
    std::function<Bytes()> make;
};

std::vector<Input> Inputs() {
    return {
        {"one_byte", [] { return Bytes{0x7F}; }},
        {"two_bytes_same",
         [] {
             return Bytes{'x', 'x'};
         }},
        {"random_59", [] { return RandomBytes(59, 1); }},
        {"random_60", [] { return RandomBytes(60, 2); }},
        {"random_61", [] { return RandomBytes(61, 3); }},
        {"spaces_200", [] { return Bytes(200, ' '); }},
        {"random_65499", [] { return RandomBytes(65499, 4); }},
        {"random_65500", [] { return RandomBytes(65500, 5); }},
        {"random_65501", [] { return RandomBytes(65501, 6); }},
        {"text_65499", [] { return TextLike(65499, 7); }},
        {"text_65500", [] { return TextLike(65500, 8); }},
        {"text_65501", [] { return TextLike(65501, 9); }},
        {"text_131000", [] { return TextLike(131000, 10); }},
        {"text_3MB", [] { return TextLike(3 << 20, 11); }},
        {"random_1MB", [] { return RandomBytes(1 << 20, 12); }},
        {"zeros_300000", [] { return Bytes(300000, 0); }},
        {"own_executable", [] { return OwnExecutable(); }},
    };
}

class RoundTrip : public ::testing::TestWithParam<Input> {
  protected:
    void SetUp() override {
        codec::ResetCodecState();
        ResetReferenceState();
    }
};

TEST_P(RoundTrip, CompressesLikeTheReferenceAndExpandsBack) {
    Bytes input = GetParam().make();
    CodecRun compressed = CompressBody(input);
    ASSERT_EQ(compressed.result, CMP_OK);
    Bytes expected = ReferenceCompress(input);
    ASSERT_EQ(compressed.output.size(), expected.size());
    ASSERT_TRUE(compressed.output == expected) << "compressed bytes differ from the reference";

    CodecRun expanded = DecompressWhole(WithHeader(compressed.output));
    ASSERT_EQ(expanded.result, CMP_OK);
    ASSERT_EQ(expanded.output.size(), input.size());
    EXPECT_TRUE(expanded.output == input);
}

INSTANTIATE_TEST_SUITE_P(Inputs, RoundTrip, ::testing::ValuesIn(Inputs()),
                         [](const auto& info) { return std::string(info.param.name); });

class CodecSequence : public ::testing::Test {
  protected:
    void SetUp() override {
        codec::ResetCodecState();
        ResetReferenceState();
    }
};

TEST_F(CodecSequence, RunOfOneBytePassesTheFirstModelRebuildInStep) {
    // 32,455 symbols reach the first rebuild; a run of one byte yields one symbol per 60 bytes.
    Bytes input = SingleByteRun(2200000, 'x');
    CodecRun compressed = CompressBody(input);
    ASSERT_EQ(compressed.result, CMP_OK);
    ReferenceStats stats;
    ResetReferenceState();
    EXPECT_TRUE(ReferenceDecompress(compressed.output, &stats) == input);
    EXPECT_GE(stats.rebuilds, 1);

    CodecRun expanded = DecompressWhole(WithHeader(compressed.output));
    ASSERT_EQ(expanded.result, CMP_OK);
    EXPECT_TRUE(expanded.output == input);
}

TEST_F(CodecSequence, CodesLongerThanSixteenBitsAreWrittenAndReadBack) {
    Bytes input = FibonacciMatchLengths(1000000, 1);
    CodecRun compressed = CompressBody(input);
    ASSERT_EQ(compressed.result, CMP_OK);
    EXPECT_TRUE(compressed.output == ReferenceCompress(input));

    ReferenceStats stats;
    ResetReferenceState();
    EXPECT_TRUE(ReferenceDecompress(compressed.output, &stats) == input);
    EXPECT_GT(stats.longestCode, 16) << "the input no longer reaches codes past 16 bits";

    CodecRun expanded = DecompressWhole(WithHeader(compressed.output));
    ASSERT_EQ(expanded.result, CMP_OK);
    EXPECT_TRUE(expanded.output == input);
}

TEST_F(CodecSequence, FilesCodedOneAfterAnotherMatchTheReferenceSequence) {
    // Window positions from 4036 on keep what the previous file left, in both directions, so short files can
    // code differently after another file; the production codec must carry exactly the same state.
    std::vector<Bytes> files = {TextLike(70000, 21),   Bytes(10, ' '), ToBytes("abcabcabcabc"),
                                RandomBytes(5000, 22), Bytes(90, ' '), TextLike(100, 23)};
    for (const Bytes& file : files) {
        CodecRun compressed = CompressBody(file);
        ASSERT_EQ(compressed.result, CMP_OK);
        ASSERT_TRUE(compressed.output == ReferenceCompress(file));
        CodecRun expanded = DecompressWhole(WithHeader(compressed.output));
        ASSERT_EQ(expanded.result, CMP_OK);
        ASSERT_TRUE(expanded.output == ReferenceDecompress(compressed.output));
        ASSERT_TRUE(expanded.output == file);
    }
}

TEST_F(CodecSequence, ShortFileCodesDifferentlyAfterAnotherUntilTheStateIsReset) {
    // The stale look-ahead bytes past the end of this short input change which of several equally long
    // candidates the search meets first.
    Bytes small = ToBytes("   aab   bbabaabab bab");
    Bytes previous(20000);
    for (size_t i = 0; i < previous.size(); ++i) previous[i] = "ab "[(i * i + i / 7) % 3];

    Bytes fresh = CompressBody(small).output;
    CompressBody(previous);
    Bytes after = CompressBody(small).output;
    EXPECT_FALSE(after == fresh);
    EXPECT_TRUE(DecompressWhole(WithHeader(after)).output == small);

    codec::ResetCodecState();
    EXPECT_TRUE(CompressBody(small).output == fresh);
}

// A tool that codes several files at once gives each thread a codec state of its own; each must code exactly
// as the static state of a fresh process does, whatever the other threads do meanwhile.
TEST(CodecStates, StatesOfTheirOwnCodeLikeAFreshProcessWhileOthersRunAtOnce) {
    std::vector<Bytes> inputs = {TextLike(300000, 31), RandomBytes(70000, 32), Bytes(65501, 'z'),
                                 SingleByteRun(2200000, 'y'), OwnExecutable()};
    std::vector<Bytes> expected;
    for (const Bytes& input : inputs) {
        codec::ResetCodecState();
        expected.push_back(CompressWhole(input).output);
    }
    auto codeOnOwnState = [&](size_t i, Bytes* compressed, Bytes* expanded, int* results) {
        std::unique_ptr<codec::CodecState, void (*)(codec::CodecState*)> state(codec::NewCodecState(),
                                                                               codec::DeleteCodecState);
        // Dirty the window first: a reset must make the output independent of what ran before.
        TempFile warmSource(TextLike(5000, 33)), warmDestination;
        CMPHEADER header{};
        codec::CompressFileWith(*state, warmSource.fd(), warmDestination.fd(), &header);
        codec::ResetCodecState(*state);

        TempFile source(inputs[i]), packed, unpacked;
        results[0] = codec::CompressFileWith(*state, source.fd(), packed.fd(), &header);
        *compressed = packed.Contents();
        packed.Rewind();
        results[1] = codec::DecompressFileWith(*state, packed.fd(), unpacked.fd(), &header, 1);
        *expanded = unpacked.Contents();
    };
    std::vector<Bytes> compressed(inputs.size()), expanded(inputs.size());
    std::vector<std::array<int, 2>> results(inputs.size());
    std::vector<std::thread> threads;
    for (size_t i = 0; i < inputs.size(); ++i)
        threads.emplace_back(codeOnOwnState, i, &compressed[i], &expanded[i], results[i].data());
    for (std::thread& thread : threads) thread.join();
    for (size_t i = 0; i < inputs.size(); ++i) {
        EXPECT_EQ(results[i][0], CMP_OK) << i;
        EXPECT_EQ(results[i][1], CMP_OK) << i;
        EXPECT_TRUE(compressed[i] == expected[i])
            << "input " << i << " codes differently on a state of its own";
        EXPECT_TRUE(expanded[i] == inputs[i]) << i;
    }
}

// A tool that needs only the start of a file (the headers of a program) decodes no further than that: the
// start comes out as a whole decoding gives it, and a limit beyond the file changes nothing.
TEST(CodecStates, ADecodingUpToALimitGivesTheStartOfTheFile) {
    const Bytes input = TextLike(300000, 41);
    const Bytes packed = CompressWhole(input).output;
    std::unique_ptr<codec::CodecState, void (*)(codec::CodecState*)> state(codec::NewCodecState(),
                                                                           codec::DeleteCodecState);
    for (uint32_t limit : {1u, 64u, 4096u, 65500u, 65501u, 200000u, 300000u, 400000u}) {
        TempFile source(packed), head;
        CMPHEADER header{};
        codec::ResetCodecState(*state);
        ASSERT_EQ(codec::DecompressHeadWith(*state, source.fd(), head.fd(), &header, limit), CMP_OK) << limit;
        const Bytes out = head.Contents();
        const size_t expected = std::min<size_t>(limit, input.size());
        EXPECT_GE(out.size(), expected) << limit;
        EXPECT_LE(out.size(), std::min<size_t>(expected + 59, input.size())) << limit;
        EXPECT_TRUE(std::equal(out.begin(), out.end(), input.begin())) << limit;
    }
}

}  // namespace
}  // namespace zs::test
