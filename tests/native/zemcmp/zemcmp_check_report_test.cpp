// zemcmp check: the clean medium, the two forms of the report and the exit statuses.
#include <gtest/gtest.h>

#include "check_test_medium.h"
#include "zs_version.h"

namespace zs::test {
namespace {

using Findings = std::vector<std::string>;

TEST(ZemcmpCheckReport, CleanMediumPassesEvenWhenStrict) {
    TestMedium medium;
    ToolRun run = medium.Check();
    EXPECT_EQ(run.exitCode, 0) << run.out;
    EXPECT_EQ(run.out, "Checking the medium in " + medium.path() +
                           "\n\n0 errors, 0 warnings, 0 notes: the medium is clean.\n");
    EXPECT_EQ(medium.Check({"--strict"}).exitCode, 0);
    EXPECT_EQ(medium.Findings(), Findings{});
}

// The example that the release package and the media authors' guide give must itself pass.
TEST(ZemcmpCheckReport, ReleaseExampleListFileIsClean) {
    TestMedium medium;
    medium.Write("SETUP.LST", ReadFile(std::string(ZS_SOURCE_DIR) + "/cmake/release/SETUP.LST"));
    medium.Write("SETUPDAT.DLL", "MZ");
    medium.WriteCompressed("SETUPHLP.HL_", "help");
    JsonValue report = medium.CheckJson({"--strict"});
    EXPECT_EQ(report["exitStatus"].number, 0);
    EXPECT_EQ(report["findings"].array.size(), 0u) << ::testing::PrintToString(FindingSummaries(report));
}

TEST(ZemcmpCheckReport, TextNamesKeyAndValueAndShowsTheMessageLineByLine) {
    TestMedium medium;
    medium.Remove("DATA.BIN");
    ToolRun run = medium.Check();
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(
        run.out.find("\nerror: SETUP.LST [StartUp] 2 = \"DATA.BIN\": neither DATA.BIN nor its compressed "
                     "name DATA.BI_ is on the medium: setup.exe stops\n"
                     "    setup.exe shows, in the language the user chose (English text):\n"
                     "        Could not find required initialization file:\n"
                     "        DATA.BIN\n"),
        std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("\n1 error, 0 warnings, 0 notes: setup.exe would stop on this medium.\n"),
              std::string::npos);
}

// Warnings fail the check only with --strict; notes never do; errors always do.
TEST(ZemcmpCheckReport, ExitStatusFollowsTheWorstFindingAndStrict) {
    TestMedium medium;
    medium.Write("data.bi_", Compress("never used"));  // a warning: the plain DATA.BIN wins
    EXPECT_EQ(medium.Check().exitCode, 0);
    EXPECT_EQ(medium.Check({"--strict"}).exitCode, 1);

    TestMedium noted;
    noted.Remove("SETUP.EXE");
    noted.Write("Setup.exe", "MZ");  // a note only: the case differs
    EXPECT_EQ(noted.Check({"--strict"}).exitCode, 0);

    medium.Remove("ZSRES.DLL");
    EXPECT_EQ(medium.Check().exitCode, 2);
    EXPECT_EQ(medium.Check({"--strict"}).exitCode, 2);
}

TEST(ZemcmpCheckReport, JsonHasTheDocumentedFieldsInOrder) {
    TestMedium medium;
    medium.Remove("DATA.BIN");
    medium.Write("DATA.BI_", "not compressed at all, but longer than a header of thirty-two bytes");
    JsonValue report = medium.CheckJson({"--strict"});
    EXPECT_EQ(report.Keys(), (std::vector<std::string>{"tool", "directory", "exitStatus", "findings",
                                                       "errors", "warnings", "notes"}));
    EXPECT_EQ(report["tool"].string, std::string("zemcmp ") + ZS_VERSION_TEXT);
    EXPECT_EQ(report["directory"].string, medium.path());
    EXPECT_EQ(report["exitStatus"].number, 2);
    EXPECT_EQ(report["errors"].number, 1);
    EXPECT_EQ(report["warnings"].number, 0);
    ASSERT_EQ(report["findings"].array.size(), 1u);

    const JsonValue& finding = report["findings"].array[0];
    EXPECT_EQ(finding.Keys(), (std::vector<std::string>{"severity", "code", "file", "section", "key", "value",
                                                        "text", "message"}));
    EXPECT_EQ(finding["severity"].string, "error");
    EXPECT_EQ(finding["code"].string, "start-up-file-damaged");
    EXPECT_EQ(finding["file"].string, "SETUP.LST");
    EXPECT_EQ(finding["section"].string, "StartUp");
    EXPECT_EQ(finding["key"].string, "2");
    EXPECT_EQ(finding["value"].string, "DATA.BIN");
    EXPECT_NE(finding["text"].string.find("not a compressed file"), std::string::npos);
    EXPECT_EQ(finding["message"]["text"].string,
              "Could not decompress required initialization file:\nDATA.BIN");
    EXPECT_EQ(finding["message"]["stringId"].number, 105);
    EXPECT_EQ(finding["message"]["language"].string, "chosen-language");
}

// Values come from the medium as they are: the JSON must stay valid whatever bytes they hold.
TEST(ZemcmpCheckReport, JsonEscapesControlCharactersAndKeepsOnlyValidUtf8) {
    TestMedium medium;
    medium.StartUp(
        "AppName=Caf\xE9 \"Wiener\" \\ Tab\there, and so on and on\nTmpDirSize=1 MB "
        "\xC3\xA9\nTmpDirName=C:\\T\n"
        "1=_SETUP.EXE\n");
    JsonValue report = medium.CheckJson();
    EXPECT_EQ(FindingOf(report, "app-name-cut")["value"].string,
              "Caf\xC3\xA9 \"Wiener\" \\ Tab\there, and so on and on");
    EXPECT_EQ(FindingOf(report, "tmp-dir-size-not-a-number")["value"].string, "1 MB \xC3\xA9");
}

TEST(ZemcmpCheckReport, UnreadableDirectoryIsAnErrorAndBadUsageIsTwo) {
    ScratchDir dir;
    ToolRun run = RunTool({"check", "--json", dir / "none"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(ParseJson(run.out)["findings"].array.at(0)["code"].string, "medium-unreadable");

    for (const auto& args : std::vector<std::vector<std::string>>{
             {"check"}, {"check", "a", "b"}, {"check", "-f", dir.path()}, {"test", "--json", "x"}}) {
        ToolRun bad = RunTool(args);
        EXPECT_EQ(bad.exitCode, 2) << ::testing::PrintToString(args);
        EXPECT_EQ(bad.out, "");
    }
    ToolRun help = RunTool({"check", "--help"});
    for (const char* text : {"zemcmp check [--json] [--strict] DIR", "--strict", "\"stringId\""}) {
        EXPECT_NE(help.out.find(text), std::string::npos) << text;
    }
}

}  // namespace
}  // namespace zs::test
