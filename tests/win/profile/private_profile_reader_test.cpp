// The Windows profile reader under the list-file rules, against the portable INI reader: both must give the
// same values for what the rules rely on (case-insensitive names, trimmed values, the first "=", defaults,
// values cut to the buffer), so that the media tool checks a medium the way setup.exe reads it.
#include "profile/private_profile_reader_win32.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "profile/ini_file_reader.h"
#include "startup/language_filter.h"
#include "startup/list_file.h"
#include "startup/start_up_entries.h"
#include "temp_directory.h"

namespace zs::bootstrap {
namespace {

class PrivateProfileReaderTest : public ::testing::Test {
  protected:
    void Write(const std::string& contents) { path = directory.WriteFile("SETUP.LST", contents); }
    // The value the Windows reader gives, after checking that the portable reader gives the same.
    std::string Read(const char* section, const char* key, const char* defaultValue, size_t bufferSize) {
        std::string windows = PrivateProfileReader(path).GetString(section, key, defaultValue, bufferSize);
        EXPECT_EQ(windows, IniFileReader(path).GetString(section, key, defaultValue, bufferSize))
            << "[" << section << "] " << key;
        return windows;
    }
    test::TempDirectory directory;
    std::string path;
};

TEST_F(PrivateProfileReaderTest, NamesMatchWithoutCaseAndValuesAreTrimmed) {
    Write("[startup]\r\n  APPNAME  =  My App  \r\ntmpdirsize=1000=2\r\n[SetupLang]\r\n0=e\r\n");
    EXPECT_EQ(Read("StartUp", "AppName", "NO ENTRY", 32), "My App");
    EXPECT_EQ(Read("StartUp", "TmpDirSize", "NO ENTRY", 32), "1000=2");
    EXPECT_EQ(Read("SETUPLANG", "0", "", 8), "e");
}

TEST_F(PrivateProfileReaderTest, MissingGivesTheDefaultAndEmptyDoesNot) {
    Write("[StartUp]\r\nAppName=\r\nTmpDirName=NO ENTRY\r\n");
    EXPECT_EQ(Read("StartUp", "AppName", "NO ENTRY", 32), "");
    EXPECT_EQ(Read("StartUp", "TmpDirSize", "NO ENTRY", 32), "NO ENTRY");
    EXPECT_TRUE(IsMissingEntry(Read("StartUp", "TmpDirName", "NO ENTRY", 32)));
    EXPECT_EQ(Read("Nowhere", "AppName", "NO ENTRY", 32), "NO ENTRY");
    // A default longer than the buffer is cut like a value.
    EXPECT_EQ(Read("Nowhere", "1", "NO ENTRY", 4), "NO ");
}

TEST_F(PrivateProfileReaderTest, ValuesAreCutToTheBufferSizeMinusOne) {
    Write("[StartUp]\r\n1=ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789,1\r\n[SetupLang]\r\n0=ABCDEFGHIJ\r\n");
    EXPECT_EQ(Read("StartUp", "1", "NO ENTRY", 32), "ABCDEFGHIJKLMNOPQRSTUVWXYZ01234");
    EXPECT_EQ(Read("SetupLang", "0", "", 8), "ABCDEFG");
    StartUpEntry entry = ReadStartUpEntry(PrivateProfileReader(path), 1);
    EXPECT_EQ(entry.fileName, "ABCDEFGHIJKLMNOPQRSTUVWXYZ01234");
    EXPECT_FALSE(entry.skipInWorkstationRun);
}

TEST_F(PrivateProfileReaderTest, MissingFileGivesDefaults) {
    path = directory.path() + "NONE.LST";
    EXPECT_EQ(Read("StartUp", "AppName", "NO ENTRY", 32), "NO ENTRY");
    EXPECT_EQ(Read("SetupLang", "0", "", 8), "");
}

TEST_F(PrivateProfileReaderTest, LanguageListThroughTheWindowsReader) {
    Write(
        "[SetupLang]\r\n0=e\r\n1=English,XE\r\n2=Deutsch,E\r\n3=Magyar,H\r\n01=Francais,E\r\n5=Cesky,E\r\n");
    std::vector<std::string> lines;
    LanguageList list =
        ReadLanguageList(PrivateProfileReader(path), ReadFilterCode(PrivateProfileReader(path)),
                         [&lines](const std::string& line) { lines.push_back(line); });
    EXPECT_FALSE(list.faulty);
    // Key "01" is never read, and the gap at 4 ends the list before 5.
    EXPECT_EQ(list.supportedLanguages, "EnglishDeutsch");
    EXPECT_EQ(lines, (std::vector<std::string>{"\t\t***English,XE", "\t\t***Deutsch,E", "\t\t***Magyar,H",
                                               "\t\t***"}));

    Write("[SetupLang]\r\n0=E\r\n1=English,E\r\n2=Deutsch\r\n");
    EXPECT_TRUE(ReadLanguageList(PrivateProfileReader(path), "E", LogSink()).faulty);
    Write("[SetupLang]\r\n0=E\r\n2=Deutsch,E\r\n");
    EXPECT_TRUE(ReadLanguageList(PrivateProfileReader(path), "E", LogSink()).faulty);
}

TEST_F(PrivateProfileReaderTest, EditionWordAndStartUpEntries) {
    Write(
        "[SetupLang]\r\n100=Zem Standard Edition\r\n[StartUp]\r\n1=FILE.DLL,1\r\n2=FILE2.DLL,10\r\n"
        "3=FILE3.DLL, 1\r\n");
    EXPECT_TRUE(IsLocationModeEdition(ReadEditionWord(PrivateProfileReader(path))));
    PrivateProfileReader reader(path);
    EXPECT_TRUE(ReadStartUpEntry(reader, 1).skipInWorkstationRun);
    EXPECT_TRUE(ReadStartUpEntry(reader, 2).skipInWorkstationRun);
    EXPECT_FALSE(ReadStartUpEntry(reader, 3).skipInWorkstationRun);
    EXPECT_EQ(ReadStartUpEntry(reader, 3).fileName, "FILE3.DLL");
    EXPECT_TRUE(ReadStartUpEntry(reader, 4).missing);
    EXPECT_EQ(CollectStartUpFiles(reader, true).fileNames, std::vector<std::string>{"FILE3.DLL"});
}

}  // namespace
}  // namespace zs::bootstrap
