// compress and expand on real files: names, places, round trips, standard streams, reproducible output.
#include <gtest/gtest.h>

#include <filesystem>

#include "tool_runner.h"

namespace zs::test {
namespace {

const Bytes kHeader = Bytes("ZemC32\0", 7) + Bytes(25, '\0');

// "abc" as the format's worked example codes it: the length field and three literals.
const Bytes kAbcCompressed = kHeader + Bytes("\x03\x00\x00\x00\xF6\xFB\xBD\xE0", 8);

class ZemcmpFiles : public ::testing::Test {
  protected:
    ScratchDir dir;
};

TEST_F(ZemcmpFiles, WritesTheFormatsExactBytesWithAnEmptyCallerRecord) {
    WriteFile(dir / "ABC.TXT", "abc");
    ToolRun run = RunTool({"compress", dir / "ABC.TXT"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ReadFile(dir / "ABC.TX_"), kAbcCompressed);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "");
}

TEST_F(ZemcmpFiles, RoundTripOfSeveralFilesUnderTheirCompressedNames) {
    const std::vector<std::pair<std::string, Bytes>> originals = {
        {"_SETUP.EXE", RandomBytes(200000, 7)},   // several stream buffers of 65,500 bytes
        {"README", Bytes(70000, 'x') + "end\n"},  // no extension
        {"A.B", "abc"},                           // short extension
        {"EMPTY.DAT", ""},
    };
    std::vector<std::string> args = {"compress"};
    for (const auto& [name, contents] : originals) {
        WriteFile(dir / name, contents);
        args.push_back(dir / name);
    }
    std::filesystem::create_directory(dir / "medium");
    args.insert(args.end(), {"-d", dir / "medium"});
    ToolRun compress = RunTool(args);
    ASSERT_EQ(compress.exitCode, 0) << compress.err;
    EXPECT_EQ(ListDir(dir / "medium"),
              (std::vector<std::string>{"A.B_", "EMPTY.DA_", "README._", "_SETUP.EX_"}));
    EXPECT_EQ(ReadFile(dir / "medium/EMPTY.DA_"), kHeader + Bytes(4, '\0'));

    // Names that tell their original are restored; the others are named with -o.
    std::filesystem::create_directory(dir / "back");
    ToolRun expand = RunTool({"expand", dir / "medium/README._", dir / "medium/A.B_", "-d", dir / "back"});
    ASSERT_EQ(expand.exitCode, 0) << expand.err;
    using Names = std::vector<std::pair<std::string, std::string>>;
    for (const auto& [compressed, original] :
         Names{{"_SETUP.EX_", "_SETUP.EXE"}, {"EMPTY.DA_", "EMPTY.DAT"}}) {
        ToolRun one = RunTool({"expand", dir / "medium/" + compressed, "-o", dir / "back/" + original});
        ASSERT_EQ(one.exitCode, 0) << one.err;
    }
    for (const auto& [name, contents] : originals)
        EXPECT_EQ(ReadFile(dir / "back/" + name), contents) << name;
}

TEST_F(ZemcmpFiles, OutputGoesBesideTheInputAndOnlyTheBaseNameIsRenamed) {
    std::filesystem::create_directory(dir / "DISK.V2");
    WriteFile(dir / "DISK.V2/README", "abc");
    ToolRun run = RunTool({"compress", "DISK.V2/README"}, InDir(dir.path()));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ListDir(dir / "DISK.V2"), (std::vector<std::string>{"README", "README._"}));

    run = RunTool({"expand", "DISK.V2/README._", "-o", "COPY"}, InDir(dir.path()));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ReadFile(dir / "COPY"), "abc");
}

TEST_F(ZemcmpFiles, ExpandNeedsAnOutputNameWhereTheCompressedNameIsAmbiguous) {
    WriteFile(dir / "_SETUP.EX_", kAbcCompressed);
    ToolRun run = RunTool({"expand", dir / "_SETUP.EX_"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("_SETUP.EX_: the original name cannot be told"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("-o"), std::string::npos);
    EXPECT_EQ(ListDir(dir.path()), std::vector<std::string>{"_SETUP.EX_"});
}

TEST_F(ZemcmpFiles, ExpandRefusesAFileThatIsNotInTheFormat) {
    WriteFile(dir / "NOTES.TX_", "plain text, long enough to hold a header of 32 bytes");
    ToolRun run = RunTool({"expand", dir / "NOTES.TX_", "-o", dir / "NOTES.TXT"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("NOTES.TX_: not a compressed file"), std::string::npos) << run.err;
    EXPECT_EQ(ListDir(dir.path()), std::vector<std::string>{"NOTES.TX_"});
}

TEST_F(ZemcmpFiles, StandardInputAndOutputCarryTheSameBytesAsFiles) {
    Bytes original = RandomBytes(100000, 3) + Bytes(30000, ' ');
    WriteFile(dir / "DATA.BIN", original);
    ASSERT_EQ(RunTool({"compress", dir / "DATA.BIN"}).exitCode, 0);
    Bytes compressed = ReadFile(dir / "DATA.BI_");

    ToolRun fromPipe = RunTool({"compress", "-", "-o", "-"}, WithInput(original));
    ASSERT_EQ(fromPipe.exitCode, 0) << fromPipe.err;
    EXPECT_EQ(fromPipe.out, compressed);

    ToolRun expanded = RunTool({"expand", "-", "-o", "-"}, WithInput(compressed));
    ASSERT_EQ(expanded.exitCode, 0) << expanded.err;
    EXPECT_EQ(expanded.out, original);

    ToolRun toFile = RunTool({"expand", "-", "-o", dir / "OUT.BIN"}, WithInput(compressed));
    ASSERT_EQ(toFile.exitCode, 0) << toFile.err;
    EXPECT_EQ(ReadFile(dir / "OUT.BIN"), original);
}

// A short file codes differently when the window still holds the previous file's bytes; every file must be
// coded as if it were the first of the run.
TEST_F(ZemcmpFiles, AFilesOutputDoesNotDependOnTheFilesBeforeIt) {
    std::filesystem::create_directory(dir / "alone");
    std::filesystem::create_directory(dir / "after");
    WriteFile(dir / "BIG.BIN", RandomBytes(10037, 1));
    WriteFile(dir / "TINY.TXT", "abcdabcdxabcd");
    ASSERT_EQ(RunTool({"compress", dir / "TINY.TXT", "-d", dir / "alone"}).exitCode, 0);
    ASSERT_EQ(RunTool({"compress", dir / "BIG.BIN", dir / "TINY.TXT", "-d", dir / "after"}).exitCode, 0);
    EXPECT_EQ(ReadFile(dir / "after/TINY.TX_"), ReadFile(dir / "alone/TINY.TX_"));
}

}  // namespace
}  // namespace zs::test
