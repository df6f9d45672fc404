// The Windows directory's form, the administrative switch, the program's directory and the temporary
// directory's path.
#include "startup/start_up_rules.h"

#include <gtest/gtest.h>

namespace zs::bootstrap {
namespace {

TEST(StartUpRulesTest, WindowsDirectoryMustBeginWithDriveColonBackslash) {
    EXPECT_TRUE(IsDriveLetterDirectory("C:\\WINDOWS"));
    EXPECT_TRUE(IsDriveLetterDirectory("c:\\"));
    EXPECT_FALSE(IsDriveLetterDirectory("\\\\SERVER\\WINDOWS"));
    EXPECT_FALSE(IsDriveLetterDirectory("C:WINDOWS"));
    EXPECT_FALSE(IsDriveLetterDirectory("C:/WINDOWS"));
    EXPECT_FALSE(IsDriveLetterDirectory("C:"));
    EXPECT_FALSE(IsDriveLetterDirectory(""));
    EXPECT_FALSE(IsDriveLetterDirectory("WINDOWS"));
}

TEST(StartUpRulesTest, AdminSwitchIsSlashAAnywhere) {
    EXPECT_TRUE(HasAdminSwitch("/A"));
    EXPECT_TRUE(HasAdminSwitch("/a"));
    EXPECT_TRUE(HasAdminSwitch("x/ay"));
    EXPECT_TRUE(HasAdminSwitch("/abc"));
    EXPECT_TRUE(HasAdminSwitch("/q /A"));
    EXPECT_FALSE(HasAdminSwitch("-a"));
    EXPECT_FALSE(HasAdminSwitch("A"));
    EXPECT_FALSE(HasAdminSwitch("/ A"));
    EXPECT_FALSE(HasAdminSwitch(""));
}

TEST(StartUpRulesTest, DirectoryKeepsItsLastBackslash) {
    EXPECT_EQ(DirectoryWithBackslash("D:\\SETUP.EXE"), "D:\\");
    EXPECT_EQ(DirectoryWithBackslash("\\\\SERVER\\APP\\SETUP.EXE"), "\\\\SERVER\\APP\\");
    EXPECT_EQ(DirectoryWithBackslash("Z:\\media v2.0\\setup.exe"), "Z:\\media v2.0\\");
    EXPECT_EQ(DirectoryWithBackslash("SETUP.EXE"), "");
}

// A bare drive as TmpDirName once became the drive's current directory (GetFullPathName's reading of "C:").
TEST(StartUpRulesTest, BareDriveAsTemporaryDirectoryIsItsRoot) {
    EXPECT_EQ(TemporaryDirectoryPath("C:"), "C:\\");
    EXPECT_EQ(TemporaryDirectoryPath("d:"), "d:\\");
    for (const char* unchanged :
         {"C:\\", "C:TMP", "C:\\TMP", "1:", "::", "C", "TMP", "", "\\\\SERVER\\TMP"}) {
        EXPECT_EQ(TemporaryDirectoryPath(unchanged), unchanged);
    }
}

}  // namespace
}  // namespace zs::bootstrap
