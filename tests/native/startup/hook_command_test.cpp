// The hook command: the unscrambling of the program path and the 256-byte bound of the whole command.
#include "startup/hook_command.h"

#include <gtest/gtest.h>

#include <string>

namespace zs::bootstrap {
namespace {

TEST(HookCommandTest, UnscramblingRotatesPrintableAsciiAndIsItsOwnInverse) {
    EXPECT_EQ(UnscrambleHookPath("ri-~%wt#-#&}]t)t"), "C:\\OTHER\\RUN.EXE");
    EXPECT_EQ(UnscrambleHookPath("!~"), "PO");
    // Blanks, control characters and bytes above 127 stand for themselves.
    EXPECT_EQ(UnscrambleHookPath(std::string(" \t\xe9", 3)), std::string(" \t\xe9", 3));
    std::string path = "C:\\Program Files\\Other\\SETUP.EXE /q";
    EXPECT_EQ(UnscrambleHookPath(UnscrambleHookPath(path)), path);
}

TEST(HookCommandTest, CommandIsPathBlankAndTheHookTextUnchanged) {
    std::string hook = UnscrambleHookPath("C:\\OTHER\\RUN.EXE");
    EXPECT_EQ(BuildHookCommand(hook), "C:\\OTHER\\RUN.EXE " + hook);
    EXPECT_FALSE(BuildHookCommand("").has_value());
}

TEST(HookCommandTest, CommandMustFitInTheBufferWithItsTerminator) {
    // 127 characters: 127 + 1 + 127 + 1 = 256 bytes.
    std::optional<std::string> longest = BuildHookCommand(std::string(127, 'a'));
    ASSERT_TRUE(longest.has_value());
    EXPECT_EQ(longest->size() + 1, kHookCommandBufferSize);
    EXPECT_FALSE(BuildHookCommand(std::string(128, 'a')).has_value());
    EXPECT_FALSE(BuildHookCommand(std::string(255, 'a')).has_value());
}

TEST(HookCommandTest, HookTextIsReadNoFurtherThanTheBuffer) {
    EXPECT_FALSE(BoundedHookText(nullptr).has_value());
    EXPECT_EQ(BoundedHookText(""), std::string_view());
    std::string text(255, 'x');
    EXPECT_EQ(BoundedHookText(text.c_str())->size(), 255u);
    // No terminator among the first 256 bytes: not a text the program accepts.
    std::string unterminated(300, 'x');
    unterminated[299] = '\0';
    EXPECT_FALSE(BoundedHookText(unterminated.c_str()).has_value());
}

}  // namespace
}  // namespace zs::bootstrap
