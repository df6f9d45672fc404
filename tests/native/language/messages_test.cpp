#include "language/messages.h"

#include <gtest/gtest.h>

#include <map>

#include "reslib/resource_ids.h"

namespace zs::language {
namespace {

const std::map<int, std::string> kTable = {
    {101, "Setup"},
    {102, "Initializing Setup. Please wait..."},
    {107, "SETUP.LST is corrupted."},
    {301, "Telep\xedt\xf5"},
    {1001, "Installation"},
};

std::optional<std::string> Load(int id) {
    auto found = kTable.find(id);
    if (found == kTable.end()) return std::nullopt;
    return found->second;
}

TEST(Messages, AreAddressedAsBlockBasePlusOffset) {
    EXPECT_EQ(LoadMessage(Load, IDS_ENGLISH_BASE, IDS_LIST_CORRUPTED), "SETUP.LST is corrupted.");
    EXPECT_EQ(LoadMessage(Load, 101, IDS_PLEASE_WAIT), "Initializing Setup. Please wait...");
}

TEST(Messages, MissingStringGivesTheEmptyText) {
    EXPECT_EQ(LoadMessage(Load, 201, IDS_SETUP_WORD), "");
    EXPECT_EQ(LoadMessage(Load, 0, IDS_SETUP_WORD), "");
}

TEST(Messages, CaptionIsTheAppNameABlankAndTheSetupWord) {
    std::string caption = "Foo";
    AppendSetupWord(caption, Load, 301);
    EXPECT_EQ(caption, "Foo Telep\xedt\xf5");

    std::string unnamed;
    AppendSetupWord(unnamed, Load, 101);
    EXPECT_EQ(unnamed, " Setup");

    std::string noWord = "Foo";
    AppendSetupWord(noWord, Load, 201);
    EXPECT_EQ(noWord, "Foo ");
}

}  // namespace
}  // namespace zs::language
