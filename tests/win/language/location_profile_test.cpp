// The location profile read through the Windows profile reader: section names in file order, values with
// their defaults and lengths.
#include "language/location_profile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "profile/private_profile_reader_win32.h"
#include "temp_directory.h"

namespace zs::language {
namespace {

using bootstrap::PrivateProfileReader;

TEST(LocationProfileTest, SectionsInFileOrder) {
    test::TempDirectory directory;
    directory.WriteFile("ZSPROFIL.INI",
                        "[Wien]\r\nName=Austria\r\nSetup=Deutsch\r\n[Zurich]\r\nName=Swiss\r\n");
    PrivateProfileReader reader(directory.path() + kLocationProfileName);
    LocationProfile profile(reader);
    EXPECT_EQ(profile.SectionNames(), (std::vector<std::string>{"Wien", "Zurich"}));
    EXPECT_EQ(profile.SectionName(1), "Zurich");
    EXPECT_EQ(profile.SectionName(2), "");
}

TEST(LocationProfileTest, ValuesWithDefaultsAndLengths) {
    test::TempDirectory directory;
    std::string longHelp(300, 'h');
    std::string longName(100, 'n');
    directory.WriteFile("ZSPROFIL.INI",
                        "[Wien]\r\nName=" + longName + "\r\nHelp=" + longHelp + "\r\nSetup=\r\n");
    PrivateProfileReader reader(directory.path() + kLocationProfileName);
    LocationProfile profile(reader);
    EXPECT_EQ(profile.Read("Wien", kLocationNameKey, "", kLocationValueBufferSize), longName.substr(0, 63));
    EXPECT_EQ(profile.Read("Wien", kLocationHelpKey, "eng.hlp", kLocationHelpBufferSize),
              longHelp.substr(0, 255));
    EXPECT_EQ(profile.Read("Wien", kLocationMessagesKey, "eng.dll", kLocationValueBufferSize), "eng.dll");
    EXPECT_EQ(profile.Read("Wien", kLocationSetupKey, "English", kLocationValueBufferSize), "");
}

TEST(LocationProfileTest, MissingProfileHasNoSections) {
    test::TempDirectory directory;
    PrivateProfileReader reader(directory.path() + kLocationProfileName);
    EXPECT_TRUE(LocationProfile(reader).SectionNames().empty());
}

TEST(LocationProfileTest, LongSectionNamesAreCutWhenChosen) {
    test::TempDirectory directory;
    std::string longSection(140, 's');
    directory.WriteFile("ZSPROFIL.INI", "[" + longSection + "]\r\nName=Long\r\n");
    PrivateProfileReader reader(directory.path() + kLocationProfileName);
    EXPECT_EQ(LocationProfile(reader).SectionName(0), longSection.substr(0, 127));
}

}  // namespace
}  // namespace zs::language
