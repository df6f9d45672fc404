// The portable reader must give what the Windows profile reader gives for everything the list-file rules use.
#include "bootstrap/ini_file_reader.h"

#include <gtest/gtest.h>

#include "temp_ini_file.h"

namespace zs::bootstrap {
namespace {

class IniFileReaderTest : public ::testing::Test {
  protected:
    std::string Get(const char* section, const char* key, const char* defaultValue = "DEFAULT",
                    size_t size = 256) const {
        return IniFileReader(file.path()).GetString(section, key, defaultValue, size);
    }
    test::TempIniFile file;
};

TEST_F(IniFileReaderTest, MatchesSectionAndKeyNamesWithoutRegardToCase) {
    file.Write("[SetupLang]\nAppName=one\n[STARTUP]\nappname=two\n");
    EXPECT_EQ(Get("setuplang", "APPNAME"), "one");
    EXPECT_EQ(Get("StartUp", "AppName"), "two");
}

TEST_F(IniFileReaderTest, TrimsBlanksAndSplitsAtTheFirstEquals) {
    file.Write("  [ StartUp ]  \r\n\t AppName \t=  My = App \t\r\nTmpDirName=C:\\TMP\r\n");
    EXPECT_EQ(Get("StartUp", "AppName"), "My = App");
    EXPECT_EQ(Get("StartUp", "TmpDirName"), "C:\\TMP");
}

TEST_F(IniFileReaderTest, CutsValuesAndDefaultsToTheBufferSizeMinusOne) {
    file.Write("[S]\nK=12345678\n");
    EXPECT_EQ(Get("S", "K", "", 8), "1234567");
    EXPECT_EQ(Get("S", "K", "", 9), "12345678");
    EXPECT_EQ(Get("S", "missing", "NO ENTRY", 4), "NO ");
    EXPECT_EQ(Get("S", "K", "", 1), "");
    EXPECT_EQ(Get("S", "K", "", 0), "");
}

TEST_F(IniFileReaderTest, GivesTheDefaultOnlyWhenTheKeyIsMissing) {
    file.Write("[S]\nEmpty=\nBlank=   \n");
    EXPECT_EQ(Get("S", "Empty"), "");
    EXPECT_EQ(Get("S", "Blank"), "");
    EXPECT_EQ(Get("S", "Absent"), "DEFAULT");
    EXPECT_EQ(Get("Other", "Empty"), "DEFAULT");
    EXPECT_EQ(IniFileReader(file.path() + ".none").GetString("S", "Empty", "DEFAULT", 32), "DEFAULT");
}

TEST_F(IniFileReaderTest, KeysOutsideTheirSectionDoNotCount) {
    file.Write("K=before\n[A]\nK=a\n[B]\nLine without equals\n; K=comment-like\n");
    EXPECT_EQ(Get("A", "K"), "a");
    EXPECT_EQ(Get("B", "K"), "DEFAULT");
    EXPECT_EQ(Get("B", "Line without equals"), "DEFAULT");
}

TEST_F(IniFileReaderTest, FirstOfTwoEqualKeysWinsAndQuotesAreRemoved) {
    file.Write("[S]\nK=first\nK=second\nQ=\"quoted value\"\nHalf=\"open\n[S]\nK=third\nL=later\n");
    EXPECT_EQ(Get("S", "K"), "first");
    EXPECT_EQ(Get("S", "L"), "later");
    EXPECT_EQ(Get("S", "Q"), "quoted value");
    EXPECT_EQ(Get("S", "Half"), "\"open");
}

TEST_F(IniFileReaderTest, ReadsTheFileAgainOnEveryCall) {
    IniFileReader reader(file.path());
    file.Write("[S]\nK=old\n");
    EXPECT_EQ(reader.GetString("S", "K", "", 32), "old");
    file.Write("[S]\nK=new\n");
    EXPECT_EQ(reader.GetString("S", "K", "", 32), "new");
}

TEST_F(IniFileReaderTest, ListsSectionsAndKeysAsTheReaderSeesThem) {
    file.Write("K=outside\n[ A ]\n 1 = x\r\nno equals\n2=\n[b]\n1=y\n[a]\n1=again\n3=z\n");
    IniFileReader reader(file.path());
    EXPECT_EQ(reader.SectionNames(), (std::vector<std::string>{"A", "b", "a"}));
    // Keys of both sections named A, in file order, duplicates included.
    EXPECT_EQ(reader.KeyNames("a"), (std::vector<std::string>{"1", "2", "1", "3"}));
    EXPECT_EQ(reader.KeyNames("B"), (std::vector<std::string>{"1"}));
    EXPECT_TRUE(reader.KeyNames("missing").empty());
    EXPECT_TRUE(IniFileReader(file.path() + ".none").SectionNames().empty());
}

}  // namespace
}  // namespace zs::bootstrap
