#include "startup/start_up_entries.h"

#include <gtest/gtest.h>

#include "profile/ini_file_reader.h"
#include "temp_ini_file.h"

namespace zs::bootstrap {
namespace {

TEST(ParseStartUpEntry, OnlyTheCharacterRightAfterTheFirstCommaMarks) {
    StartUpEntry marked = ParseStartUpEntry("FILE.DLL,1");
    EXPECT_EQ(marked.fileName, "FILE.DLL");
    EXPECT_TRUE(marked.skipInWorkstationRun);
    EXPECT_FALSE(marked.missing);

    EXPECT_TRUE(ParseStartUpEntry("FILE.DLL,10").skipInWorkstationRun);
    EXPECT_FALSE(ParseStartUpEntry("FILE.DLL, 1").skipInWorkstationRun);
    EXPECT_FALSE(ParseStartUpEntry("FILE.DLL,0").skipInWorkstationRun);
    EXPECT_FALSE(ParseStartUpEntry("FILE.DLL,").skipInWorkstationRun);
    EXPECT_EQ(ParseStartUpEntry("FILE.DLL,,1").fileName, "FILE.DLL");
    EXPECT_FALSE(ParseStartUpEntry("FILE.DLL,,1").skipInWorkstationRun);

    StartUpEntry plain = ParseStartUpEntry("_SETUP.EXE");
    EXPECT_EQ(plain.fileName, "_SETUP.EXE");
    EXPECT_FALSE(plain.skipInWorkstationRun);
}

TEST(ParseStartUpEntry, MissingMarkerIsExactAndTestedOnTheName) {
    EXPECT_TRUE(ParseStartUpEntry("NO ENTRY").missing);
    EXPECT_TRUE(ParseStartUpEntry("NO ENTRY,1").missing);
    EXPECT_FALSE(ParseStartUpEntry("No Entry").missing);
    EXPECT_FALSE(ParseStartUpEntry("").missing);
}

class StartUpListTest : public ::testing::Test {
  protected:
    StartUpFileList Collect(const std::string& contents, bool workstationRun) {
        file.Write(contents);
        return CollectStartUpFiles(IniFileReader(file.path()), workstationRun);
    }
    test::TempIniFile file;
};

TEST_F(StartUpListTest, EntriesAreCutTo31CharactersAndTheCutNameIsStaged) {
    file.Write("[StartUp]\n1=A_VERY_LONG_FILE_NAME_OF_40_CHARS.DAT,1\n");
    StartUpEntry entry = ReadStartUpEntry(IniFileReader(file.path()), 1);
    EXPECT_EQ(entry.fileName, "A_VERY_LONG_FILE_NAME_OF_40_CHA");
    EXPECT_EQ(entry.fileName.size(), 31u);
    EXPECT_FALSE(entry.skipInWorkstationRun);  // the mark was cut off
}

TEST_F(StartUpListTest, AGapEndsTheList) {
    StartUpFileList list = Collect("[StartUp]\n1=_SETUP.EXE\n3=DATA.BIN\n", false);
    EXPECT_EQ(list.fileNames, std::vector<std::string>{"_SETUP.EXE"});
    EXPECT_FALSE(list.noFileApplies);
}

TEST_F(StartUpListTest, MarkedEntriesAreSkippedOnlyInAWorkstationRun) {
    const std::string contents = "[StartUp]\n1=FILE.DLL,1\n2=_SETUP.EXE\n3=NO ENTRY\n4=LATE.DAT\n";
    EXPECT_EQ(Collect(contents, true).fileNames, std::vector<std::string>{"_SETUP.EXE"});
    EXPECT_EQ(Collect(contents, false).fileNames, (std::vector<std::string>{"FILE.DLL", "_SETUP.EXE"}));
}

TEST_F(StartUpListTest, NoApplicableEntryMeansTheListIsCorrupted) {
    EXPECT_TRUE(Collect("[StartUp]\n2=_SETUP.EXE\n", false).noFileApplies);
    EXPECT_TRUE(Collect("[StartUp]\n1=A.DLL,1\n2=B.DLL,1\n", true).noFileApplies);
    EXPECT_FALSE(Collect("[StartUp]\n1=A.DLL,1\n2=B.DLL,1\n", false).noFileApplies);
    // A present but empty entry is not missing: it names a file (which staging will not find).
    EXPECT_EQ(Collect("[StartUp]\n1=\n", false).fileNames, std::vector<std::string>{""});
}

}  // namespace
}  // namespace zs::bootstrap
