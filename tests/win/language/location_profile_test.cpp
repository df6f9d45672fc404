// The location profile read through the Windows profile reader: section names in file order, values with
// their defaults and lengths.
#include "language/location_profile_win32.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "temp_directory.h"

namespace zs::language {
namespace {

TEST(LocationProfileTest, SectionsInFileOrder) {
    test::TempDirectory directory;
    directory.WriteFile("ZSPROFIL.INI",
                        "[Wien]\r\nName=Austria\r\nSetup=Deutsch\r\n[Zurich]\r\nName=Swiss\r\n");
    LocationProfile profile(directory.path());
    EXPECT_EQ(profile.path(), directory.path() + "ZSPROFIL.INI");
    EXPECT_TRUE(profile.SectionNames().empty());
    ASSERT_TRUE(profile.ReadSectionNames());
    EXPECT_EQ(profile.SectionNames(), (std::vector<std::string>{"Wien", "Zurich"}));
    EXPECT_EQ(profile.SectionName(1), "Zurich");
    EXPECT_EQ(profile.SectionName(2), "");
    EXPECT_EQ(profile.SectionName(-1), "");
    profile.ReleaseSectionNames();
    EXPECT_FALSE(profile.HasSectionNames());
    EXPECT_EQ(profile.SectionName(0), "");
}

TEST(LocationProfileTest, ValuesWithDefaultsAndLengths) {
    test::TempDirectory directory;
    std::string longHelp(300, 'h');
    std::string longName(100, 'n');
    directory.WriteFile("ZSPROFIL.INI",
                        "[Wien]\r\nName=" + longName + "\r\nHelp=" + longHelp + "\r\nSetup=\r\n");
    LocationProfile profile(directory.path());
    EXPECT_EQ(profile.Read("Wien", kLocationNameKey, "", kLocationValueBufferSize), longName.substr(0, 63));
    EXPECT_EQ(profile.Read("Wien", kLocationHelpKey, "eng.hlp", kLocationHelpBufferSize),
              longHelp.substr(0, 255));
    EXPECT_EQ(profile.Read("Wien", kLocationMessagesKey, "eng.dll", kLocationValueBufferSize), "eng.dll");
    EXPECT_EQ(profile.Read("Wien", kLocationSetupKey, "English", kLocationValueBufferSize), "");
}

TEST(LocationProfileTest, MissingProfileHasNoSections) {
    test::TempDirectory directory;
    LocationProfile profile(directory.path());
    ASSERT_TRUE(profile.ReadSectionNames());
    EXPECT_TRUE(profile.SectionNames().empty());
}

TEST(LocationProfileTest, LongSectionNamesAreCutWhenChosen) {
    test::TempDirectory directory;
    std::string longSection(140, 's');
    directory.WriteFile("ZSPROFIL.INI", "[" + longSection + "]\r\nName=Long\r\n");
    LocationProfile profile(directory.path());
    ASSERT_TRUE(profile.ReadSectionNames());
    EXPECT_EQ(profile.SectionName(0), longSection.substr(0, 127));
}

}  // namespace
}  // namespace zs::language
