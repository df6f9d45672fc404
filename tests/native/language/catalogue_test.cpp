#include "language/catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <map>

namespace zs::language {
namespace {

// The catalogue as the resource library ships it, plus one message so that reading past it would show.
const std::map<int, std::string> kShippedTable = {
    {1, "12"},
    {2, "English0101"},
    {3, "Deutsch0201"},
    {4, "Magyar0301"},
    {5, "Italiano0401"},
    {6, "Francais1001"},
    {7, "Nederlands1301"},
    {8, "Espanol1401"},
    {9, "Brasileiro0801"},
    {10, "Cesky1501"},
    {11, "Hrvatski1201"},
    {12, "Polski1601"},
    {13, "Romana1701"},
    {101, "Setup"},
};

StringLoader LoaderFor(std::map<int, std::string> table) {
    return [table = std::move(table)](int id) -> std::optional<std::string> {
        auto found = table.find(id);
        if (found == table.end()) return std::nullopt;
        return found->second;
    };
}

std::vector<std::string> NamesOf(const std::vector<CatalogueEntry>& entries) {
    std::vector<std::string> names;
    for (const CatalogueEntry& entry : entries) names.push_back(entry.name);
    return names;
}

TEST(Catalogue, EntrySplitsIntoNameAndFourDigitBase) {
    std::optional<CatalogueEntry> french = ParseCatalogueEntry("Francais1001");
    ASSERT_TRUE(french);
    EXPECT_EQ(french->name, "Francais");
    EXPECT_EQ(french->blockBase, 1001);
    EXPECT_EQ(ParseCatalogueEntry("Brasileiro0801")->blockBase, 801);
    EXPECT_EQ(ParseCatalogueEntry("English0101")->text, "English0101");
}

TEST(Catalogue, EntriesOutsideFourTo63CharactersAreLeftOut) {
    EXPECT_FALSE(ParseCatalogueEntry(""));
    EXPECT_FALSE(ParseCatalogueEntry("101"));
    std::optional<CatalogueEntry> bare = ParseCatalogueEntry("0101");
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->name, "");
    EXPECT_EQ(bare->blockBase, 101);
    EXPECT_TRUE(ParseCatalogueEntry(std::string(59, 'N') + "0201"));
    EXPECT_FALSE(ParseCatalogueEntry(std::string(60, 'N') + "0201"));
    // Digits are read up to the first other character.
    EXPECT_EQ(ParseCatalogueEntry("Xx01x1")->blockBase, 1);
    EXPECT_EQ(ParseCatalogueEntry("Xxabcd")->blockBase, 0);
}

TEST(Catalogue, ReadsTheShippedCatalogueAndLogsIt) {
    std::vector<std::string> log;
    std::vector<CatalogueEntry> catalogue =
        ReadCatalogue(LoaderFor(kShippedTable), [&log](const std::string& line) { log.push_back(line); });
    ASSERT_EQ(catalogue.size(), 12u);
    EXPECT_EQ(catalogue[7].name, "Brasileiro");  // catalogue order differs from block order
    EXPECT_EQ(catalogue[7].blockBase, 801);
    ASSERT_EQ(log.size(), 13u);
    EXPECT_EQ(log[0], "Number of setup languages:12");
    EXPECT_EQ(log[1], "\tEnglish0101");
    EXPECT_EQ(log[12], "\tRomana1701");
}

TEST(Catalogue, CountIsTheLeadingDigitsOfStringOne) {
    EXPECT_EQ(LeadingDecimalValue("12 languages"), 12);
    EXPECT_EQ(LeadingDecimalValue(" 12"), 0);
    EXPECT_EQ(LeadingDecimalValue("99999999999999"), INT_MAX);

    std::map<int, std::string> table = kShippedTable;
    table[1] = "none";
    std::vector<std::string> log;
    EXPECT_TRUE(
        ReadCatalogue(LoaderFor(table), [&log](const std::string& line) { log.push_back(line); }).empty());
    EXPECT_EQ(log, std::vector<std::string>{"Number of setup languages:0"});
    table.erase(1);
    EXPECT_TRUE(ReadCatalogue(LoaderFor(table), nullptr).empty());
    table[1] = "3";
    EXPECT_EQ(ReadCatalogue(LoaderFor(table), nullptr).size(), 3u);
}

// Regression: the reading stopped at the first missing entry string and after 99 entries, so a custom
// resource library with a gap in its catalogue lost every entry after the gap.
TEST(Catalogue, AMissingEntryIsSkippedAndTheEntriesAfterItAreStillRead) {
    std::map<int, std::string> table = {{1, "4"}, {2, "English0101"}, {3, "Deutsch0201"}, {5, "Cesky1501"}};
    std::vector<std::string> log;
    std::vector<CatalogueEntry> catalogue =
        ReadCatalogue(LoaderFor(table), [&log](const std::string& line) { log.push_back(line); });
    EXPECT_EQ(NamesOf(catalogue), (std::vector<std::string>{"English", "Deutsch", "Cesky"}));
    EXPECT_EQ(log, (std::vector<std::string>{"Number of setup languages:4", "\tEnglish0101", "\tDeutsch0201",
                                             "\t", "\tCesky1501"}));
}

TEST(Catalogue, AHugeCountReadsNoFurtherThanTheLastStringId) {
    int highestId = 0;
    int reads = 0;
    StringLoader onlyTheCount = [&](int id) -> std::optional<std::string> {
        highestId = std::max(highestId, id);
        ++reads;
        return id == 1 ? std::optional<std::string>("2000000000") : std::nullopt;
    };
    EXPECT_TRUE(ReadCatalogue(onlyTheCount, nullptr).empty());
    EXPECT_EQ(highestId, 65535);
    EXPECT_EQ(reads, 65535);
}

TEST(Catalogue, MalformedEntriesAreLoggedButNeitherOfferedNorMatched) {
    std::map<int, std::string> table = {
        {1, "3"}, {2, "En"}, {3, std::string(70, 'D') + "0201"}, {4, "Cesky1501"}};
    std::vector<std::string> log;
    std::vector<CatalogueEntry> catalogue =
        ReadCatalogue(LoaderFor(table), [&log](const std::string& line) { log.push_back(line); });
    EXPECT_EQ(NamesOf(catalogue), std::vector<std::string>{"Cesky"});
    EXPECT_EQ(log.size(), 4u);
    EXPECT_EQ(log[1], "\tEn");
}

TEST(Catalogue, OffersEntriesWhoseNameOccursInTheSupportedText) {
    std::vector<CatalogueEntry> catalogue = ReadCatalogue(LoaderFor(kShippedTable), nullptr);
    EXPECT_EQ(NamesOf(OfferedEntries(catalogue, "EnglishDeutsch")),
              (std::vector<std::string>{"English", "Deutsch"}));
    EXPECT_EQ(NamesOf(OfferedEntries(catalogue, "DeutschEnglish")),
              (std::vector<std::string>{"English", "Deutsch"}));
    EXPECT_TRUE(OfferedEntries(catalogue, "").empty());
    EXPECT_TRUE(OfferedEntries(catalogue, "english").empty());
    // A plain substring test: a name inside a longer enabled name is offered too.
    EXPECT_EQ(NamesOf(OfferedEntries(catalogue, "SuperPolskiPlus")), std::vector<std::string>{"Polski"});
}

TEST(Catalogue, BlockBaseForANameTakesTheFirstExactMatch) {
    std::vector<CatalogueEntry> catalogue = ReadCatalogue(LoaderFor(kShippedTable), nullptr);
    catalogue.push_back(*ParseCatalogueEntry("Deutsch0901"));
    EXPECT_EQ(BlockBaseForName("Deutsch", catalogue), 201);
    EXPECT_EQ(BlockBaseForName("Brasileiro", catalogue), 801);
    EXPECT_EQ(BlockBaseForName("deutsch", catalogue), 101);  // no entry: the English block
    EXPECT_EQ(BlockBaseForName("Deutsc", catalogue), 101);
}

TEST(Catalogue, LocationSetupValueMatchesTheFirstOfferedEntryContainingIt) {
    std::vector<CatalogueEntry> offered =
        OfferedEntries(ReadCatalogue(LoaderFor(kShippedTable), nullptr), "EnglishDeutsch");

    LanguageSelection german = MatchSetupLanguage("Deutsch", offered);
    EXPECT_EQ(german.languageName, "Deutsch");
    EXPECT_EQ(german.languageBase, 201);
    EXPECT_FALSE(german.cancelled);

    // The whole entry counts, digits included, and the value is passed on as read.
    LanguageSelection digits = MatchSetupLanguage("h02", offered);
    EXPECT_EQ(digits.languageName, "h02");
    EXPECT_EQ(digits.languageBase, 201);

    LanguageSelection empty = MatchSetupLanguage("", offered);
    EXPECT_EQ(empty.languageName, "");
    EXPECT_EQ(empty.languageBase, 101);
}

TEST(Catalogue, UnmatchedLocationFallsBackToEnglishEvenWhenEnglishIsNotOffered) {
    std::vector<CatalogueEntry> catalogue = ReadCatalogue(LoaderFor(kShippedTable), nullptr);
    for (const char* supported : {"EnglishDeutsch", "Magyar", ""}) {
        LanguageSelection selection = MatchSetupLanguage("Francais", OfferedEntries(catalogue, supported));
        EXPECT_EQ(selection.languageName, "English") << supported;
        EXPECT_EQ(selection.languageBase, 101) << supported;
    }
    // Not offered means not matched, even when the catalogue has it.
    EXPECT_EQ(MatchSetupLanguage("Magyar", OfferedEntries(catalogue, "Deutsch")).languageBase, 101);
    // Empty value with German offered first in catalogue order.
    EXPECT_EQ(MatchSetupLanguage("", OfferedEntries(catalogue, "Deutsch")).languageBase, 201);
}

}  // namespace
}  // namespace zs::language
