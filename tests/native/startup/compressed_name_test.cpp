#include "startup/compressed_name.h"

#include <gtest/gtest.h>

namespace zs {
namespace {

TEST(MakeCompressedName, ReplacesTheLastCharacterOfAnExtensionOfThreeOrMore) {
    EXPECT_EQ(MakeCompressedName("_SETUP.EXE"), "_SETUP.EX_");
    EXPECT_EQ(MakeCompressedName("A.ABC"), "A.AB_");
    EXPECT_EQ(MakeCompressedName("A.ABCD"), "A.ABC_");
}

TEST(MakeCompressedName, AppendsToShortExtensions) {
    EXPECT_EQ(MakeCompressedName("SETUP.HL"), "SETUP.HL_");
    EXPECT_EQ(MakeCompressedName("A.B"), "A.B_");
    EXPECT_EQ(MakeCompressedName("SETUP."), "SETUP._");
}

TEST(MakeCompressedName, AddsDotUnderscoreWithoutAnyDot) {
    EXPECT_EQ(MakeCompressedName("README"), "README._");
    EXPECT_EQ(MakeCompressedName("SETUP"), "SETUP._");
    EXPECT_EQ(MakeCompressedName(""), "._");
}

TEST(MakeCompressedName, SearchesAPathAsAWhole) {
    // The directory's dot is the last dot, so the file name's last character is replaced.
    EXPECT_EQ(MakeCompressedName("D:\\SETUP.V2\\README"), "D:\\SETUP.V2\\READM_");
    EXPECT_EQ(MakeCompressedName("C:\\TMP\\_SETUP.EXE"), "C:\\TMP\\_SETUP.EX_");
}

}  // namespace
}  // namespace zs
