#include "startup/restart_request.h"

#include <gtest/gtest.h>

#include <string>

namespace zs::bootstrap {
namespace {

bool IsRequest(const std::string& bytes) {
    return IsRestartRequest(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

TEST(RestartRequest, KeyIsNamedAfterTheApplication) {
    EXPECT_EQ(RestartRequestKeyPath("MYAPP"), "Software\\Zemrova\\MYAPP\\Setup");
    EXPECT_EQ(RestartRequestKeyPath("Zemrova Demo"), "Software\\Zemrova\\Zemrova Demo\\Setup");
    EXPECT_EQ(RestartRequestKeyPath(""), "Software\\Zemrova\\\\Setup");
}

TEST(RestartRequest, DecimalTextOtherThanZeroIsARequest) {
    for (const char* text : {"1", "2", "-1", " 7", "\t+3", "12abc", "1\0"}) {
        EXPECT_TRUE(IsRequest(std::string(text, std::char_traits<char>::length(text) + 1))) << text;
    }
    // A number beyond the range of int is still not 0.
    EXPECT_TRUE(IsRequest("99999999999999999999"));
    EXPECT_TRUE(IsRequest("4294967296"));
}

TEST(RestartRequest, ZeroEmptyWordsAndBinaryNumbersAreNoRequest) {
    EXPECT_FALSE(IsRequest(std::string("0\0", 2)));
    EXPECT_FALSE(IsRequest(std::string("00", 2)));
    EXPECT_FALSE(IsRequest(std::string()));
    EXPECT_FALSE(IsRequest(std::string("yes\0", 4)));
    EXPECT_FALSE(IsRequest(std::string("x1", 2)));
    // A 32-bit number stored as such: its first byte is 1, not the character "1".
    EXPECT_FALSE(IsRequest(std::string("\x01\0\0\0", 4)));
}

TEST(RestartRequest, OnlyTheBufferIsReadEvenWithoutATerminator) {
    // 64 digits without a terminating zero: read as they are, nothing beyond them.
    EXPECT_TRUE(IsRequest(std::string(kRestartValueBufferSize, '1')));
    EXPECT_FALSE(IsRequest(std::string(kRestartValueBufferSize, '0')));
    // Bytes past the buffer size are not looked at.
    EXPECT_FALSE(IsRequest(std::string(kRestartValueBufferSize, ' ') + "1"));
}

TEST(RestartRequest, OnlyARequestWrittenDuringTheRunCounts) {
    const RestartKeyState none;
    const RestartKeyState standing{true, 10, true};
    const struct {
        RestartKeyState before, after;
        RestartRequestKind kind;
    } cases[] = {
        {none, {true, 11, true}, RestartRequestKind::kMadeInThisRun},      // key made during the run
        {standing, {true, 12, true}, RestartRequestKind::kMadeInThisRun},  // the same text written again
        {standing, standing, RestartRequestKind::kLeftFromEarlier},        // left from before
        {standing, {true, 12, false}, RestartRequestKind::kNone},          // "0" written over it
        {none, none, RestartRequestKind::kNone},
    };
    for (const auto& c : cases) EXPECT_EQ(ClassifyRestartRequest(c.before, c.after), c.kind);
}

}  // namespace
}  // namespace zs::bootstrap
