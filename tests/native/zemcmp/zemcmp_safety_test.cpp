// What the tool must never do: replace its own input or an earlier output, overwrite without -f, accept a
// size the format cannot hold, or leave a half-written output behind after a failure or an interrupt.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include "tool_runner.h"

namespace zs::test {
namespace {

// A compressed file whose length field (4) is shorter than its literals "abc" plus a match of nine bytes.
const Bytes kDamaged =
    Bytes("ZemC32\0", 7) + Bytes(25, '\0') + Bytes("\x04\x00\x00\x00\xF6\xFB\xBD\xF2\x40\x04", 10);

class ZemcmpSafety : public ::testing::Test {
  protected:
    ScratchDir dir;
};

TEST_F(ZemcmpSafety, AnExistingOutputIsReplacedOnlyWithForce) {
    WriteFile(dir / "A.TXT", "abc");
    WriteFile(dir / "A.TX_", "older");
    ToolRun refused = RunTool({"compress", dir / "A.TXT"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("already exists (use -f to replace it)"), std::string::npos) << refused.err;
    EXPECT_EQ(ReadFile(dir / "A.TX_"), "older");

    ToolRun forced = RunTool({"compress", dir / "A.TXT", "-f"});
    EXPECT_EQ(forced.exitCode, 0) << forced.err;
    EXPECT_EQ(ReadFile(dir / "A.TX_").substr(0, 6), "ZemC32");
    EXPECT_EQ(ListDir(dir.path()), (std::vector<std::string>{"A.TXT", "A.TX_"}));
}

TEST_F(ZemcmpSafety, AnOutputNeverReplacesItsOwnInputEvenWithForce) {
    WriteFile(dir / "DATA", "abc");
    std::filesystem::create_hard_link(dir / "DATA", dir / "LINK");
    for (const std::string& output : {dir / "DATA", dir / "LINK"}) {
        ToolRun run = RunTool({"compress", dir / "DATA", "-o", output, "-f"});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_NE(run.err.find("is the input itself"), std::string::npos) << run.err;
        EXPECT_EQ(ReadFile(dir / "DATA"), "abc");
    }
}

TEST_F(ZemcmpSafety, TwoInputsWithOneCompressedNameDoNotOverwriteEachOther) {
    WriteFile(dir / "A.TXT", "first");
    WriteFile(dir / "A.TX", "second");
    ToolRun run = RunTool({"compress", dir / "A.TXT", dir / "A.TX", "-f"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("already written from another input"), std::string::npos) << run.err;
    ToolRun back = RunTool({"expand", dir / "A.TX_", "-o", "-"});
    EXPECT_EQ(back.out, "first");
}

TEST_F(ZemcmpSafety, RefusesInputsOfFourGibibytesOrMore) {
    std::filesystem::create_directory(dir / "out");
    WriteFile(dir / "HUGE.BIN", "");
    std::filesystem::resize_file(dir / "HUGE.BIN", 0x100000000ull);  // sparse: nothing is read
    ToolRun run = RunTool({"compress", dir / "HUGE.BIN", "-d", dir / "out"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("HUGE.BIN: is 4 GiB or larger"), std::string::npos) << run.err;
    EXPECT_TRUE(ListDir(dir / "out").empty());
}

TEST_F(ZemcmpSafety, NoOutputIsLeftAfterADamagedInput) {
    WriteFile(dir / "BAD.T_", kDamaged);
    std::filesystem::create_directory(dir / "out");
    ToolRun run = RunTool({"expand", dir / "BAD.T_", "-d", dir / "out"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("BAD.T_: the compressed data is damaged"), std::string::npos) << run.err;
    EXPECT_TRUE(ListDir(dir / "out").empty());
}

TEST_F(ZemcmpSafety, NoOutputIsLeftAfterAFailedWrite) {
    WriteFile(dir / "BIG.BIN", RandomBytes(300000, 5));
    std::filesystem::create_directory(dir / "out");
    ToolOptions fullDisk;
    fullDisk.fileSizeLimit = 100000;
    ToolRun run = RunTool({"compress", dir / "BIG.BIN", "-d", dir / "out"}, fullDisk);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("BIG.BIN: cannot write the output"), std::string::npos) << run.err;
    EXPECT_TRUE(ListDir(dir / "out").empty());
}

TEST_F(ZemcmpSafety, AnOutputDirectoryThatIsNoDirectoryIsReported) {
    WriteFile(dir / "A.TXT", "abc");
    WriteFile(dir / "NOTADIR", "");
    ToolRun run = RunTool({"compress", dir / "A.TXT", "-d", dir / "NOTADIR"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("NOTADIR: not a directory"), std::string::npos) << run.err;
    run = RunTool({"compress", dir / "A.TXT", "-o", dir / "MISSING/A.TX_"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("cannot create a temporary file in"), std::string::npos) << run.err;
    EXPECT_EQ(ListDir(dir.path()), (std::vector<std::string>{"A.TXT", "NOTADIR"}));
}

// An output is a regular file or standard output: a symbolic link in its place is neither followed (it could
// lead anywhere, /dev/stdout included) nor replaced, dangling or not, with or without -f.
TEST_F(ZemcmpSafety, ASymbolicLinkAsOutputIsRefusedAndLeftAsItIs) {
    WriteFile(dir / "A.TXT", "abc");
    WriteFile(dir / "ELSEWHERE", "kept");
    std::filesystem::create_symlink(dir / "ELSEWHERE", dir / "A.TX_");
    std::filesystem::create_symlink(dir / "NOWHERE", dir / "B.TX_");
    WriteFile(dir / "B.TXT", "abc");
    for (const std::vector<std::string>& extra : {std::vector<std::string>{}, {"-f"}}) {
        for (const char* name : {"A.TXT", "B.TXT"}) {
            std::vector<std::string> args = {"compress", dir / name};
            args.insert(args.end(), extra.begin(), extra.end());
            ToolRun run = RunTool(args);
            EXPECT_EQ(run.exitCode, 1) << name;
            EXPECT_NE(run.err.find("is a symbolic link; it is neither followed nor replaced"),
                      std::string::npos)
                << run.err;
        }
    }
    ToolRun toStdout = RunTool({"compress", dir / "A.TXT", "-o", "/dev/stdout", "-f"});
    EXPECT_EQ(toStdout.exitCode, 1);
    EXPECT_EQ(toStdout.out, "");
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "A.TX_"));
    EXPECT_EQ(std::filesystem::read_symlink(dir / "A.TX_"), dir / "ELSEWHERE");
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "B.TX_"));
    EXPECT_EQ(ReadFile(dir / "ELSEWHERE"), "kept");
    EXPECT_EQ(ListDir(dir.path()),
              (std::vector<std::string>{"A.TXT", "A.TX_", "B.TXT", "B.TX_", "ELSEWHERE"}));
}

// Files under /proc report a size of 0 and yet hold data: coded by their size they would come out empty.
// The file is refused, with nothing written; through standard input, read to its end, it is coded whole.
TEST_F(ZemcmpSafety, AFileThatHoldsMoreThanItsSizeSaysIsRefused) {
    std::filesystem::create_directory(dir / "out");
    ToolRun run = RunTool({"compress", "/proc/self/status", "-d", dir / "out"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("/proc/self/status: reports a size of 0 bytes but holds data"), std::string::npos)
        << run.err;
    EXPECT_TRUE(ListDir(dir / "out").empty());

    Bytes status = ReadFile("/proc/self/status");
    ASSERT_FALSE(status.empty());
    ToolRun piped = RunTool({"compress", "-", "-o", dir / "out/STATUS._"}, WithInput(status));
    ASSERT_EQ(piped.exitCode, 0) << piped.err;
    EXPECT_EQ(RunTool({"expand", dir / "out/STATUS._", "-o", "-"}).out, status);
}

// Standard input is copied to a temporary file before it is coded. The copy stops as soon as it passes the
// largest size the format can hold, 4 GiB - 2 bytes; the tests lower that limit (ZEMCMP_TEST_SPOOL_LIMIT)
// to reach it.
TEST_F(ZemcmpSafety, StandardInputIsReadOnlyUpToTheFormatsLimit) {
    std::filesystem::create_directory(dir / "tmp");
    const std::string limit = "ZEMCMP_TEST_SPOOL_LIMIT=100000";
    ToolOptions options = WithInput(RandomBytes(100000, 4));
    options.environment = {limit, "TMPDIR=" + dir / "tmp"};
    ToolRun atLimit = RunTool({"compress", "-", "-o", dir / "AT.BI_"}, options);
    EXPECT_EQ(atLimit.exitCode, 0) << atLimit.err;
    EXPECT_EQ(RunTool({"expand", dir / "AT.BI_", "-o", "-"}).out, options.standardInput);

    options.standardInput += "!";
    ToolRun past = RunTool({"compress", "-", "-o", dir / "PAST.BI_"}, options);
    EXPECT_EQ(past.exitCode, 1);
    EXPECT_EQ(past.err,
              "zemcmp: standard input: holds more than 100000 bytes; reading stopped there (the "
              "compressed format stores sizes in 32 bits, so standard input is read up to that "
              "size only)\n");
    EXPECT_FALSE(Exists(dir / "PAST.BI_"));

    // An endless input ends the same way, and so does test's reading of it.
    ToolOptions endless;
    endless.standardInputFile = "/dev/zero";
    endless.environment = {"ZEMCMP_TEST_SPOOL_LIMIT=3000000", "TMPDIR=" + dir / "tmp"};
    for (std::string command : {"compress", "test"}) {
        std::vector<std::string> args = {command, "-"};
        if (command == "compress") args.insert(args.end(), {"-o", dir / "ZEROS._"});
        ToolRun run = RunTool(args, endless);
        EXPECT_EQ(run.exitCode, 1) << command;
        EXPECT_NE((run.err + run.out).find("holds more than 3000000 bytes"), std::string::npos) << run.err;
    }
    EXPECT_TRUE(ListDir(dir / "tmp").empty()) << "the copy of standard input is gone";
    EXPECT_FALSE(Exists(dir / "ZEROS._"));
}

// Regression: file names reached the terminal raw: an escape sequence or a bell in a name acted on it, and a
// line break forged a whole line of test's output, which promises one line per file. Every message now writes
// them as the check's report does, each control character as \xNN.
TEST_F(ZemcmpSafety, FileNamesInMessagesCannotActOnTheTerminal) {
    const std::vector<std::string> names = {"ESC\x1b[2J.T", "BEL\a.T",
                                            "NL\nX.T: compressed file, 1 bytes uncompressed, decodes "
                                            "completely\nY.T"};
    std::vector<std::string> plain, packed;
    for (const std::string& name : names) {
        WriteFile(dir / name, "abc");
        plain.push_back(dir / name);
        packed.push_back(dir / name + "_");
    }
    std::filesystem::create_directory(dir / "out");
    auto with = [](std::vector<std::string> args, const std::vector<std::string>& files) {
        args.insert(args.end(), files.begin(), files.end());
        return args;
    };
    struct Step {
        std::vector<std::string> args;
        int exitCode;
    };
    const Step steps[] = {
        {with({"compress", "-v"}, plain), 0},
        {with({"expand", "-v", "-d", dir / "out"}, packed), 0},
        {with(with({"test"}, packed), {plain[0]}), 1},  // the plain file: "not a compressed file"
        {{"nosuchcommand\x1b[2J"}, 2},
    };
    for (const Step& step : steps) {
        ToolRun run = RunTool(step.args);
        const std::string shown = run.out + run.err;
        EXPECT_EQ(run.exitCode, step.exitCode) << shown;
        EXPECT_EQ(shown.find_first_of("\x1b\a"), std::string::npos) << shown;
        EXPECT_NE(shown.find("\\x1B[2J"), std::string::npos) << shown;
        if (step.args[0] == "test") {
            EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 4) << run.out;
            EXPECT_NE(run.out.find("NL\\x0AX.T: compressed file"), std::string::npos) << run.out;
        }
    }
}

// Regression: opening a FIFO waits for a writer, so `zemcmp test` on one without a writer never ended. Only
// regular files are read (the codec needs the size first); the FIFO is refused at once, and so is a device.
TEST_F(ZemcmpSafety, AFifoOrADeviceIsRefusedWithoutWaiting) {
    ASSERT_EQ(::mkfifo((dir / "PIPE.T_").c_str(), 0600), 0);
    ToolOptions limited;
    limited.timeLimitSeconds = 30;  // ends a run that hangs, with SIGALRM
    for (std::string command : {"test", "compress", "expand"}) {
        std::vector<std::string> args = {command, dir / "PIPE.T_"};
        if (command != "expand") args.push_back("/dev/null");  // expand could not name its output
        ToolRun run = RunTool(args, limited);
        EXPECT_EQ(run.exitCode, 1) << command << " ended by signal " << run.signal;
        const std::string shown = run.out + run.err;
        EXPECT_NE(shown.find("PIPE.T_: is not a regular file but a FIFO"), std::string::npos) << shown;
        if (args.size() == 3) {
            EXPECT_NE(shown.find("/dev/null: is not a regular file but a device"), std::string::npos)
                << shown;
        }
    }
    EXPECT_EQ(ListDir(dir.path()), std::vector<std::string>{"PIPE.T_"});
}

class ZemcmpInterrupt : public ZemcmpSafety, public ::testing::WithParamInterface<int> {};

TEST_P(ZemcmpInterrupt, RemovesTheTemporaryOutput) {
    WriteFile(dir / "BIG.BIN", RandomBytes(16 << 20, 9));
    std::filesystem::create_directory(dir / "out");
    pid_t pid = StartTool({"compress", dir / "BIG.BIN", "-d", dir / "out"}, "");
    // Wait until the temporary output exists, then interrupt.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (ListDir(dir / "out").empty() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ::kill(pid, GetParam());
    ToolRun run = WaitTool(pid);
    if (run.exitCode == 0) GTEST_SKIP() << "the tool finished before it could be interrupted";
    EXPECT_EQ(run.signal, GetParam());
    EXPECT_TRUE(ListDir(dir / "out").empty());
}

// Regression: SIGQUIT (Ctrl-\\) left the temporary output behind.
INSTANTIATE_TEST_SUITE_P(Signals, ZemcmpInterrupt, ::testing::Values(SIGINT, SIGTERM, SIGQUIT),
                         [](const auto& info) {
                             return info.param == SIGINT    ? "Sigint"
                                    : info.param == SIGTERM ? "Sigterm"
                                                            : "Sigquit";
                         });

}  // namespace
}  // namespace zs::test
