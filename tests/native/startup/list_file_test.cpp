// The list file's languages, edition word and StartUp values, read from real files.
#include "startup/list_file.h"

#include <gtest/gtest.h>

#include <vector>

#include "base/ascii_case.h"
#include "profile/ini_file_reader.h"
#include "startup/language_filter.h"
#include "temp_ini_file.h"

namespace zs::bootstrap {
namespace {

class ListFileTest : public ::testing::Test {
  protected:
    LanguageList ReadLanguages(const std::string& contents) {
        file.Write(contents);
        IniFileReader reader(file.path());
        return ReadLanguageList(reader, ReadFilterCode(reader),
                                [this](const std::string& line) { logLines.push_back(line); });
    }
    test::TempIniFile file;
    std::vector<std::string> logLines;
};

TEST_F(ListFileTest, FilterCodeClassification) {
    EXPECT_EQ(ClassifyFilterCode("0"), FilterCodeKind::kRedirect);
    EXPECT_EQ(ClassifyFilterCode("05"), FilterCodeKind::kRedirect);
    EXPECT_EQ(ClassifyFilterCode(""), FilterCodeKind::kEmpty);
    EXPECT_EQ(ClassifyFilterCode("E0"), FilterCodeKind::kUsable);

    file.Write("[SetupLang]\n1=English,E\n");
    EXPECT_EQ(ReadFilterCode(IniFileReader(file.path())), "");
    file.Write("[SetupLang]\n0=ABCDEFGHIJ\n");
    EXPECT_EQ(ReadFilterCode(IniFileReader(file.path())), "ABCDEFG");
}

TEST_F(ListFileTest, LowerCaseFilterCodeMatchesUpperCaseCodesButNotTheReverse) {
    EXPECT_EQ(ReadLanguages("[SetupLang]\n0=e\n1=English,XE\n").supportedLanguages, "English");
    EXPECT_EQ(ReadLanguages("[SetupLang]\n0=E\n1=English,xe\n").supportedLanguages, "");
    // Upper-casing is ASCII only: bytes above 127 are left alone.
    EXPECT_EQ(AsciiUpperCase("ab\xe9z"), "AB\xe9Z");
}

TEST_F(ListFileTest, ConcatenatesEnabledNamesInKeyOrder) {
    LanguageList list = ReadLanguages("[SetupLang]\n0=E\n1=English,E\n2=Magyar,H\n3=Deutsch,GE\n");
    EXPECT_FALSE(list.faulty);
    EXPECT_EQ(list.supportedLanguages, "EnglishDeutsch");
    ASSERT_EQ(list.entries.size(), 3u);
    EXPECT_EQ(list.entries[1].name, "Magyar");
    EXPECT_EQ(list.entries[1].codeText, ",H");
    EXPECT_FALSE(list.entries[1].enabled);
}

TEST_F(ListFileTest, CodeTextStartsAtTheFirstCommaAndIncludesIt) {
    EXPECT_EQ(ReadLanguages("[SetupLang]\n0=,E\n1=English,E,X\n2=Deutsch,XE\n").supportedLanguages,
              "English");
    EXPECT_EQ(ReadLanguages("[SetupLang]\n0=E\n1=,E\n2=Deutsch,E\n").supportedLanguages, "Deutsch");
}

TEST_F(ListFileTest, EntryWithoutCommaMakesTheListFaulty) {
    LanguageList list = ReadLanguages("[SetupLang]\n0=E\n1=English,E\n2=Deutsch\n3=Magyar,E\n");
    EXPECT_TRUE(list.faulty);
    EXPECT_EQ(list.supportedLanguages, "English");
}

TEST_F(ListFileTest, MissingOrEmptyFirstEntryIsFaultyWhileALaterGapJustEndsTheList) {
    EXPECT_TRUE(ReadLanguages("[SetupLang]\n0=E\n2=Deutsch,E\n").faulty);
    EXPECT_TRUE(ReadLanguages("[SetupLang]\n0=E\n1=\n2=Deutsch,E\n").faulty);

    LanguageList list = ReadLanguages("[SetupLang]\n0=E\n1=English,E\n2=Deutsch,E\n4=Magyar,E\n");
    EXPECT_FALSE(list.faulty);
    EXPECT_EQ(list.entries.size(), 2u);
    EXPECT_EQ(list.supportedLanguages, "EnglishDeutsch");
}

TEST_F(ListFileTest, WellFormedEntriesThatNoneEnableAreNotAFault) {
    LanguageList list = ReadLanguages("[SetupLang]\n0=Q\n1=English,E\n2=Deutsch,G\n");
    EXPECT_FALSE(list.faulty);
    EXPECT_EQ(list.supportedLanguages, "");
}

TEST_F(ListFileTest, LogsEveryValueReadIncludingTheEmptyOneThatEndsTheList) {
    ReadLanguages("[SetupLang]\n0=E\n1=English,E\n2=  Deutsch,G  \n");
    EXPECT_EQ(logLines, (std::vector<std::string>{"\t\t***English,E", "\t\t***Deutsch,G", "\t\t***"}));
}

TEST_F(ListFileTest, KeysWithLeadingZerosAreNeverRead) {
    EXPECT_TRUE(ReadLanguages("[SetupLang]\n0=E\n01=English,E\n").faulty);
}

TEST_F(ListFileTest, NinetyNineEntriesGoOnToTheEditionWordKey) {
    std::string contents = "[SetupLang]\n0=E\n";
    for (int key = 1; key <= 99; ++key) contents += std::to_string(key) + "=L" + std::to_string(key) + ",E\n";
    LanguageList list = ReadLanguages(contents + "100=Standard\n");
    EXPECT_TRUE(list.faulty);
    EXPECT_EQ(list.entries.size(), 99u);
    EXPECT_EQ(logLines.back(), "\t\t***Standard");

    logLines.clear();
    list = ReadLanguages(contents + "100=Standard,E\n");
    EXPECT_FALSE(list.faulty);
    EXPECT_EQ(list.entries.size(), 100u);
    EXPECT_EQ(list.entries.back().name, "Standard");
    EXPECT_EQ(logLines.size(), 101u);
}

TEST_F(ListFileTest, LanguageEntriesAreCutTo255Characters) {
    std::string longName(300, 'N');
    LanguageList list = ReadLanguages("[SetupLang]\n0=E\n1=" + longName + ",E\n");
    EXPECT_TRUE(list.faulty);  // the comma lies beyond the cut
    EXPECT_EQ(logLines.front(), "\t\t***" + std::string(255, 'N'));
}

TEST_F(ListFileTest, EditionWordSwitchesLocationModeOnlyWithStandardInThatCase) {
    file.Write("[SetupLang]\n100=  Office Standard Edition\n");
    std::string word = ReadEditionWord(IniFileReader(file.path()));
    EXPECT_EQ(word, "Office Standard Edition");
    EXPECT_TRUE(IsLocationModeEdition(word));
    EXPECT_FALSE(IsLocationModeEdition("standard"));
    EXPECT_FALSE(IsLocationModeEdition(""));
}

TEST_F(ListFileTest, StartUpValuesDistinguishEmptyFromMissing) {
    file.Write("[StartUp]\nAppName=\nTmpDirSize=NO ENTRY\n");
    IniFileReader reader(file.path());
    EXPECT_EQ(ReadAppName(reader), "");
    EXPECT_FALSE(IsMissingEntry(ReadAppName(reader)));
    EXPECT_TRUE(IsMissingEntry(ReadTmpDirSize(reader)));  // present, but with the marker as its text
    EXPECT_TRUE(IsMissingEntry(ReadTmpDirName(reader)));  // absent
    EXPECT_FALSE(IsMissingEntry("no entry"));
    EXPECT_FALSE(IsMissingEntry("NO ENTRY "));
}

TEST_F(ListFileTest, StartUpValuesAreCutTo31Characters) {
    file.Write("[StartUp]\nAppName=An application name of forty chars.\nTmpDirName=C:\\TMP\n");
    IniFileReader reader(file.path());
    EXPECT_EQ(ReadAppName(reader), "An application name of forty ch");
    EXPECT_EQ(ReadTmpDirName(reader), "C:\\TMP");
}

}  // namespace
}  // namespace zs::bootstrap
