// zemcmp check's prediction of setup.exe's run: every way the run stops or ends as cancelled, with the step,
// the exit status and the message the user would see, taken from the medium's own ZSRES.DLL in the language
// the user keeps (the first one offered). The check goes on past some stops; the first error is the one the
// user sees, and the prediction repeats it.
#include <gtest/gtest.h>

#include <functional>

#include "check_test_medium.h"
#include "startup/sha256.h"
#include "startup/start_up_seals.h"

namespace zs::test {
namespace {

using Findings = std::vector<std::string>;

constexpr char kValues[] = "AppName=Demo\nTmpDirSize=1048576\nTmpDirName=C:\\SETUPTMP\n";
constexpr char kFiles[] = "1=_SETUP.EXE\n2=DATA.BIN\n";
constexpr char kCorruptedBox[] = "stop 107 English: SETUP.LST is corrupted.";
constexpr char kTempDirBox[] = "stop 109 English: Could not create temporary directory for Setup.";

std::function<void(TestMedium&)> TmpDirName(const std::string& name) {
    return
        [name](TestMedium& m) { m.StartUp("AppName=A\nTmpDirSize=1\nTmpDirName=" + name + "\n" + kFiles); };
}

struct Stop {
    const char* name;
    std::function<void(TestMedium&)> change;
    const char* code;        // of the first error
    const char* prediction;  // PredictionSummary
    const char* message;     // MessageSummary of the message it ends with
};

const Stop kStops[] = {
    {"no ZSRES.DLL", [](TestMedium& m) { m.Remove("ZSRES.DLL"); }, "resource-library-missing",
     "stops resource-library 2 -", "exclamation fixed -: Could not find ZSRES.DLL."},
    {"no list file", [](TestMedium& m) { m.Remove("SETUP.LST"); }, "list-file-missing", "stops list-file 2 -",
     "stop 104 English: Could not find required initialization file:\nSETUP.LST"},
    {"redirect", [](TestMedium& m) { m.SetupLang("0=05\n1=English,E\n"); }, "filter-code-redirect",
     "stops languages 2 -", "exclamation fixed -: Please run SETUPKRN.EXE."},
    {"no filter code", [](TestMedium& m) { m.SetupLang("1=English,E\n"); }, "filter-code-missing",
     "stops languages 2 -", kCorruptedBox},
    {"no entry 1", [](TestMedium& m) { m.SetupLang("0=E\n2=English,E\n"); }, "language-entry-1-missing",
     "stops languages 2 -", kCorruptedBox},
    {"entry without comma", [](TestMedium& m) { m.SetupLang("0=E\n1=English,E\n2=Deutsch\n"); },
     "language-entry-without-comma", "stops languages 2 -", kCorruptedBox},
    {"no AppName", [](TestMedium& m) { m.StartUp("TmpDirSize=1\nTmpDirName=C:\\T\n" + std::string(kFiles)); },
     "app-name-missing", "stops application-name 2 -", kCorruptedBox},
    {"TmpDirSize NO ENTRY",
     [](TestMedium& m) {
         m.StartUp("AppName=A\nTmpDirSize=NO ENTRY\nTmpDirName=C:\\T\n" + std::string(kFiles));
     },
     "tmp-dir-size-missing", "stops space-requirement 2 -", kCorruptedBox},
    {"no TmpDirName", [](TestMedium& m) { m.StartUp("AppName=A\nTmpDirSize=1\n" + std::string(kFiles)); },
     "tmp-dir-name-missing", "stops temporary-directory 2 English", kCorruptedBox},
    {"empty TmpDirName", TmpDirName(""), "tmp-dir-name-unusable", "stops temporary-directory 2 English",
     kTempDirBox},
    {"TmpDirName a file", TmpDirName("DATA.BIN"), "tmp-dir-not-directory",
     "stops temporary-directory 2 English", kTempDirBox},
    {"TmpDirName a device", TmpDirName("C:\\NUL"), "tmp-dir-not-directory",
     "stops temporary-directory 2 English", kTempDirBox},
    {"TmpDirName the medium", TmpDirName(".\\"), "tmp-dir-is-medium", "stops temporary-directory 2 English",
     kTempDirBox},
    {"TmpDirName through a device", TmpDirName("C:\\COM1\\T"), "tmp-dir-name-unusable",
     "stops temporary-directory 2 English", kTempDirBox},
    {"TmpDirName Windows cannot hold", TmpDirName("C:\\A|B"), "tmp-dir-name-unusable",
     "stops temporary-directory 2 English", kTempDirBox},
    {"nothing offered", [](TestMedium& m) { m.SetupLang("0=Q\n1=English,E\n"); }, "no-language-offered",
     "cancelled selection 1 -", "none"},
    {"location without name",
     [](TestMedium& m) {
         m.SetupLang("0=E\n1=English,E\n100=Standard\n");
         m.Write("ZSPROFIL.INI", "[AT]\nName=Austria\n[DE]\nSetup=Deutsch\n");
     },
     "location-name-missing", "cancelled selection 1 -", "none"},
    {"no Select Language dialog",
     [](TestMedium& m) { m.Write("ZSRES.DLL", ShippedResourceLibrary(kMachineI386, false)); },
     "resource-library-without-select-dialog", "cancelled selection 1 -", "none"},
    {"no start-up entry 1", [](TestMedium& m) { m.StartUp(std::string(kValues) + "2=_SETUP.EXE\n"); },
     "start-up-list-empty", "stops staging 2 English", kCorruptedBox},
    {"a missing file", [](TestMedium& m) { m.Remove("DATA.BIN"); }, "start-up-file-missing",
     "stops staging 2 English", "stop 104 English: Could not find required initialization file:\nDATA.BIN"},
    {"a damaged compressed file",
     [](TestMedium& m) {
         m.Remove("DATA.BIN");
         m.Write("DATA.BI_", "not compressed at all, but longer than a header of thirty-two bytes");
     },
     "start-up-file-damaged", "stops staging 2 English",
     "stop 105 English: Could not decompress required initialization file:\nDATA.BIN"},
    {"main module not listed", [](TestMedium& m) { m.StartUp(std::string(kValues) + "1=DATA.BIN\n"); },
     "main-module-missing", "stops launch 2 English", "stop 108 English: Could not start _SETUP.EXE."},
    {"main module a DLL", [](TestMedium& m) { m.WriteCompressed("_SETUP.EX_", ShippedResourceLibrary()); },
     "main-module-cannot-start", "stops launch 2 English", "stop 108 English: Could not start _SETUP.EXE."},
};

TEST(ZemcmpCheckPrediction, CleanMediumStartsTheMainModuleWithTheFirstLanguage) {
    TestMedium medium;
    JsonValue report = medium.CheckJson({"--strict"});
    EXPECT_EQ(PredictionSummary(report), "starts-main-module - 0 English");
    EXPECT_EQ(report["prediction"]["message"].kind, JsonValue::kNull);
    EXPECT_EQ(FindingSummaries(report), Findings{});
    EXPECT_EQ(report["exitStatus"].number, 0);
}

TEST(ZemcmpCheckPrediction, EveryStopWithItsStepStatusAndMessage) {
    for (const Stop& stop : kStops) {
        SCOPED_TRACE(stop.name);
        TestMedium medium;
        stop.change(medium);
        JsonValue report = medium.CheckJson();
        EXPECT_EQ(report["exitStatus"].number, 2);
        EXPECT_EQ(PredictionSummary(report), stop.prediction);
        const JsonValue& first = FirstError(report);
        EXPECT_EQ(first["code"].string, stop.code);
        EXPECT_EQ(first["phase"].string, report["prediction"]["phase"].string);
        EXPECT_EQ(MessageSummary(report["prediction"]["message"]), stop.message);
        EXPECT_EQ(MessageSummary(first["message"]), stop.message);
    }
}

// setup.exe stops at the first; the check goes on where it can and reports what would stop the run next.
TEST(ZemcmpCheckPrediction, TheFirstErrorIsTheMessageTheUserSees) {
    TestMedium medium;
    medium.StartUp("1=_SETUP.EXE\n2=GONE.DLL\n3=..\\OTHER.DLL\n4=com1.txt\n5=AUX\n");
    JsonValue report = medium.CheckJson();
    EXPECT_EQ(
        FindingSummaries(report),
        (Findings{"error app-name-missing [StartUp] AppName",
                  "error tmp-dir-size-missing [StartUp] TmpDirSize",
                  "error tmp-dir-name-missing [StartUp] TmpDirName",
                  "error start-up-entry-not-plain [StartUp] 3", "error start-up-entry-not-plain [StartUp] 4",
                  "error start-up-entry-not-plain [StartUp] 5", "error start-up-file-missing [StartUp] 2"}));
    EXPECT_EQ(PredictionSummary(report), "stops application-name 2 -");

    // Names that are no plain file names end the run before any file is looked at.
    medium.StartUp(std::string(kValues) + "1=_SETUP.EXE\n2=GONE.DLL\n3=nul.txt\n");
    report = medium.CheckJson();
    EXPECT_EQ(FirstError(report)["key"].string, "3");
    EXPECT_EQ(FirstError(report)["value"].string, "nul.txt");
    EXPECT_EQ(MessageSummary(report["prediction"]["message"]), kCorruptedBox);
}

// Before the choice the English block speaks; after it, the block of the language the user kept.
TEST(ZemcmpCheckPrediction, MessagesComeInTheFirstOfferedLanguage) {
    TestMedium medium;
    medium.SetupLang("0=G\n1=English,E\n2=Magyar,G\n3=Deutsch,G\n");  // offered in catalogue order
    medium.StartUp("TmpDirSize=1\n" + std::string(kFiles));
    JsonValue report = medium.CheckJson();
    EXPECT_EQ(MessageSummary(FindingOf(report, "app-name-missing")["message"]), kCorruptedBox);
    EXPECT_EQ(MessageSummary(FindingOf(report, "tmp-dir-name-missing")["message"]),
              "stop 207 Deutsch: SETUP.LST Datei ist besch\xC3\xA4"
              "digt.");

    // In location mode the location's language speaks.
    medium.SetupLang("0=G\n1=Deutsch,G\n2=Magyar,G\n100=Standard\n");
    medium.StartUp(std::string(kValues) + kFiles);
    medium.Write("ZSPROFIL.INI", "[HU]\nName=Hungary\nSetup=Magyar\n");
    medium.Remove("DATA.BIN");
    report = medium.CheckJson();
    EXPECT_EQ(PredictionSummary(report), "stops staging 2 Magyar");
    EXPECT_EQ(MessageSummary(report["prediction"]["message"]),
              "stop 304 Magyar: A(z) \nDATA.BIN inicializ\xC3\xA1"
              "ci\xC3\xB3s f\xC3\xA1jl nem tal\xC3\xA1lhat\xC3\xB3.");
}

TEST(ZemcmpCheckPrediction, ResourceLibraryMustLoadIntoThisSetupProgram) {
    const std::string shipped = ShippedResourceLibrary();
    const std::pair<const char*, Bytes> unloadable[] = {
        {"is shorter than an MZ header", ""},
        {"past the end of the file", shipped.substr(0, shipped.size() - 100)},
        {"x86-64", ShippedResourceLibrary(kMachineAmd64)},
    };
    for (const auto& [why, bytes] : unloadable) {
        SCOPED_TRACE(why);
        TestMedium medium;
        medium.Write("ZSRES.DLL", bytes);
        JsonValue report = medium.CheckJson();
        EXPECT_EQ(PredictionSummary(report), "stops resource-library 2 -");
        EXPECT_EQ(MessageSummary(report["prediction"]["message"]),
                  "exclamation fixed -: Could not find ZSRES.DLL.");
        EXPECT_NE(FirstError(report)["text"].string.find(why), std::string::npos)
            << FirstError(report)["text"].string;
        EXPECT_EQ(FirstError(report)["code"].string, "resource-library-unloadable");
    }

    TestMedium medium;
    medium.Write("ZSRES.DLL",
                 ShippedResourceLibrary(kMachineI386, true, false));  // a hook export is optional
    EXPECT_EQ(medium.Findings(), Findings{});
    // A GetHookName whose code returns no constant may hand the run over: the check says so.
    Bytes hooked = ShippedResourceLibrary();
    const size_t returnsNull = hooked.find("\x31\xC0\xC3", SectionData(hooked, ".text"));
    hooked.replace(returnsNull, 3, "\x33\xC9\xC3");  // xor ecx, ecx; ret
    medium.Write("ZSRES.DLL", hooked);
    JsonValue hookReport = medium.CheckJson();
    EXPECT_EQ(FindingSummaries(hookReport), Findings{"warning resource-library-hook"});
    EXPECT_EQ(PredictionSummary(hookReport), "starts-main-module - 0 English");
    medium.Write("ZSRES.DLL", MakeResourceLibrary(kMachineI386, {}, true, true));
    JsonValue report = medium.CheckJson();
    EXPECT_EQ(FindingSummaries(report),
              (Findings{"warning resource-library-without-strings", "warning language-unknown [SetupLang] 1",
                        "warning language-unknown [SetupLang] 2", "warning language-unknown [SetupLang] 3",
                        "error no-language-offered [SetupLang]"}));
    EXPECT_EQ(PredictionSummary(report), "cancelled selection 1 -");
}

TEST(ZemcmpCheckPrediction, MainModuleMustBeAProgramThatStarts) {
    const Bytes program = MakeProgram(kMachineI386);
    TestMedium medium;
    medium.WriteCompressed("_SETUP.EX_", program.substr(0, program.size() / 2));
    JsonValue report = medium.CheckJson();
    EXPECT_EQ(FirstError(report)["code"].string, "main-module-cannot-start");
    EXPECT_EQ(PredictionSummary(report), "stops launch 2 English");

    medium.WriteCompressed("_SETUP.EX_", MakeProgram(kMachineI386, kSubsystemWindowsCui));
    EXPECT_EQ(medium.Findings(), Findings{});
    medium.WriteCompressed("_SETUP.EX_", MakeProgram(kMachineAmd64));
    report = medium.CheckJson();
    EXPECT_EQ(FindingSummaries(report), Findings{"warning main-module-machine"});
    EXPECT_EQ(PredictionSummary(report), "starts-main-module - 0 English");

    // A workstation run starts _SETUP.EXE where it lies: a compressed copy is never expanded.
    medium.Write("ADMIN.INF", "");
    medium.WriteCompressed("_SETUP.EX_", program);
    report = medium.CheckJson();
    EXPECT_EQ(FindingSummaries(report),
              (Findings{"note workstation-run", "warning start-up-file-not-expanded [StartUp] 1",
                        "error main-module-missing"}));
    EXPECT_EQ(MessageSummary(report["prediction"]["message"]),
              "stop 108 English: Could not start _SETUP.EXE.");
    medium.Write("_SETUP.EXE", program);
    medium.Remove("_SETUP.EX_");
    medium.StartUp(std::string(kValues) + "1=_SETUP.EXE,1\n");
    EXPECT_EQ(FirstError(medium.CheckJson())["code"].string, "start-up-list-empty");
}

TEST(ZemcmpCheckPrediction, SetupProgramMustBeThere) {
    TestMedium medium;
    medium.Remove("setup.exe");
    EXPECT_EQ(medium.Findings(), Findings{"error setup-program-missing"});
    medium.Write("setup.exe", MakeProgram(kMachineI386).substr(0, 100));
    JsonValue report = medium.CheckJson();
    EXPECT_EQ(FindingSummaries(report), Findings{"error setup-program-unloadable"});
    EXPECT_EQ(FirstError(report)["message"].kind, JsonValue::kNull);
}

std::string SealOf(const Bytes& contents) {
    Sha256 hash;
    hash.Update(contents.data(), contents.size());
    uint8_t digest[kSha256DigestSize];
    hash.Final(digest);
    return bootstrap::SealText(digest);
}

// The check hashes what setup.exe would stage (a compressed file in the pass that decodes it); a seal that
// does not hold is setup.exe's stop, at the seal's key, with the message of a failed expansion.
TEST(ZemcmpCheckPrediction, ASealThatDoesNotHoldStopsTheRunAtItsKey) {
    const Bytes program = MakeProgram(kMachineI386);
    const std::string programSeal = "_SETUP.EXE=" + SealOf(program) + "\n";
    const std::string dataSeal = "DATA.BIN=" + SealOf("data copied as it is") + "\n";
    const struct {
        std::string seals;
        const char* file;
        const char* why;  // in the finding's text
    } broken[] = {
        {programSeal + "DATA.BIN=" + SealOf("data as it was sealed") + "\n", "DATA.BIN",
         "not what its seal says"},
        {"_SETUP.EXE=" + SealOf(program + "x") + "\n" + dataSeal, "_SETUP.EXE", "not what its seal says"},
        {programSeal + "DATA.BIN=SHA256:" + SealOf("").substr(7) + "\n", "DATA.BIN",
         "64 lower-case hex digits"},
    };
    for (const auto& seal : broken) {
        SCOPED_TRACE(seal.seals);
        TestMedium medium;
        medium.ExtraListText("[StartUpSeals]\n" + seal.seals);
        JsonValue report = medium.CheckJson();
        const JsonValue& first = FirstError(report);
        EXPECT_EQ(first["code"].string, "start-up-file-seal-mismatch");
        EXPECT_EQ(first["section"].string, "StartUpSeals");
        EXPECT_EQ(first["key"].string, seal.file);
        EXPECT_NE(first["text"].string.find(seal.why), std::string::npos) << first["text"].string;
        EXPECT_EQ(PredictionSummary(report), "stops staging 2 English");
        EXPECT_EQ(MessageSummary(report["prediction"]["message"]),
                  std::string("stop 105 English: Could not decompress required initialization file:\n") +
                      seal.file);
    }

    // Intact, both start as before; without seals a note says that damage goes unseen, and a seal of a file
    // that is not listed is ignored with a warning.
    TestMedium medium;
    EXPECT_NE(
        FindingOf(medium.CheckJson(), "start-up-files-unsealed")["text"].string.find("no start-up file"),
        std::string::npos);
    medium.ExtraListText("[StartUpSeals]\n" + programSeal + "GONE.DLL=" + SealOf("") + "\n");
    JsonValue report = medium.CheckJson();
    EXPECT_EQ(FindingSummaries(report), Findings{"warning seal-of-unlisted-file [StartUpSeals] GONE.DLL"});
    EXPECT_EQ(FindingOf(report, "start-up-files-unsealed")["text"].string,
              "no seal names DATA.BIN: setup.exe cannot tell whether it is damaged");
    EXPECT_EQ(PredictionSummary(report), "starts-main-module - 0 English");
    medium.ExtraListText("[StartUpSeals]\n" + programSeal + dataSeal);
    EXPECT_EQ(medium.CheckJson({"--strict"})["findings"].array.size(), 2u);  // the unsigned images' notes
}

}  // namespace
}  // namespace zs::test
