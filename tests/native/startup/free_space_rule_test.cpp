#include "startup/free_space_rule.h"

#include <gtest/gtest.h>

namespace zs::bootstrap {
namespace {

TEST(FreeSpaceRule, FreeBytesMustExceedTheRequirement) {
    int32_t required = ParseRequiredBytes("1048576");
    EXPECT_FALSE(HasEnoughFreeSpace(1048576.0L, required));
    EXPECT_EQ(RequiredKilobytesText(required), "1024");
    EXPECT_TRUE(HasEnoughFreeSpace(1048577.0L, required));
    // Free space beyond 4 GB is compared without overflow.
    EXPECT_TRUE(HasEnoughFreeSpace(64.0L * 1024 * 1024 * 1024, ParseRequiredBytes("2147483647")));
}

TEST(FreeSpaceRule, KilobytesAreTruncatedTowardZero) {
    EXPECT_EQ(RequiredKilobytesText(1500), "1");
    EXPECT_EQ(RequiredKilobytesText(1023), "0");
    EXPECT_EQ(RequiredKilobytesText(-1500), "-1");
}

TEST(FreeSpaceRule, TextWithoutDigitsRequiresNothing) {
    int32_t required = ParseRequiredBytes("lots");
    EXPECT_EQ(required, 0);
    EXPECT_TRUE(HasEnoughFreeSpace(1.0L, required));
    EXPECT_FALSE(HasEnoughFreeSpace(0.0L, required));
    EXPECT_EQ(ParseRequiredBytes(""), 0);
    EXPECT_EQ(ParseRequiredBytes("-"), 0);
}

TEST(FreeSpaceRule, ConversionFollowsAtol) {
    EXPECT_EQ(ParseRequiredBytes(" \t 2048 KB"), 2048);
    EXPECT_EQ(ParseRequiredBytes("+12"), 12);
    EXPECT_EQ(ParseRequiredBytes("-12"), -12);
    EXPECT_EQ(ParseRequiredBytes("1e6"), 1);
    EXPECT_EQ(ParseRequiredBytes("- 5"), 0);
    EXPECT_EQ(ParseRequiredBytes("007"), 7);
}

TEST(FreeSpaceRule, ConversionSaturatesOutsideThe32BitRange) {
    EXPECT_EQ(ParseRequiredBytes("2147483647"), 2147483647);
    EXPECT_EQ(ParseRequiredBytes("2147483648"), 2147483647);
    EXPECT_EQ(ParseRequiredBytes("99999999999999999999999999999"), 2147483647);
    EXPECT_EQ(ParseRequiredBytes("-2147483648"), INT32_MIN);
    EXPECT_EQ(ParseRequiredBytes("-99999999999999999999999999999"), INT32_MIN);
}

}  // namespace
}  // namespace zs::bootstrap
