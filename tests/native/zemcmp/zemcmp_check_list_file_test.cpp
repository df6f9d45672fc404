// zemcmp check on the values of SETUP.LST and ZSPROFIL.INI: what setup.exe stops on before it stages
// anything, and what it silently does with values that are probably mistakes.
#include <gtest/gtest.h>

#include "check_test_medium.h"

namespace zs::test {
namespace {

using Findings = std::vector<std::string>;

constexpr char kCleanStartUp[] =
    "AppName=Demo\nTmpDirSize=1048576\nTmpDirName=C:\\SETUPTMP\n1=_SETUP.EXE\n2=DATA.BIN\n";

TEST(ZemcmpCheckFiles, FilesBesideTheListFileAreRequired) {
    TestMedium medium;
    medium.Remove("ZSRES.DLL");
    medium.Remove("SETUP.EXE");
    JsonValue report = medium.CheckJson();
    EXPECT_EQ(FindingOf(report, "resource-library-missing")["message"]["text"].string,
              "Could not find ZSRES.DLL.");
    EXPECT_EQ(FindingOf(report, "resource-library-missing")["message"]["language"].string, "fixed-text");
    EXPECT_EQ(FindingOf(report, "setup-program-missing")["message"].kind, JsonValue::kNull);

    medium.Remove("SETUP.LST");
    report = medium.CheckJson();
    EXPECT_EQ(report["findings"].array.size(), 3u);  // nothing more can be read
    const JsonValue& missing = FindingOf(report, "list-file-missing");
    EXPECT_EQ(missing["message"]["text"].string, "Could not find required initialization file:\nSETUP.LST");
    EXPECT_EQ(missing["message"]["stringId"].number, 104);
    EXPECT_EQ(missing["message"]["language"].string, "english");
}

TEST(ZemcmpCheckFiles, ByteOrderMarkHidesTheFirstSection) {
    TestMedium medium;
    medium.Write("SETUP.LST", "\xEF\xBB\xBF[SetupLang]\r\n0=E\r\n1=English,E\r\n[StartUp]\r\n" +
                                  std::string(kCleanStartUp));
    EXPECT_EQ(medium.Findings(),
              (Findings{"warning list-file-encoding", "error filter-code-missing [SetupLang] 0",
                        "error language-entry-1-missing [SetupLang] 1"}));
}

TEST(ZemcmpCheckFilterCode, RedirectEmptyMissingAndCut) {
    TestMedium medium;
    medium.SetupLang("0=05\n1=English,E\n");
    JsonValue report = medium.CheckJson();
    EXPECT_EQ(FindingOf(report, "filter-code-redirect")["message"]["text"].string,
              "Please run SETUPKRN.EXE.");

    medium.SetupLang("0=\n1=English,E\n");
    EXPECT_EQ(medium.Findings(), Findings{"error filter-code-missing [SetupLang] 0"});
    medium.SetupLang("1=English,E\n");
    report = medium.CheckJson();
    EXPECT_EQ(FindingOf(report, "filter-code-missing")["message"]["text"].string, "SETUP.LST is corrupted.");
    EXPECT_EQ(FindingOf(report, "filter-code-missing")["value"].kind, JsonValue::kNull);

    // Cut to seven characters, the code no longer matches the entry that was meant.
    medium.SetupLang("0=ABCDEFGH\n1=English,ABCDEFGH\n2=Deutsch,H\n");
    EXPECT_EQ(medium.Findings(), Findings{"warning filter-code-cut [SetupLang] 0"});
}

TEST(ZemcmpCheckLanguages, FaultyEntriesStopSetup) {
    TestMedium medium;
    medium.SetupLang("0=E\n2=English,E\n");
    EXPECT_EQ(medium.Findings(), (Findings{"error language-entry-1-missing [SetupLang] 1",
                                           "warning key-after-list-end [SetupLang] 2"}));
    medium.SetupLang("0=E\n1=English,E\n2=Deutsch\n3=Magyar,E\n");
    JsonValue report = medium.CheckJson();
    const JsonValue& noComma = FindingOf(report, "language-entry-without-comma");
    EXPECT_EQ(noComma["key"].string, "2");
    EXPECT_EQ(noComma["value"].string, "Deutsch");
    EXPECT_EQ(noComma["message"]["text"].string, "SETUP.LST is corrupted.");
    EXPECT_EQ(report["findings"].array.size(), 1u);  // keys after it do not count as a gap
}

TEST(ZemcmpCheckLanguages, SilentMistakesOfTheEntries) {
    TestMedium medium;
    // Unknown name, a name missing before the comma, a code that matches only in another case, a key with a
    // leading zero, a gap.
    medium.SetupLang("0=E\n1=English,E\n2=Klingon,E\n3=,E\n4=Deutsch,xe\n01=Magyar,E\n6=Italiano,E\n");
    EXPECT_EQ(medium.Findings(),
              (Findings{"warning language-unknown [SetupLang] 2", "warning language-name-empty [SetupLang] 3",
                        "warning language-code-case [SetupLang] 4", "warning key-leading-zero [SetupLang] 01",
                        "warning key-after-list-end [SetupLang] 6"}));
    // The catalogue named is the one generated from the resource script.
    EXPECT_NE(FindingOf(medium.CheckJson(), "language-unknown")["text"].string.find(
                  "(English, Deutsch, Magyar, Italiano, Francais, Nederlands, Espanol, Brasileiro, Cesky, "
                  "Hrvatski, Polski, Romana;"),
              std::string::npos);
}

TEST(ZemcmpCheckLanguages, EmptyLanguageListAndOfferingBySubstring) {
    TestMedium medium;
    medium.SetupLang("0=Q\n1=English,E\n2=Deutsch,G\n");
    EXPECT_EQ(medium.Findings(), Findings{"warning no-language-offered [SetupLang]"});
    medium.SetupLang("0=E\n1=Englisch,E\n");
    EXPECT_EQ(medium.Findings(), (Findings{"warning language-unknown [SetupLang] 1",
                                           "warning no-language-offered [SetupLang]"}));
    // "EnglishX" is unknown, but English is offered because its name occurs in the enabled text.
    medium.SetupLang("0=E\n1=EnglishX,E\n");
    EXPECT_EQ(medium.Findings(), (Findings{"warning language-unknown [SetupLang] 1",
                                           "warning language-offered-by-substring [SetupLang]"}));
}

TEST(ZemcmpCheckEditionWord, CaseAndLengthDecideLocationMode) {
    TestMedium medium;
    medium.SetupLang("0=E\n1=English,E\n100=standard edition\n");
    EXPECT_EQ(medium.Findings(), Findings{"warning edition-word-case [SetupLang] 100"});
    medium.SetupLang("0=E\n1=English,E\n100=Professional edition for the Standard\n");
    JsonValue report = medium.CheckJson();
    EXPECT_NE(FindingOf(report, "edition-word-cut")["text"].string.find("location mode stays off"),
              std::string::npos);
    medium.SetupLang("0=E\n1=English,E\n100=Professional\n");
    medium.Write("ZSPROFIL.INI", "[A]\nName=A\n");
    EXPECT_EQ(medium.Findings(), Findings{"note location-profile-unused"});
}

TEST(ZemcmpCheckLocationProfile, MissingEmptyAndNamelessLocations) {
    TestMedium medium;
    medium.SetupLang("0=E\n1=English,E\n2=Deutsch,E\n100=Standard\n");
    EXPECT_EQ(medium.Findings(), Findings{"warning location-profile-missing"});
    medium.Write("zsprofil.ini", "; no sections\n");
    EXPECT_EQ(medium.Findings(), (Findings{"note file-name-case", "warning location-profile-empty"}));

    medium.Write("zsprofil.ini",
                 "[Vienna]\nName=Wien\nSetup=Deutsch\n[Paris]\nSetup=Francais\nName=\n[Rome]\nName=Roma\n"
                 "Setup=Italiano\n[Lost]\nName=Lost\nSetup=\n");
    JsonValue report = medium.CheckJson();
    const JsonValue& nameless = FindingOf(report, "location-name-missing");
    EXPECT_EQ(nameless["severity"].string, "error");
    EXPECT_EQ(nameless["file"].string, "ZSPROFIL.INI");
    EXPECT_EQ(nameless["section"].string, "Paris");
    EXPECT_EQ(nameless["message"].kind, JsonValue::kNull);  // the run ends as cancelled, silently
    EXPECT_EQ(medium.Findings(), (Findings{"note file-name-case", "error location-name-missing [Paris] Name",
                                           "warning location-language-unmatched [Paris] Setup",
                                           "warning location-language-unmatched [Rome] Setup",
                                           "warning location-language-empty [Lost] Setup"}));
}

TEST(ZemcmpCheckStartUpValues, MissingValuesStopSetup) {
    TestMedium medium;
    medium.StartUp("1=_SETUP.EXE\n2=DATA.BIN\n");
    JsonValue report = medium.CheckJson();
    EXPECT_EQ(medium.Findings(), (Findings{"error app-name-missing [StartUp] AppName",
                                           "error tmp-dir-size-missing [StartUp] TmpDirSize",
                                           "error tmp-dir-name-missing [StartUp] TmpDirName"}));
    EXPECT_EQ(FindingOf(report, "app-name-missing")["message"]["language"].string, "english");
    // TmpDirName is read only after the language has been chosen.
    EXPECT_EQ(FindingOf(report, "tmp-dir-name-missing")["message"]["language"].string, "chosen-language");
    EXPECT_EQ(FindingOf(report, "tmp-dir-name-missing")["message"]["stringId"].number, 107);

    // The default text counts as missing; a workstation run needs no temporary directory.
    medium.StartUp("AppName=NO ENTRY\nTmpDirSize=1\n1=_SETUP.EXE\n2=DATA.BIN\n");
    medium.Write("ADMIN.INF", "");
    medium.Write("_SETUP.EXE", "MZ expanded on the administrative installation point");
    EXPECT_EQ(medium.Findings(), (Findings{"note workstation-run", "error app-name-missing [StartUp] AppName",
                                           "warning start-up-file-both-copies [StartUp] 1"}));
}

TEST(ZemcmpCheckStartUpValues, ValuesThatAreCutOrMisread) {
    TestMedium medium;
    medium.StartUp(
        "AppName=An application name of many words\nTmpDirSize=2 MB\nTmpDirName=C:\\TEMP\n"
        "1=_SETUP.EXE\n2=DATA.BIN\n");
    EXPECT_EQ(medium.Findings(), (Findings{"warning app-name-cut [StartUp] AppName",
                                           "warning tmp-dir-size-not-a-number [StartUp] TmpDirSize",
                                           "warning tmp-dir-name-shared [StartUp] TmpDirName"}));
    medium.StartUp("AppName=\nTmpDirSize=plenty\nTmpDirName=SETUPTMP\\\n1=_SETUP.EXE\n2=DATA.BIN\n");
    EXPECT_EQ(medium.Findings(), (Findings{"warning app-name-empty [StartUp] AppName",
                                           "warning tmp-dir-size-no-digits [StartUp] TmpDirSize",
                                           "warning tmp-dir-name-trailing-backslash [StartUp] TmpDirName",
                                           "warning tmp-dir-name-relative [StartUp] TmpDirName"}));
    medium.StartUp("AppName=A\nTmpDirSize=99999999999\nTmpDirName=\n1=_SETUP.EXE\n2=DATA.BIN\n");
    JsonValue report = medium.CheckJson();
    EXPECT_NE(FindingOf(report, "tmp-dir-size-too-large")["text"].string.find("2147483647 bytes"),
              std::string::npos);
    EXPECT_EQ(FindingOf(report, "tmp-dir-name-empty")["message"]["text"].string,
              "Could not create temporary directory for Setup.");
    medium.StartUp("AppName=A\nTmpDirSize=-5\nTmpDirName=D:\\S\n1=_SETUP.EXE\n2=DATA.BIN\n");
    EXPECT_EQ(medium.Findings(), Findings{"warning tmp-dir-size-negative [StartUp] TmpDirSize"});
}

TEST(ZemcmpCheckStartUpValues, RepeatedAndUnknownKeys) {
    TestMedium medium;
    medium.StartUp(std::string(kCleanStartUp) + "appname=Second\nVersion=2\n");
    EXPECT_EQ(medium.Findings(),
              (Findings{"warning key-repeated [StartUp] appname", "note key-not-read [StartUp] Version"}));
}

}  // namespace
}  // namespace zs::test
