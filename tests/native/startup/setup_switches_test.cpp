#include "startup/setup_switches.h"

#include <gtest/gtest.h>

namespace zs::bootstrap {
namespace {

TEST(SetupSwitches, UnattendedSwitchesAreWordsInAnyCaseAnywhere) {
    SetupSwitches switches =
        ParseSetupSwitches("extra /quiet /Lang=Deutsch   /log=\"C:\\My Logs\\setup.log\" /NoRestart");
    EXPECT_TRUE(switches.quiet);
    EXPECT_TRUE(switches.noRestart);
    EXPECT_EQ(switches.language, "Deutsch");
    EXPECT_EQ(switches.logPath, "C:\\My Logs\\setup.log");
    EXPECT_FALSE(switches.admin);

    SetupSwitches none = ParseSetupSwitches("x/QUIETER /NORESTARTS -quiet LANG=English");
    EXPECT_FALSE(none.quiet);
    EXPECT_FALSE(none.noRestart);
    EXPECT_FALSE(none.language.has_value());
    EXPECT_FALSE(none.logPath.has_value());
}

TEST(SetupSwitches, TheAdminSwitchStaysAPlainSubstring) {
    EXPECT_TRUE(ParseSetupSwitches("/a").admin);
    EXPECT_TRUE(ParseSetupSwitches("x/ay /QUIET").admin);
    EXPECT_FALSE(ParseSetupSwitches("/QUIET /LANG=Magyar /NORESTART /LOG=C:\\a.log").admin);
    // A value may hold it, though.
    EXPECT_TRUE(ParseSetupSwitches("/LOG=C:/admin.log").admin);
    EXPECT_FALSE(ParseSetupSwitches("-a").admin);
}

}  // namespace
}  // namespace zs::bootstrap
