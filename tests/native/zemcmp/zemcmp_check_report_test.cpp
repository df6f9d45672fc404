// zemcmp check's two reports and its exit statuses: the JSON fields in their order, valid JSON and a text
// that cannot act on a terminal whatever bytes the medium holds, and the table of finding codes, which the
// media authors' guide repeats.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <sstream>

#include "check_test_medium.h"
#include "zs_version.h"

namespace zs::test {
namespace {

using Findings = std::vector<std::string>;
using Keys = std::vector<std::string>;

TEST(ZemcmpCheckReport, CleanMediumPassesEvenWhenStrict) {
    TestMedium medium;
    ToolRun run = medium.Check({"--strict"});
    EXPECT_EQ(run.exitCode, 0) << run.out;
    EXPECT_NE(
        run.out.find("\nsetup.exe would start the main setup module _SETUP.EXE (with the first language "
                     "offered, English).\n\n0 errors, 0 warnings, 3 notes: the medium is clean.\n"),
        std::string::npos)
        << run.out;
}

// The example that the release package and the media authors' guide give must itself pass.
TEST(ZemcmpCheckReport, ReleaseExampleListFileIsClean) {
    TestMedium medium;
    medium.Write("SETUP.LST", ReadFile(std::string(ZS_SOURCE_DIR) + "/cmake/release/SETUP.LST"));
    medium.Write("SETUPDAT.DLL", "MZ a library of the main module");
    medium.WriteCompressed("SETUPHLP.HL_", "help");
    JsonValue report = medium.CheckJson({"--strict"});
    EXPECT_EQ(report["exitStatus"].number, 0);
    EXPECT_EQ(FindingSummaries(report), Findings{});
    EXPECT_EQ(PredictionSummary(report), "starts-main-module - 0 English");
}

TEST(ZemcmpCheckReport, TextShowsWhereWhatAndTheMessageLineByLine) {
    TestMedium medium;
    medium.SetupLang("0=G\n1=Deutsch,G\n");
    medium.Remove("DATA.BIN");
    ToolRun run = medium.Check();
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(
        run.out.find("\nerror: SETUP.LST [StartUp] 2 = \"DATA.BIN\": neither DATA.BIN nor its compressed "
                     "name DATA.BI_ is on the medium: setup.exe stops\n"
                     "    setup.exe shows (stop icon, in Deutsch):\n"
                     "        Konnte Initialisierungsdatei:\n"
                     "        DATA.BIN nicht finden.\n"
                     "\nsetup.exe would stop at step staging (with the first language offered, Deutsch), "
                     "exit status 2.\n"
                     "\n1 error, 0 warnings, 3 notes: setup.exe would not get to the main setup module on "
                     "this medium.\n"),
        std::string::npos)
        << run.out;
}

// Warnings fail the check only with --strict; notes never do; errors always do.
TEST(ZemcmpCheckReport, ExitStatusFollowsTheWorstFindingAndStrict) {
    TestMedium medium;
    medium.WriteCompressed("DATA.BI_", "never used");  // a warning: the plain DATA.BIN wins
    EXPECT_EQ(medium.Check().exitCode, 0);
    EXPECT_EQ(medium.Check({"--strict"}).exitCode, 1);
    medium.Remove("ZSRES.DLL");
    EXPECT_EQ(medium.Check().exitCode, 2);
    EXPECT_EQ(medium.Check({"--strict"}).exitCode, 2);
}

TEST(ZemcmpCheckReport, JsonHasTheDocumentedFieldsInOrder) {
    TestMedium medium;
    medium.Remove("DATA.BIN");
    medium.Write("DATA.BI_", "not compressed at all, but longer than a header of thirty-two bytes");
    JsonValue report = medium.CheckJson({"--strict"});
    EXPECT_EQ(report.Keys(), (Keys{"tool", "directory", "exitStatus", "prediction", "findings", "errors",
                                   "warnings", "notes"}));
    EXPECT_EQ(report["tool"].string, std::string("zemcmp ") + ZS_VERSION_TEXT);
    EXPECT_EQ(report["directory"].string, medium.path());
    EXPECT_EQ(report["exitStatus"].number, 2);
    EXPECT_EQ(report["errors"].number, 1);
    EXPECT_EQ(report["warnings"].number, 0);
    EXPECT_EQ(report["notes"].number, 3);

    const JsonValue& prediction = report["prediction"];
    EXPECT_EQ(prediction.Keys(), (Keys{"outcome", "phase", "exitStatus", "language", "message"}));
    EXPECT_EQ(PredictionSummary(report), "stops staging 2 English");

    const JsonValue& finding = FindingOf(report, "start-up-file-damaged");
    EXPECT_EQ(finding.Keys(),
              (Keys{"severity", "code", "phase", "file", "section", "key", "value", "text", "message"}));
    EXPECT_EQ(finding["severity"].string, "error");
    EXPECT_EQ(finding["phase"].string, "staging");
    EXPECT_EQ(finding["file"].string, "SETUP.LST");
    EXPECT_EQ(finding["section"].string, "StartUp");
    EXPECT_EQ(finding["key"].string, "2");
    EXPECT_EQ(finding["value"].string, "DATA.BIN");
    EXPECT_NE(finding["text"].string.find("not a compressed file"), std::string::npos);
    EXPECT_EQ(finding["message"].Keys(), (Keys{"text", "stringId", "icon", "language"}));
    EXPECT_EQ(finding["message"]["text"].string,
              "Could not decompress required initialization file:\nDATA.BIN");
    EXPECT_EQ(finding["message"]["stringId"].number, 105);
    EXPECT_EQ(finding["message"]["icon"].string, "stop");
    EXPECT_EQ(finding["message"]["language"].string, "English");
    EXPECT_EQ(prediction["message"]["text"].string, finding["message"]["text"].string);

    // Findings without a key or message have nulls there, not empty texts.
    const JsonValue& note = report["findings"].array.at(0);
    EXPECT_EQ(note["code"].string, "unsigned-image");
    for (const char* field : {"phase", "section", "key", "value", "message"}) {
        EXPECT_EQ(note[field].kind, JsonValue::kNull) << field;
    }
}

// Values come from the medium as they are: control characters, code page 1252 and broken UTF-8.
TEST(ZemcmpCheckReport, JsonStaysValidWhateverBytesTheValuesHold) {
    TestMedium medium;
    medium.StartUp(std::string("AppName=Demo\nTmpDirSize=1\nTmpDirName=C:\\T\n1=_SETUP.EXE\n") +
                   "Note=Caf\xE9 \"q\" \\ \x01\x1B[0m\tend \xC3\xA9 \xC3 \xFF\x81\n");
    JsonValue report = medium.CheckJson();
    EXPECT_EQ(FindingOf(report, "key-not-read")["value"].string,
              "Caf\xC3\xA9 \"q\" \\ \x01\x1B[0m\tend \xC3\xA9 \xC3\x83 \xC3\xBF\xC2\x81");
}

// An escape sequence in a list file must not reach the terminal: the text report shows it escaped.
TEST(ZemcmpCheckReport, TextEscapesControlCharacters) {
    TestMedium medium;
    medium.StartUp(std::string("AppName=\x1B[31mRed\x1B[0m and a name much too long\nTmpDirSize=1\n") +
                   "TmpDirName=C:\\T\n1=_SETUP.EXE\nNote=\x07\xC2\x9B"
                   "2J\x81\n");
    ToolRun run = medium.Check();
    EXPECT_EQ(std::count_if(
                  run.out.begin(), run.out.end(),
                  [](char c) { return (static_cast<unsigned char>(c) < 0x20 && c != '\n') || c == 0x7F; }),
              0)
        << run.out;
    EXPECT_EQ(run.out.find("\xC2\x9B"), std::string::npos);  // the C1 control sequence introducer
    EXPECT_NE(run.out.find("AppName = \"\\x1B[31mRed\\x1B[0m and a name much too long\""), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("Note = \"\\x07\\x9B2J\\x81\""), std::string::npos) << run.out;
}

TEST(ZemcmpCheckReport, UnreadableDirectoryIsAnErrorAndBadUsageIsTwo) {
    ScratchDir dir;
    ToolRun run = RunTool({"check", "--json", dir / "none"});
    EXPECT_EQ(run.exitCode, 2);
    JsonValue report = ParseJson(run.out);
    EXPECT_EQ(FindingOf(report, "medium-unreadable")["severity"].string, "error");
    EXPECT_EQ(report["prediction"].kind, JsonValue::kNull);

    for (const auto& args : std::vector<std::vector<std::string>>{
             {"check"}, {"check", "a", "b"}, {"check", "--codes", dir.path()}, {"test", "--json", "x"}}) {
        ToolRun bad = RunTool(args);
        EXPECT_EQ(bad.exitCode, 2) << ::testing::PrintToString(args);
        EXPECT_EQ(bad.out, "");
    }
    ToolRun help = RunTool({"check", "--help"});
    for (const char* text : {"check [--json] [--strict] [--medium-path WINPATH] [-j N] DIR | check --codes",
                             "\"prediction\"", "\"phase\""}) {
        EXPECT_NE(help.out.find(text), std::string::npos) << text;
    }
}

// The guide's table of codes is the tool's: every code with its severity and meaning, and no other.
TEST(ZemcmpCheckReport, GuideListsExactlyTheCodesOfTheTable) {
    ToolRun run = RunTool({"check", "--codes"});
    ASSERT_EQ(run.exitCode, 0);
    std::vector<std::string> table;
    std::istringstream lines(run.out);
    for (std::string line; std::getline(lines, line);) table.push_back(line);

    std::vector<std::string> guide;
    const std::regex row(R"(^\| `([a-z0-9-]+)` \| (error|warning|note) \| (.*) \|$)");
    std::istringstream doc(ReadFile(std::string(ZS_SOURCE_DIR) + "/docs/media-authors.md"));
    for (std::string line; std::getline(doc, line);) {
        std::smatch match;
        if (std::regex_match(line, match, row))
            guide.push_back(match[1].str() + "\t" + match[2].str() + "\t" + match[3].str());
    }
    EXPECT_EQ(guide, table);
    EXPECT_EQ(KnownCodes().size(), table.size());
    EXPECT_GT(table.size(), 50u);
}

}  // namespace
}  // namespace zs::test
