#include "startup/file_name_rules.h"

#include <gtest/gtest.h>

namespace zs::bootstrap {
namespace {

TEST(IsPlainFileName, RefusesEverythingThatReachesOutsideTheDirectoryOrIsADevice) {
    for (const char* name : {"_SETUP.EXE", "FILE", ".HIDDEN", "A..B", "NAME WITH BLANK.TXT", "DATA.BIN.",
                             "DATA.BIN ", "COM10", "LPT0.TXT", "NULL", "CONSOLE.DLL", "COM1X",
                             // superscript digits other than one, two and three (cp1252 B9, B2, B3)
                             "COM\xB4", "LPT\xB0.TXT", "COM\xB9\xB9"}) {
        EXPECT_TRUE(IsPlainFileName(name)) << name;
    }
    for (const char* name :
         {"",          ".",        "..",      "...",         " ",       "..\\X.DLL",    "SUB\\X.DLL",
          "SUB/X.DLL", "C:X.DLL",  "\\X.DLL", "NUL",         "nul.txt", "COM1",         "com9.log",
          "LPT1",      "Lpt9.",    "AUX ",    "PRN",         "CON",     "CONIN$",       "conout$.x",
          "NUL .TXT",  "COM1.A.B", "COM\xB9", "com\xB2.dll", "LPT\xB3", "lpt\xB9 .TXT", "LPT\xB2."}) {
        EXPECT_FALSE(IsPlainFileName(name)) << name;
    }
}

TEST(WindowsFileNames, TrailingDotsAndBlanksGoAndForbiddenCharactersMakeNoName) {
    EXPECT_EQ(WithoutTrailingDotsAndBlanks("DATA.BIN. . "), "DATA.BIN");
    EXPECT_EQ(WithoutTrailingDotsAndBlanks("..."), "");
    EXPECT_TRUE(IsValidWindowsFileName("DATA.BIN."));
    for (const char* name :
         {"DATA|1.BIN", "A<B", "A>B", "A\"B", "A?B", "A*B", "A:B", "A/B", "A\\B", "A\tB", ". .", ""}) {
        EXPECT_FALSE(IsValidWindowsFileName(name)) << name;
    }
}

}  // namespace
}  // namespace zs::bootstrap
