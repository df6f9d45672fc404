// The framework's one-argument message formatting.
#include "base/format_string.h"

#include <gtest/gtest.h>

namespace zs::framework {
namespace {

TEST(FormatStringTest, ReplacesEveryPercentOne) {
    EXPECT_EQ(FillArgument1("Could not find required initialization file:\n%1", "SETUP.LST"),
              "Could not find required initialization file:\nSETUP.LST");
    EXPECT_EQ(FillArgument1("Konnte Initialisierungsdatei:\n%1 nicht finden.", "A.DLL"),
              "Konnte Initialisierungsdatei:\nA.DLL nicht finden.");
    EXPECT_EQ(FillArgument1("%1%1 and %1", "x"), "xx and x");
    EXPECT_EQ(FillArgument1("about %1 KB", ""), "about  KB");
}

TEST(FormatStringTest, LeavesEverythingElseAlone) {
    EXPECT_EQ(FillArgument1("SETUP.LST is corrupted.", "x"), "SETUP.LST is corrupted.");
    EXPECT_EQ(FillArgument1("%2 %% 100%", "x"), "%2 %% 100%");
    // The argument is inserted as it is: a "%1" inside it is not expanded again.
    EXPECT_EQ(FillArgument1("[%1]", "%1"), "[%1]");
    EXPECT_EQ(FillArgument1("%%1", "x"), "%x");
}

}  // namespace
}  // namespace zs::framework
