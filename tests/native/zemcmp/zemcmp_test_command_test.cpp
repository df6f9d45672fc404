// zemcmp test: one verdict line per file, and an exit status that fails when any file is not a complete
// compressed file.
#include <gtest/gtest.h>

#include "tool_runner.h"

namespace zs::test {
namespace {

const Bytes kHeader = Bytes("ZemC32\0", 7) + Bytes(25, '\0');

class ZemcmpTest : public ::testing::Test {
  protected:
    void SetUp() override {
        WriteFile(dir / "GOOD.TX_",
                  kHeader + Bytes("\x0C\x00\x00\x00\xF6\xFB\xBD\xF2\x40\x04", 10));  // abcabcabcabc
        // The same body under a length of 4: the match after "abc" reaches past the end.
        WriteFile(dir / "DAMAGED.TX_", kHeader + Bytes("\x04\x00\x00\x00\xF6\xFB\xBD\xF2\x40\x04", 10));
        // "abc" cut after its first code byte.
        WriteFile(dir / "CUT.TX_", kHeader + Bytes("\x03\x00\x00\x00\xF6", 5));
        WriteFile(dir / "PLAIN.TXT", "a plain text file, longer than a header of thirty-two bytes");
        WriteFile(dir / "EMPTY.DA_", kHeader + Bytes(4, '\0'));
    }

    ToolRun Test(const std::vector<std::string>& names) {
        std::vector<std::string> args = {"test"};
        args.insert(args.end(), names.begin(), names.end());
        return RunTool(args, InDir(dir.path()));
    }

    ScratchDir dir;
};

TEST_F(ZemcmpTest, CompleteFilesPass) {
    ToolRun run = Test({"GOOD.TX_", "EMPTY.DA_"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out,
              "GOOD.TX_: compressed file, 12 bytes uncompressed, decodes completely\n"
              "EMPTY.DA_: compressed file, 0 bytes uncompressed, decodes completely\n");
}

TEST_F(ZemcmpTest, EveryFileIsJudgedAndAnyBadOneFailsTheRun) {
    ToolRun run = Test({"DAMAGED.TX_", "CUT.TX_", "PLAIN.TXT", "MISSING.TX_", "GOOD.TX_"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(
        run.out,
        "DAMAGED.TX_: compressed file, 4 bytes uncompressed, does not decode completely: the compressed "
        "data is damaged (a match reaches past the uncompressed size)\n"
        "CUT.TX_: compressed file, 3 bytes uncompressed, does not decode completely: the compressed data "
        "ends early or cannot be read: the file is truncated\n"
        "PLAIN.TXT: not a compressed file (it does not start with the compressed-file header)\n"
        "MISSING.TX_: cannot open: No such file or directory\n"
        "GOOD.TX_: compressed file, 12 bytes uncompressed, decodes completely\n");
}

TEST_F(ZemcmpTest, HeaderWithoutLengthFieldIsTruncated) {
    WriteFile(dir / "HEADER.TX_", kHeader);
    ToolRun run = Test({"HEADER.TX_"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out,
              "HEADER.TX_: compressed file, does not decode completely: the compressed data ends early "
              "or cannot be read: the file is truncated\n");
}

TEST_F(ZemcmpTest, ReadsStandardInput) {
    ToolRun run = RunTool({"test", "-"}, WithInput(ReadFile(dir / "GOOD.TX_")));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "standard input: compressed file, 12 bytes uncompressed, decodes completely\n");
}

}  // namespace
}  // namespace zs::test
