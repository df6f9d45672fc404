// The worked examples of the format: exact bodies for small inputs, both directions, from a fresh process
// state (positions from 4036 on of the shared window hold zeros).
#include <gtest/gtest.h>

#include "codec_test_util.h"
#include "compress/codec_control.h"

namespace zs::test {
namespace {

struct WorkedExample {
    const char* name;
    Bytes input;
    Bytes body;
};

std::vector<WorkedExample> Examples() {
    return {
        {"three_literals", ToBytes("abc"), {0x03, 0x00, 0x00, 0x00, 0xF6, 0xFB, 0xBD, 0xE0}},
        {"overlapping_match",
         ToBytes("abcabcabcabc"),
         {0x0C, 0x00, 0x00, 0x00, 0xF6, 0xFB, 0xBD, 0xF2, 0x40, 0x04}},
        {"match_against_initial_spaces", ToBytes("          "), {0x0A, 0x00, 0x00, 0x00, 0x93, 0x00, 0x00}},
        {"single_zero_byte", Bytes{0x00}, {0x01, 0x00, 0x00, 0x00, 0xC6, 0x00}},
        {"single_letter_A", Bytes{0x41}, {0x01, 0x00, 0x00, 0x00, 0xE6, 0x80}},
        {"empty_file", Bytes{}, {0x00, 0x00, 0x00, 0x00}},
    };
}

class WorkedExamples : public ::testing::TestWithParam<WorkedExample> {
  protected:
    void SetUp() override { codec::ResetCodecState(); }
};

TEST_P(WorkedExamples, CompressesToTheExactBody) {
    CodecRun run = CompressBody(GetParam().input);
    EXPECT_EQ(run.result, CMP_OK);
    EXPECT_EQ(run.output, GetParam().body);
}

TEST_P(WorkedExamples, ExpandsTheBodyToTheInput) {
    CodecRun run = DecompressWhole(WithHeader(GetParam().body));
    EXPECT_EQ(run.result, CMP_OK);
    EXPECT_EQ(run.output, GetParam().input);
}

INSTANTIATE_TEST_SUITE_P(Format, WorkedExamples, ::testing::ValuesIn(Examples()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(WorkedExampleFiles, EmptyFileCompressesToHeaderAndZeroLength) {
    codec::ResetCodecState();
    CodecRun run = CompressWhole({});
    ASSERT_EQ(run.result, CMP_OK);
    ASSERT_EQ(run.output.size(), 36u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(run.output.data())), "ZemC32");
}

}  // namespace
}  // namespace zs::test
