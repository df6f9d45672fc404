// zemcmp check on the start-up file entries and the files they name: what the staging of setup.exe would
// stop on, and what it would silently copy, skip or never use.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "check_test_medium.h"

namespace zs::test {
namespace {

using Findings = std::vector<std::string>;

constexpr char kValues[] = "AppName=Demo\nTmpDirSize=1048576\nTmpDirName=C:\\SETUPTMP\n";

std::string StartUp(const std::string& entries) {
    return kValues + entries;
}

TEST(ZemcmpCheckStartUpList, NoFirstEntryAndGaps) {
    TestMedium medium;
    medium.StartUp(StartUp("2=_SETUP.EXE\n"));
    JsonValue report = medium.CheckJson();
    EXPECT_EQ(medium.Findings(),
              (Findings{"error start-up-list-empty [StartUp] 1", "warning key-after-list-end [StartUp] 2"}));
    EXPECT_EQ(FindingOf(report, "start-up-list-empty")["message"]["text"].string, "SETUP.LST is corrupted.");

    medium.StartUp(StartUp("1=_SETUP.EXE\n2=DATA.BIN\n4=LATE.DLL\n5=NO ENTRY\n"));
    report = medium.CheckJson();
    EXPECT_EQ(medium.Findings(),
              (Findings{"warning key-after-list-end [StartUp] 4", "warning key-after-list-end [StartUp] 5"}));
    EXPECT_EQ(report["findings"].array.at(1)["text"].string,
              "the key 5 is never read: the numbered entries end before it, where key 3 is missing");
}

TEST(ZemcmpCheckStartUpList, EntriesCutOrNotPlainNames) {
    TestMedium medium;
    medium.Write("A_VERY_LONG_FILE_NAME_OF_MANY_C", "the cut name exists");
    medium.StartUp(
        StartUp("1=_SETUP.EXE\n2=A_VERY_LONG_FILE_NAME_OF_MANY_CHARACTERS.DLL\n3=..\\OTHER.DLL\n"
                "4=SUB/FILE.DLL\n5=DATA.BIN, 1\n6=DATA.BIN,x\n7=.HIDDEN\n"));
    medium.Write(".HIDDEN", "a file the clean-up passes over");
    JsonValue report = medium.CheckJson();
    EXPECT_EQ(
        medium.Findings(),
        (Findings{"warning start-up-entry-cut [StartUp] 2", "error start-up-entry-not-plain [StartUp] 3",
                  "error start-up-entry-not-plain [StartUp] 4", "warning start-up-mark-ignored [StartUp] 5",
                  "note start-up-mark-unknown [StartUp] 6", "warning start-up-entry-repeated [StartUp] 6",
                  "warning start-up-entry-dot-name [StartUp] 7"}));
    EXPECT_NE(FindingOf(report, "start-up-entry-cut")["text"].string.find(
                  "stages the file \"A_VERY_LONG_FILE_NAME_OF_MANY_C\""),
              std::string::npos);
}

TEST(ZemcmpCheckStartUpFiles, MissingFileNamesTheEntryNotTheCompressedName) {
    TestMedium medium;
    medium.StartUp(StartUp("1=_SETUP.EXE\n2=FILE.DLL\n"));
    JsonValue report = medium.CheckJson();
    const JsonValue& missing = FindingOf(report, "start-up-file-missing");
    EXPECT_EQ(missing["value"].string, "FILE.DLL");
    EXPECT_NE(missing["text"].string.find("neither FILE.DLL nor its compressed name FILE.DL_"),
              std::string::npos);
    EXPECT_EQ(missing["message"]["text"].string, "Could not find required initialization file:\nFILE.DLL");
}

TEST(ZemcmpCheckStartUpFiles, DamagedCompressedFilesAreDecodedCompletely) {
    TestMedium medium;
    medium.StartUp(StartUp("1=_SETUP.EXE\n2=DATA.BIN\n3=HEADER.DLL\n4=BODY.DLL\n5=EMPTY.DLL\n"));
    medium.Write("HEADER.DL_", "ZemC31" + Bytes(40, '\0'));  // a signature that is not the format's
    Bytes packed = Compress(Bytes(20000, 'x') + RandomBytes(3000, 7));
    medium.Write("BODY.DL_", packed.substr(0, packed.size() - 100));  // the body ends early
    medium.WriteCompressed("EMPTY.DL_", "");
    JsonValue report = medium.CheckJson();
    EXPECT_EQ(medium.Findings(), (Findings{"error start-up-file-damaged [StartUp] 3",
                                           "error start-up-file-damaged [StartUp] 4"}));
    const JsonValue& header = report["findings"].array.at(0);
    EXPECT_NE(
        header["text"].string.find("HEADER.DL_, the compressed copy of HEADER.DLL, does not expand: not a "
                                   "compressed file"),
        std::string::npos);
    EXPECT_EQ(header["message"]["text"].string,
              "Could not decompress required initialization file:\nHEADER.DLL");
    EXPECT_NE(report["findings"].array.at(1)["text"].string.find("truncated"), std::string::npos);
}

TEST(ZemcmpCheckStartUpFiles, PlainFileWinsOverItsCompressedCopy) {
    TestMedium medium;
    medium.Write("_SETUP.EXE", "MZ plain main module");
    medium.Write("DATA.BIN", Compress("compressed bytes under the plain name"));
    EXPECT_EQ(medium.Findings(), (Findings{"warning start-up-file-both-copies [StartUp] 1",
                                           "warning start-up-file-compressed-under-plain-name [StartUp] 2"}));
}

TEST(ZemcmpCheckStartUpFiles, DirectoriesAreNotFiles) {
    TestMedium medium;
    medium.Remove("DATA.BIN");
    ASSERT_EQ(::mkdir((medium / "DATA.BIN").c_str(), 0755), 0);
    medium.Remove("ZSRES.DLL");
    ASSERT_EQ(::mkdir((medium / "ZSRES.DLL").c_str(), 0755), 0);
    EXPECT_EQ(medium.Findings(),
              (Findings{"error resource-library-missing", "error start-up-file-unreadable [StartUp] 2"}));
}

TEST(ZemcmpCheckStartUpFiles, MainModuleMustBeStaged) {
    TestMedium medium;
    medium.StartUp(StartUp("1=DATA.BIN\n"));
    JsonValue report = medium.CheckJson();
    EXPECT_EQ(medium.Findings(), Findings{"error main-module-not-listed [StartUp]"});
    EXPECT_EQ(FindingOf(report, "main-module-not-listed")["message"].kind, JsonValue::kNull);
}

TEST(ZemcmpCheckWorkstationRun, MarkedEntriesAndThingsNotExpanded) {
    TestMedium medium;
    medium.StartUp(StartUp("1=_SETUP.EXE,1\n2=DATA.BIN,1\n"));
    EXPECT_EQ(medium.Findings(), Findings{"warning start-up-list-empty-in-workstation-run [StartUp]"});

    medium.Write("ADMIN.INF", "");
    EXPECT_EQ(medium.Findings(), (Findings{"note workstation-run", "error start-up-list-empty [StartUp] 1"}));

    // A marked file need not be there; a compressed one is never expanded, so _SETUP.EXE is missing too.
    medium.StartUp(StartUp("1=_SETUP.EXE\n2=GONE.DLL,1\n"));
    EXPECT_EQ(medium.Findings(),
              (Findings{"note workstation-run", "warning start-up-file-not-expanded [StartUp] 1",
                        "error main-module-missing"}));
}

TEST(ZemcmpCheckCase, NamesAreFoundWithoutRegardToCase) {
    TestMedium medium;
    for (const char* name : {"SETUP.LST", "ZSRES.DLL", "DATA.BIN", "_SETUP.EX_"}) {
        std::rename((medium / name).c_str(), (medium / ("x" + std::string(name))).c_str());
    }
    std::rename((medium / "xSETUP.LST").c_str(), (medium / "Setup.Lst").c_str());
    std::rename((medium / "xZSRES.DLL").c_str(), (medium / "zsres.dll").c_str());
    std::rename((medium / "xDATA.BIN").c_str(), (medium / "data.bin").c_str());
    std::rename((medium / "x_SETUP.EX_").c_str(), (medium / "_setup.ex_").c_str());
    EXPECT_EQ(medium.Findings(), (Findings{"note file-name-case", "note file-name-case",
                                           "note file-name-case", "note file-name-case"}));
    ToolRun run = medium.Check();
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.out.find("note: DATA.BIN: the name is written data.bin on the medium"), std::string::npos)
        << run.out;

    // Two names that Windows takes for one.
    medium.Write("DATA.BIN", "another copy");
    EXPECT_EQ(medium.Findings(), (Findings{"note file-name-case", "note file-name-case",
                                           "note file-name-case", "warning file-name-case-twins"}));
}

}  // namespace
}  // namespace zs::test
