// The command line: --help, --version and every kind of bad usage, which must change nothing.
#include <gtest/gtest.h>

#include "tool_runner.h"
#include "zs_version.h"

namespace zs::test {
namespace {

TEST(ZemcmpUsage, VersionComesFromTheProjectVersion) {
    ToolRun run = RunTool({"--version"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, std::string("zemcmp ") + ZS_VERSION_TEXT + "\n");
}

TEST(ZemcmpUsage, HelpDocumentsCommandsNamingAndExitStatuses) {
    for (const auto& args : std::vector<std::vector<std::string>>{{"--help"}, {"expand", "--help"}}) {
        ToolRun run = RunTool(args);
        EXPECT_EQ(run.exitCode, 0);
        for (const char* text : {"zemcmp compress FILE...", "zemcmp expand FILE...", "zemcmp test FILE...",
                                 "_SETUP.EXE -> _SETUP.EX_", "NAME._ becomes NAME", "-f ",
                                 "Exit status:", "  2    the command line was wrong"}) {
            EXPECT_NE(run.out.find(text), std::string::npos) << text;
        }
    }
}

TEST(ZemcmpUsage, BadUsageChangesNothingAndExitsWithTwo) {
    ScratchDir dir;
    WriteFile(dir / "A.TXT", "abc");
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"frobnicate", "A.TXT"},
        {"compress"},
        {"compress", "A.TXT", "-x"},
        {"compress", "A.TXT", "-o"},
        {"compress", "A.TXT", "A.TXT", "-o", "B"},
        {"compress", "A.TXT", "-d", ".", "-o", "B"},
        {"compress", "-"},
        {"expand", "-", "-", "-o", "B"},
        {"test", "A.TXT", "-f"},
        {"compress", "A.TXT", "-j", "0"},
        {"compress", "A.TXT", "-j", "65"},
        {"compress", "A.TXT", "-j", "two"},
        {"compress", "A.TXT", "-j", "2", "-j", "2"},
        {"expand", "A.TX_", "-v", "-q"},
    };
    for (const auto& args : cases) {
        ToolRun run = RunTool(args, InDir(dir.path()));
        std::string shown = ::testing::PrintToString(args);
        EXPECT_EQ(run.exitCode, 2) << shown;
        EXPECT_NE(run.err.find("Try 'zemcmp --help'"), std::string::npos) << shown << run.err;
        EXPECT_EQ(run.out, "") << shown;
        EXPECT_EQ(ListDir(dir.path()), std::vector<std::string>{"A.TXT"}) << shown;
    }
}

}  // namespace
}  // namespace zs::test
