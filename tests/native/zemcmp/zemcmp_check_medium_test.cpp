// zemcmp check reads a medium as Windows reads it for setup.exe: file names by Windows' rules, the list file
// with the conventions of Windows' profile reader, values cut to setup.exe's buffers; and the findings that
// hang off that reading: what is read differently from what was probably meant, and what is never read.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "check_test_medium.h"

namespace zs::test {
namespace {

using Findings = std::vector<std::string>;

constexpr char kValues[] = "AppName=Demo\nTmpDirSize=1048576\nTmpDirName=C:\\SETUPTMP\n";
constexpr char kStartsEnglish[] = "starts-main-module - 0 English";

std::string ListFile(const std::string& lineEnd) {
    std::string text;
    for (const char* line : {"[SetupLang]", "0=E", "1=English,E", "[StartUp]", "AppName=Demo", "TmpDirSize=1",
                             "TmpDirName=C:\\T", "1=_SETUP.EXE", "2=DATA.BIN"}) {
        text += line + lineEnd;
    }
    return text;
}

Bytes Utf16Le(const std::string& ascii) {
    Bytes bytes = "\xFF\xFE";
    for (char c : ascii) bytes += std::string{c, '\0'};
    return bytes;
}

TEST(ZemcmpCheckNames, TrailingDotsAndBlanksGoAndDevicesAreNoFiles) {
    TestMedium medium;
    medium.Write("OTHER.BIN", "found without the blank");
    medium.StartUp(std::string(kValues) + "1=_SETUP.EXE\n2=DATA.BIN.\n3=\"OTHER.BIN \"\n");
    JsonValue report = medium.CheckJson();
    EXPECT_EQ(FindingSummaries(report), (Findings{"note start-up-entry-trailing-dot-or-blank [StartUp] 2",
                                                  "note start-up-entry-trailing-dot-or-blank [StartUp] 3"}));
    EXPECT_EQ(PredictionSummary(report), kStartsEnglish);

    for (const char* device : {"NUL", "com1.txt", "AUX .BIN", "CON."}) {
        SCOPED_TRACE(device);
        medium.StartUp(std::string(kValues) + "1=_SETUP.EXE\n2=" + device + "\n");
        EXPECT_EQ(medium.Findings(), Findings{"error start-up-entry-not-plain [StartUp] 2"});
    }
}

TEST(ZemcmpCheckNames, NamesWindowsCannotHoldAreNeverFound) {
    TestMedium medium;
    medium.Write("DATA|1.BIN", "a name Windows cannot hold");
    medium.Write("README.", "nor this one");
    medium.StartUp(std::string(kValues) + "1=_SETUP.EXE\n2=DATA|1.BIN\n");
    JsonValue report = medium.CheckJson();
    EXPECT_EQ(FindingSummaries(report),
              (Findings{"warning file-name-not-windows", "warning file-name-not-windows",
                        "error start-up-file-missing [StartUp] 2"}));
    EXPECT_EQ(report["prediction"]["message"]["text"].string,
              "Could not find required initialization file:\nDATA|1.BIN");
}

TEST(ZemcmpCheckNames, LookupIgnoresCaseAsWindowsDoes) {
    TestMedium medium;
    for (const auto& [from, to] : {std::pair<const char*, const char*>{"SETUP.LST", "Setup.Lst"},
                                   {"ZSRES.DLL", "zsres.dll"},
                                   {"DATA.BIN", "data.bin"},
                                   {"_SETUP.EX_", "_setup.ex_"}}) {
        ASSERT_EQ(std::rename((medium / from).c_str(), (medium / to).c_str()), 0);
    }
    JsonValue report = medium.CheckJson({"--strict"});
    EXPECT_EQ(FindingSummaries(report), (Findings{"note file-name-case", "note file-name-case",
                                                  "note file-name-case", "note file-name-case"}));
    EXPECT_EQ(PredictionSummary(report), kStartsEnglish);
    // Two names that Windows takes for one file.
    medium.Write("DATA.BIN", "another copy");
    EXPECT_EQ(medium.Findings().back(), "warning file-name-case-twins");
}

// Windows may find a file by a short 8.3 alias that the check cannot know: it warns, and predicts without it.
TEST(ZemcmpCheckNames, AnEntryOfTheFormOfAShortAliasIsFlagged) {
    TestMedium medium;
    medium.Write("DATAFILE.BIN", "long name");
    medium.StartUp(std::string(kValues) + "1=_SETUP.EXE\n2=DATAFI~1.BIN\n");
    JsonValue report = medium.CheckJson();
    EXPECT_EQ(FindingSummaries(report), (Findings{"warning start-up-entry-short-name [StartUp] 2",
                                                  "error start-up-file-missing [StartUp] 2"}));
    EXPECT_NE(FindingOf(report, "start-up-entry-short-name")["text"].string.find("(such as DATAFILE.BIN)"),
              std::string::npos);
    medium.Write("DATAFI~1.BIN", "the name itself");
    EXPECT_EQ(medium.Findings(), Findings{});
}

// The compressed name is made of the whole path: the last dot may be the directory's.
TEST(ZemcmpCheckNames, CompressedNameOfANameWithoutADotDependsOnTheDirectory) {
    TestMedium dotted("SETUP.V2");
    dotted.StartUp(std::string(kValues) + "1=_SETUP.EXE\n2=README\n");
    dotted.WriteCompressed("README._", "read me");
    JsonValue report = dotted.CheckJson();
    EXPECT_EQ(FindingSummaries(report), (Findings{"warning compressed-name-depends-on-directory [StartUp] 2",
                                                  "error start-up-file-missing [StartUp] 2"}));
    EXPECT_NE(FirstError(report)["text"].string.find("its compressed name READM_ "), std::string::npos);
    dotted.Remove("README._");
    dotted.WriteCompressed("READM_", "read me");
    EXPECT_EQ(PredictionSummary(dotted.CheckJson()), kStartsEnglish);

    TestMedium plain;
    plain.StartUp(std::string(kValues) + "1=_SETUP.EXE\n2=README\n");
    plain.WriteCompressed("README._", "read me");
    EXPECT_EQ(plain.Findings(), Findings{});
}

// What Windows' profile reader makes of a few list files that other readers read otherwise.
// The compressed start-up files are decoded side by side before the sequence comes to them; the report is
// the same for any number of workers, a damaged file among good ones included.
TEST(ZemcmpCheckMedium, TheReportIsTheSameForAnyNumberOfWorkers) {
    TestMedium medium;
    std::string entries = std::string(kValues) + "1=_SETUP.EXE\n2=DATA.BIN\n";
    for (int i = 1; i <= 4; ++i) {
        medium.WriteCompressed("F" + std::to_string(i) + ".DA_", RandomBytes(70000, i));
        entries += std::to_string(i + 2) + "=F" + std::to_string(i) + ".DAT\n";
    }
    Bytes damaged = Compress(RandomBytes(70000, 9));
    medium.Write("F3.DA_", damaged.substr(0, damaged.size() / 2));
    medium.StartUp(entries);
    ToolRun one = medium.Check({"--json", "-j", "1"});
    ToolRun three = medium.Check({"--json", "-j", "3"});
    EXPECT_EQ(one.out, three.out);
    EXPECT_NE(one.out.find("start-up-file-damaged"), std::string::npos);
}

// Regression: the check held the whole expanded main module in memory to read its headers, and a large one
// (a program padded with 1.2 GB of zeros) ended the check with std::bad_alloc and no report. Only the start
// of the module is expanded now: 64 MiB of it are read under a limit of 48 MiB of address space. (Not in the
// sanitizer build, whose tool reserves more address space than that from the start.)
#if !defined(__SANITIZE_ADDRESS__)
TEST(ZemcmpCheckMedium, ALargeCompressedMainModuleIsCheckedInBoundedMemory) {
    TestMedium medium;
    ScratchDir work;
    WriteFile(work / "_SETUP.EXE", MakeProgram(kMachineI386));
    std::filesystem::resize_file(work / "_SETUP.EXE", 64u << 20);
    ASSERT_EQ(RunTool({"compress", work / "_SETUP.EXE", "-o", medium / "_SETUP.EX_", "-f", "-q"}).exitCode,
              0);
    ToolOptions limited;
    limited.addressSpaceLimit = 48u << 20;
    ToolRun run = RunTool({"check", "--json", medium.path()}, limited);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(PredictionSummary(ParseJson(run.out)), kStartsEnglish) << run.out;
}
#endif

TEST(ZemcmpCheckListFile, ReadAsWindowsProfileReaderReadsIt) {
    const struct {
        const char* name;
        Bytes listFile;
        Findings findings;
        const char* prediction;
    } cases[] = {
        {"a section twice: the first counts",
         ListFile("\r\n") + "[SetupLang]\r\n0=Q\r\n",
         {"warning ini-duplicate-section"},
         kStartsEnglish},
        {"a header without \"]\"",
         "[SetupLang\r\n" + ListFile("\r\n").substr(13),
         {"note ini-header-without-bracket"},
         kStartsEnglish},
        {"CR-only line ends", ListFile("\r"), {"note ini-cr-only-line-ends"}, kStartsEnglish},
        {"UTF-16 LE with its mark",
         Utf16Le(ListFile("\r\n")),
         {"warning ini-byte-order-mark"},
         kStartsEnglish},
        {"a UTF-8 mark hides the first header",
         "\xEF\xBB\xBF" + ListFile("\r\n"),
         {"warning ini-byte-order-mark", "note ini-line-without-equals",
          "warning ini-key-before-first-section", "warning ini-key-before-first-section",
          "error filter-code-missing [SetupLang] 0", "error language-entry-1-missing [SetupLang] 1"},
         "stops languages 2 -"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TestMedium medium;
        medium.Write("SETUP.LST", c.listFile);
        JsonValue report = medium.CheckJson();
        EXPECT_EQ(FindingSummaries(report), c.findings);
        EXPECT_EQ(PredictionSummary(report), c.prediction);
    }
}

TEST(ZemcmpCheckListFile, ValuesCutToSetupsBuffers) {
    TestMedium medium;
    medium.Write("A_VERY_LONG_FILE_NAME_OF_MANY_C", "staged under the cut name");
    medium.SetupLang("0=EFGHIJKL\n1=English,EFGHIJK\n");
    medium.StartUp(
        "AppName=An application name of many words\nTmpDirSize=1\nTmpDirName=C:\\T\n1=_SETUP.EXE\n"
        "2=A_VERY_LONG_FILE_NAME_OF_MANY_CHARACTERS.DLL\n");
    JsonValue report = medium.CheckJson();
    EXPECT_EQ(FindingSummaries(report),
              (Findings{"warning value-cut [SetupLang] 0", "warning value-cut [StartUp] AppName",
                        "warning value-cut [StartUp] 2"}));
    EXPECT_EQ(PredictionSummary(report), kStartsEnglish);
    const JsonValue& appName = FindingOf(report, "value-cut", "AppName");
    EXPECT_EQ(appName["value"].string, "An application name of many words");
    EXPECT_NE(appName["text"].string.find("reads \"An application name of many wor\""), std::string::npos);
}

TEST(ZemcmpCheckListFile, KeysSetupNeverReads) {
    TestMedium medium;
    medium.SetupLang("0=E\n1=English,E\n01=Magyar,E\n3=Deutsch,E\n");
    medium.StartUp(std::string(kValues) + "Version=2\n1=_SETUP.EXE\n2=DATA.BIN\n4=LATE.DLL\n");
    JsonValue report = medium.CheckJson();
    EXPECT_EQ(FindingSummaries(report),
              (Findings{"warning key-leading-zero [SetupLang] 01", "warning key-after-list-end [SetupLang] 3",
                        "note key-not-read [StartUp] Version", "warning key-after-list-end [StartUp] 4"}));
    EXPECT_NE(FindingOf(report, "key-not-read")["value"].string, "");
    EXPECT_NE(FindingOf(report, "key-after-list-end", "4")["text"].string.find("where key 3 is missing"),
              std::string::npos);
}

// Mistakes setup.exe passes over in silence, each reported at its key.
TEST(ZemcmpCheckListFile, SilentMistakesOfTheValues) {
    TestMedium medium;
    medium.SetupLang("0=E\n1=English,E\n2=Klingon,E\n3=,E\n4=Deutsch,xe\n100=standard\n");
    medium.StartUp("AppName=\nTmpDirSize=1 MB\nTmpDirName=SETUPTMP\n1=_SETUP.EXE\n2=DATA.BIN\n");
    EXPECT_EQ(
        medium.Findings(),
        (Findings{"warning language-unknown [SetupLang] 2", "warning language-name-empty [SetupLang] 3",
                  "warning language-code-case [SetupLang] 4", "warning edition-word-case [SetupLang] 100",
                  "warning app-name-empty [StartUp] AppName",
                  "warning tmp-dir-size-not-a-number [StartUp] TmpDirSize",
                  "warning tmp-dir-relative [StartUp] TmpDirName"}));
    for (const auto& [size, code] : {std::pair<const char*, const char*>{"plenty", "tmp-dir-size-no-digits"},
                                     {"-5", "tmp-dir-size-negative"},
                                     {"99999999999", "tmp-dir-size-too-large"}}) {
        TestMedium other;
        other.StartUp(std::string("AppName=A\nTmpDirSize=") + size + "\nTmpDirName=C:\\T\n1=_SETUP.EXE\n");
        EXPECT_EQ(other.Findings(), Findings{std::string("warning ") + code + " [StartUp] TmpDirSize"});
    }
}

}  // namespace
}  // namespace zs::test
