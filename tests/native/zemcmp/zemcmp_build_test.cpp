// zemcmp build: a source folder made into a sealed medium that the check passes, and every source it refuses
// (with the output directory left as it was, and nothing half-built beside it).
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <ostream>

#include "check_test_medium.h"
#include "startup/sha256.h"

namespace zs::test {
namespace {

constexpr char kListFile[] =
    "[SetupLang]\r\n0=E\r\n1=English,E\r\n\r\n[StartUp]\r\nAppName=Demo\r\nTmpDirSize=1048576\r\n"
    "TmpDirName=C:\\SETUPTMP\r\n1=_SETUP.EXE\r\n2=DATA.BIN,1\r\n3=README";

std::string SealOf(const Bytes& contents) {
    Sha256 hash;
    hash.Update(contents.data(), contents.size());
    uint8_t digest[kSha256DigestSize];
    hash.Final(digest);
    char hex[kSha256HexLength + 1];
    Sha256Hex(digest, hex);
    return std::string("sha256:") + hex;
}

// A source folder (src), the program directory (programs) and room for outputs, all in one scratch directory.
class ZemcmpBuild : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(dir / "src/DOCS");
        std::filesystem::create_directory(dir / "programs");
        WriteFile(dir / "src/SETUP.LST", kListFile);
        WriteFile(dir / "src/_SETUP.EXE", MakeProgram(kMachineI386));
        WriteFile(dir / "src/DATA.BIN", RandomBytes(70000, 1));
        WriteFile(dir / "src/README", "read me");
        WriteFile(dir / "src/DOCS/GUIDE.TXT", "a guide");
        WriteFile(dir / "programs/setup.exe", MakeProgram(kMachineI386));
        WriteFile(dir / "programs/ZSRES.DLL", ShippedResourceLibrary());
    }

    ToolRun Build(std::vector<std::string> extra, const std::string& output = "") const {
        std::vector<std::string> args = {"build", dir / "src", output.empty() ? dir / "out" : output,
                                         "--program", dir / "programs"};
        args.insert(args.end(), extra.begin(), extra.end());
        return RunTool(args);
    }

    ScratchDir dir;
};

TEST_F(ZemcmpBuild, SealsTheStartUpFilesAndReplacesOnlyAPreviousBuild) {
    ToolRun run = Build({"--compress", "docs/*.txt"});
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_NE(run.err.find("README: stored plain: a name without a dot"), std::string::npos) << run.err;
    EXPECT_NE(run.out.find("setup.exe would start the main setup module"), std::string::npos) << run.out;
    EXPECT_EQ(ListDir(dir / "out"), (std::vector<std::string>{"DATA.BI_", "DOCS", "README", "SETUP.LST",
                                                              "ZSRES.DLL", "_SETUP.EX_", "setup.exe"}));
    EXPECT_EQ(ListDir(dir / "out/DOCS"), std::vector<std::string>{"GUIDE.TX_"});
    EXPECT_EQ(ReadFile(dir / "out/SETUP.LST"),
              std::string(kListFile) +
                  "\r\n\r\n[StartUpSeals]\r\n_SETUP.EXE=" + SealOf(ReadFile(dir / "src/_SETUP.EXE")) +
                  "\r\nDATA.BIN=" + SealOf(ReadFile(dir / "src/DATA.BIN")) +
                  "\r\nREADME=" + SealOf("read me") + "\r\n");
    EXPECT_EQ(RunTool({"expand", dir / "out/DATA.BI_", "-o", "-"}).out, ReadFile(dir / "src/DATA.BIN"));

    // -f replaces the build; JSON is the check's, and no directory of the build is left beside the output.
    WriteFile(dir / "src/DOCS/GUIDE.TXT", "another guide");
    ToolRun again = Build({"-f", "--json", "-q"});
    ASSERT_EQ(again.exitCode, 0) << again.err;
    EXPECT_EQ(PredictionSummary(ParseJson(again.out)), "starts-main-module - 0 English");
    EXPECT_EQ(ReadFile(dir / "out/DOCS/GUIDE.TXT"), "another guide");
    EXPECT_EQ(ListDir(dir.path()), (std::vector<std::string>{"out", "programs", "src"}));
}

// Regression guard for the promise of the exit status 2: when setup.exe would stop on the medium, nothing of
// it is left, and a previous build in the output directory stays as it was.
TEST_F(ZemcmpBuild, AMediumOnWhichSetupWouldStopIsNotWritten) {
    ASSERT_EQ(Build({"-q"}).exitCode, 0);
    const Bytes previous = ReadFile(dir / "out/SETUP.LST");
    WriteFile(dir / "src/SETUP.LST", "[SetupLang]\r\n0=E\r\n\r\n[StartUp]\r\n1=_SETUP.EXE\r\n");
    for (const std::string& output : {dir / "new", dir / "out"}) {
        ToolRun run = Build({"-f"}, output);
        EXPECT_EQ(run.exitCode, 2) << run.err;
        EXPECT_NE(run.out.find("error: SETUP.LST [SetupLang] 1"), std::string::npos) << run.out;
        EXPECT_NE(run.err.find(": not written: setup.exe would not start the main setup module"),
                  std::string::npos)
            << run.err;
    }
    EXPECT_FALSE(Exists(dir / "new"));
    EXPECT_EQ(ReadFile(dir / "out/SETUP.LST"), previous);
    EXPECT_EQ(ListDir(dir.path()), (std::vector<std::string>{"out", "programs", "src"}));
}

struct BadInput {
    const char* name;
    std::function<void(const ScratchDir&)> change;
    std::vector<std::string> args;  // after SOURCE OUTPUT; "DIR/" stands for the scratch directory
    const char* problem;
};

const BadInput kBadInputs[] = {
    {"no list file",
     [](const ScratchDir& d) { std::filesystem::remove(d / "src/SETUP.LST"); },
     {},
     "src: has no SETUP.LST"},
    {"a listed file missing",
     [](const ScratchDir& d) { std::filesystem::remove(d / "src/DATA.BIN"); },
     {},
     "SETUP.LST [StartUp] 2 = \"DATA.BIN\": DATA.BIN is not in"},
    {"output not empty",
     [](const ScratchDir& d) { WriteFile(d / "out/KEEP.TXT", "mine"); },
     {},
     "out: is not empty"},
    {"-f on other files",
     [](const ScratchDir& d) { WriteFile(d / "out/KEEP.TXT", "mine"); },
     {"-f"},
     "out: is not empty and holds no previous build"},
    {"output inside the source", [](const ScratchDir&) {}, {"DIR/src/DOCS/out"}, "lies inside the source"},
    {"source inside the output", [](const ScratchDir&) {}, {"DIR/"}, "src: lies inside the output directory"},
    {"a seal section already",
     [](const ScratchDir& d) {
         WriteFile(d / "src/SETUP.LST", std::string(kListFile) + "\r\n[startupseals]\r\n");
     },
     {},
     "already has a section [startupseals]"},
    {"an entry that is a path",
     [](const ScratchDir& d) {
         WriteFile(d / "src/SETUP.LST", "[StartUp]\r\n1=_SETUP.EXE\r\n2=DOCS\\GUIDE.TXT\r\n");
     },
     {},
     "[StartUp] 2 = \"DOCS\\GUIDE.TXT\": no plain file name"},
    {"a name that cannot be a key",
     [](const ScratchDir& d) {
         WriteFile(d / "src/A=B.TXT", "");
         WriteFile(d / "src/SETUP.LST", "[StartUp]\r\n1=_SETUP.EXE\r\n2=A=B.TXT\r\n");
     },
     {},
     "[StartUp] 2 = \"A=B.TXT\": the name cannot be a key"},
    {"--plain for no entry", [](const ScratchDir&) {}, {"--plain", "LICENSE.TXT"}, "--plain LICENSE.TXT:"},
    {"setup.exe in the source",
     [](const ScratchDir& d) { WriteFile(d / "src/SETUP.EXE", ""); },
     {},
     "src: holds setup.exe"},
    {"two files for one name",
     [](const ScratchDir& d) { WriteFile(d / "src/data.bi_", ""); },
     {},
     "two files would be written under one name in the output (DATA.BI_"},
    {"a file in the way of a compressed one",
     [](const ScratchDir& d) { WriteFile(d / "src/data.bin", ""); },
     {},
     "(DATA.BIN, without regard to case): data.bin and the start-up file DATA.BIN (setup.exe looks for"},
    {"no program directory outside a package",
     [](const ScratchDir&) {},
     {"--no-program"},
     "no --program DIR given, and this zemcmp"},
};

void PrintTo(const BadInput& bad, std::ostream* out) {
    *out << bad.name;
}

class ZemcmpBuildBadInput : public ZemcmpBuild, public ::testing::WithParamInterface<BadInput> {};

TEST_P(ZemcmpBuildBadInput, IsRefusedWithNothingWritten) {
    const BadInput& bad = GetParam();
    std::filesystem::create_directory(dir / "out");
    bad.change(dir);
    std::vector<std::string> args = {"build", dir / "src", dir / "out", "--program", dir / "programs"};
    for (std::string arg : bad.args) {
        if (arg == "--no-program") {
            args.resize(3);
        } else if (arg.rfind("DIR/", 0) == 0) {
            args[2] = dir / arg.substr(4);
        } else {
            args.push_back(arg);
        }
    }
    const std::vector<std::string> before = ListDir(dir.path());
    const std::vector<std::string> outputBefore = ListDir(dir / "out");
    ToolRun run = RunTool(args);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find(bad.problem), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(ListDir(dir.path()), before);
    EXPECT_EQ(ListDir(dir / "out"), outputBefore);
}

INSTANTIATE_TEST_SUITE_P(Cases, ZemcmpBuildBadInput, ::testing::ValuesIn(kBadInputs), [](const auto& info) {
    std::string name;
    for (const char* c = info.param.name; *c != '\0'; ++c)
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    return name;
});

}  // namespace
}  // namespace zs::test
