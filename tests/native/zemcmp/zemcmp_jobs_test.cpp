// Files coded side by side (-j): the same bytes for any number of workers, reports in the order of the
// arguments, a failing file that fails alone, and the -v and -q reports.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "tool_runner.h"

namespace zs::test {
namespace {

const Bytes kHeader = Bytes("ZemC32\0", 7) + Bytes(25, '\0');

// Text-like lines: many matches of every length.
Bytes Lines(size_t size, uint32_t seed) {
    Bytes text;
    Bytes words = RandomBytes(64, seed);
    for (size_t i = 0; text.size() < size; ++i) {
        text += "line " + std::to_string(i * 7919 % 1000) + ": ";
        text += static_cast<char>('a' + static_cast<unsigned char>(words[i % words.size()]) % 26);
        text += " the quick brown fox\n";
    }
    text.resize(size);
    return text;
}

class ZemcmpJobs : public ::testing::Test {
  protected:
    // The set every test starts from: sizes around the stream buffer, an empty file, text and binary data,
    // under names whose compressed names tell them back (NAME.X -> NAME.X_, NAME -> NAME._).
    void SetUp() override {
        files = {
            {"EMPTY.D", ""},
            {"EDGE.B", RandomBytes(65501, 1)},
            {"TEXT", Lines(300000, 2)},
            {"ONE.B", "x"},
            {"FULL.B", RandomBytes(65500, 3)},
            {"RUNS.D", Bytes(200000, 'a') + Lines(9000, 4)},
            {"SMALL.T", "abcabcabcabc"},
        };
        for (const auto& [name, contents] : files) WriteFile(dir / name, contents);
    }

    std::vector<std::string> Paths(const std::string& folder = "") const {
        std::vector<std::string> paths;
        for (const auto& [name, contents] : files) paths.push_back(dir / (folder + name));
        return paths;
    }

    ToolRun Run(const std::string& command, const std::vector<std::string>& operands,
                const std::vector<std::string>& options) {
        std::vector<std::string> args = {command};
        args.insert(args.end(), operands.begin(), operands.end());
        args.insert(args.end(), options.begin(), options.end());
        return RunTool(args);
    }

    std::vector<std::pair<std::string, Bytes>> files;
    ScratchDir dir;
};

TEST_F(ZemcmpJobs, OutputsAreTheSameForOneAndForThreeWorkers) {
    for (const char* folder : {"one", "three", "back"}) std::filesystem::create_directory(dir / folder);
    ToolRun one = Run("compress", Paths(), {"-j", "1", "-d", dir / "one"});
    ToolRun three = Run("compress", Paths(), {"-j", "3", "-d", dir / "three"});
    ASSERT_EQ(one.exitCode, 0) << one.err;
    ASSERT_EQ(three.exitCode, 0) << three.err;
    std::vector<std::string> names = ListDir(dir / "one");
    ASSERT_EQ(names.size(), files.size());
    EXPECT_EQ(ListDir(dir / "three"), names);
    for (const std::string& name : names)
        EXPECT_EQ(ReadFile(dir / ("three/" + name)), ReadFile(dir / ("one/" + name))) << name;
    EXPECT_EQ(ReadFile(dir / "three/EMPTY.D_"), kHeader + Bytes(4, '\0'));

    // And back, side by side as well; test agrees.
    std::vector<std::string> compressed;
    for (const std::string& name : names) compressed.push_back(dir / ("three/" + name));
    ToolRun back = Run("expand", compressed, {"-j", "3", "-d", dir / "back"});
    ASSERT_EQ(back.exitCode, 0) << back.err;
    for (const auto& [name, contents] : files) EXPECT_EQ(ReadFile(dir / ("back/" + name)), contents) << name;
    ToolRun tested = Run("test", compressed, {"-j", "3", "-q"});
    EXPECT_EQ(tested.exitCode, 0) << tested.out;
    EXPECT_EQ(tested.out, "") << "-q shows only the files that fail";
}

TEST_F(ZemcmpJobs, ReportsComeInTheOrderOfTheArgumentsAndAFailureStopsNothing) {
    std::filesystem::create_directory(dir / "out");
    // The big file first, so that the small ones finish before it; a missing file and an existing output
    // between good ones.
    WriteFile(dir / "BIG.BIN", RandomBytes(3 << 20, 5));
    std::vector<std::string> operands = {dir / "BIG.BIN", dir / "SMALL.T", dir / "MISSING.T", dir / "ONE.B",
                                         dir / "EMPTY.D"};
    WriteFile(dir / "out/ONE.B_", "older");
    ToolRun run = Run("compress", operands, {"-j", "3", "-v", "-d", dir / "out"});
    EXPECT_EQ(run.exitCode, 1);
    std::string bigPacked = std::to_string(ReadFile(dir / "out/BIG.BI_").size());
    std::string smallPacked = std::to_string(ReadFile(dir / "out/SMALL.T_").size());
    std::vector<std::string> lines;
    for (size_t start = 0, end; (end = run.err.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(run.err.substr(start, end - start));
    ASSERT_EQ(lines.size(), 6u) << run.err;
    char ratio[32];
    std::snprintf(ratio, sizeof ratio, "%.1f%%", 100.0 * std::stod(bigPacked) / 3145728.0);
    EXPECT_EQ(lines[0], dir / "BIG.BIN" + ": 3145728 -> " + bigPacked + " bytes, ratio " + ratio +
                            ", written to " + dir / "out/BIG.BI_");
    EXPECT_EQ(lines[1], dir / "SMALL.T" + ": 12 -> " + smallPacked + " bytes, ratio 350.0%, written to " +
                            dir / "out/SMALL.T_");
    EXPECT_EQ(lines[2], "zemcmp: " + dir / "MISSING.T" + ": cannot open: No such file or directory");
    EXPECT_EQ(lines[3], "zemcmp: " + dir / "ONE.B" + ": the output " + dir / "out/ONE.B_" +
                            " already exists (use -f to replace it)");
    EXPECT_EQ(lines[4], dir / "EMPTY.D" + ": 0 -> 36 bytes, written to " + dir / "out/EMPTY.D_");
    EXPECT_EQ(lines[5].rfind("total: 3 of 5 files (2 failed), 3145740 -> ", 0), 0u) << lines[5];
    EXPECT_EQ(ReadFile(dir / "out/ONE.B_"), "older");
    EXPECT_EQ(ListDir(dir / "out"), (std::vector<std::string>{"BIG.BI_", "EMPTY.D_", "ONE.B_", "SMALL.T_"}));
}

TEST_F(ZemcmpJobs, ADamagedFileAmongGoodOnesFailsAloneAndLeavesNoOutput) {
    std::filesystem::create_directory(dir / "packed");
    ASSERT_EQ(Run("compress", Paths(), {"-d", dir / "packed"}).exitCode, 0);
    // The length of the worked example "abcabcabcabc" cut to 4: its match reaches past the end.
    WriteFile(dir / "packed/BAD.X_", kHeader + Bytes("\x04\x00\x00\x00\xF6\xFB\xBD\xF2\x40\x04", 10));
    std::filesystem::create_directory(dir / "out");
    std::vector<std::string> operands = {dir / "packed/TEXT._", dir / "packed/BAD.X_", dir / "packed/EDGE.B_",
                                         dir / "packed/SMALL.T_"};
    for (const char* jobs : {"1", "3"}) {
        std::filesystem::remove_all(dir / "out");
        std::filesystem::create_directory(dir / "out");
        ToolRun run = Run("expand", operands, {"-j", jobs, "-d", dir / "out"});
        EXPECT_EQ(run.exitCode, 1) << jobs;
        EXPECT_EQ(run.err,
                  "zemcmp: " + dir / "packed/BAD.X_" +
                      ": the compressed data is damaged (a match reaches past the uncompressed size)\n")
            << jobs;
        EXPECT_EQ(ListDir(dir / "out"), (std::vector<std::string>{"EDGE.B", "SMALL.T", "TEXT"})) << jobs;
        EXPECT_EQ(ReadFile(dir / "out/TEXT"), Lines(300000, 2));

        ToolRun tested = Run("test", operands, {"-j", jobs, "-q"});
        EXPECT_EQ(tested.exitCode, 1);
        EXPECT_EQ(tested.out,
                  dir / "packed/BAD.X_" +
                      ": compressed file, 4 bytes uncompressed, does not decode completely: the "
                      "compressed data is damaged (a match reaches past the uncompressed size)\n");
    }
}

// Two inputs with one compressed name write it one after the other in argument order, as with one worker;
// an input named again later is read after the earlier output replaced it.
TEST_F(ZemcmpJobs, JobsOnOneFileKeepTheOrderOfTheArguments) {
    WriteFile(dir / "A.TXT", "first");
    WriteFile(dir / "A.TX", "second");
    ToolRun run = Run("compress", {dir / "A.TXT", dir / "A.TX", dir / "SMALL.T"}, {"-f", "-j", "3"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "zemcmp: " + dir / "A.TX" + ": the output " + dir / "A.TX_" +
                           " was already written from another input in this run\n");
    EXPECT_EQ(RunTool({"expand", dir / "A.TX_", "-o", "-"}).out, "first");

    // A.T is written by the first job and read by the second (A.T -> A.T_ -> A.T__).
    WriteFile(dir / "A.T", "third");
    ToolRun chain = Run("compress", {dir / "A.T", dir / "A.T_"}, {"-j", "2"});
    ASSERT_EQ(chain.exitCode, 0) << chain.err;
    ToolRun once = RunTool({"expand", dir / "A.T__", "-o", "-"});
    EXPECT_EQ(RunTool({"expand", "-", "-o", "-"}, WithInput(once.out)).out, "third");
}

TEST_F(ZemcmpJobs, QuietPrintsNothingButProblems) {
    std::filesystem::create_directory(dir / "out");
    ToolRun run = Run("compress", Paths(), {"-q", "-d", dir / "out"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out + run.err, "");
    run = Run("compress", {dir / "NONE"}, {"-q", "-d", dir / "out"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "zemcmp: " + dir / "NONE" + ": cannot open: No such file or directory\n");
}

// On a terminal, standard error shows a progress line after half a second: the files done of all and the
// rate, or for a single file its share done; it is erased again at the end. -q shows none.
TEST_F(ZemcmpJobs, ATerminalShowsTheProgressLineUnlessQuiet) {
    std::filesystem::create_directory(dir / "out");
    std::vector<std::string> args = {"compress", "-j", "2", "-d", dir / "out"};
    // Big enough to take more than half a second even on a fast machine.
    Bytes all;
    for (int i = 0; i < 4; ++i) {
        std::string name = "BIG" + std::to_string(i) + ".BIN";
        Bytes part = RandomBytes(8 << 20, 30 + i);
        WriteFile(dir / name, part);
        all += part;
        args.push_back(dir / name);
    }
    WriteFile(dir / "ALL.BIN", all);
    ToolOptions terminal;
    terminal.errorOnTerminal = true;
    ToolRun run = RunTool(args, terminal);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    size_t line = run.err.find("\rzemcmp: ");
    ASSERT_NE(line, std::string::npos) << "no progress line in " << ::testing::PrintToString(run.err);
    EXPECT_NE(run.err.find(" of 4 files, ", line), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(" MB/s", line), std::string::npos) << run.err;
    EXPECT_EQ(run.err.back(), '\r') << "the line is erased at the end";

    run = RunTool({"compress", dir / "ALL.BIN", "-d", dir / "out"}, terminal);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("\rzemcmp: " + dir / "ALL.BIN" + ": "), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("%, "), std::string::npos) << run.err;

    args.insert(args.begin() + 1, {"-q", "-f"});
    run = RunTool(args, terminal);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, "");
}

// Several temporary outputs at once, all removed by an interrupt.
TEST_F(ZemcmpJobs, AnInterruptRemovesTheTemporaryOutputsOfEveryWorker) {
    std::filesystem::create_directory(dir / "out");
    std::vector<std::string> args = {"compress", "-j", "3", "-d", dir / "out"};
    for (int i = 0; i < 3; ++i) {
        std::string name = "BIG" + std::to_string(i) + ".BIN";
        WriteFile(dir / name, RandomBytes(12 << 20, 20 + i));
        args.push_back(dir / name);
    }
    pid_t pid = StartTool(args, "");
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (ListDir(dir / "out").size() < 2 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ::kill(pid, SIGINT);
    ToolRun run = WaitTool(pid);
    if (run.exitCode == 0) GTEST_SKIP() << "the tool finished before it could be interrupted";
    EXPECT_EQ(run.signal, SIGINT);
    EXPECT_TRUE(ListDir(dir / "out").empty());
}

}  // namespace
}  // namespace zs::test
