#include "startup/main_module_command_line.h"

#include <gtest/gtest.h>

namespace zs::bootstrap {
namespace {

TEST(MainModuleCommandLine, NamesTargetSourceAndLanguageWithoutQuoting) {
    EXPECT_EQ(BuildMainModuleCommandLine("C:\\TMP\\", "D:\\", "Deutsch", false),
              "C:\\TMP\\_SETUP.EXE D:\\,Deutsch");
    EXPECT_EQ(BuildMainModuleCommandLine("C:\\SETUPTMP\\", "E:\\", "English", true),
              "C:\\SETUPTMP\\_SETUP.EXE E:\\,English,ADMINMODE");
    EXPECT_EQ(BuildMainModuleCommandLine("\\\\SERVER\\APP\\", "\\\\SERVER\\APP\\", "Deutsch", false),
              "\\\\SERVER\\APP\\_SETUP.EXE \\\\SERVER\\APP\\,Deutsch");
    EXPECT_EQ(BuildMainModuleCommandLine("C:\\My Temp\\", "D:\\", "", false),
              "C:\\My Temp\\_SETUP.EXE D:\\,");
}

}  // namespace
}  // namespace zs::bootstrap
