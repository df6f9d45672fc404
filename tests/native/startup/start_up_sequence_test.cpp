// The start-up sequence over a host that records what it is asked to do: the one stop path's order, what a
// quiet run logs instead of showing, the phases runs end in and the cause every stop carries.
#include "startup/start_up_sequence.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <string>
#include <vector>

#include "base/ascii_case.h"
#include "startup/exit_status.h"
#include "startup/start_up_seals.h"

namespace zs::bootstrap {
namespace {

// SETUP.LST as a map of "section/key" to value; nothing else of a profile file matters here.
class MapProfile : public ProfileReader {
  public:
    explicit MapProfile(std::map<std::string, std::string> values) : values_(std::move(values)) {}
    std::string GetString(const char* section, const char* key, const char* defaultValue,
                          size_t bufferSize) const override {
        if (!section || !key) return std::string();
        auto found = values_.find(std::string(section) + "/" + key);
        std::string value = found == values_.end() ? defaultValue : found->second;
        return value.substr(0, bufferSize - 1);
    }

  private:
    std::map<std::string, std::string> values_;
};

class RecordingHost : public StartUpHost {
  public:
    std::vector<std::string> calls;
    std::map<std::string, std::string> listFile = {
        {"SetupLang/0", "E"},        {"SetupLang/1", "English,E"},    {"StartUp/AppName", "Demo"},
        {"StartUp/TmpDirSize", "1"}, {"StartUp/TmpDirName", "C:\\T"}, {"StartUp/1", "_SETUP.EXE"}};
    std::vector<std::string> existing = {"D:\\SETUP.LST", "D:\\_SETUP.EXE"};
    std::vector<std::string> directories;
    int chosenBlock = 101;  // the block of the language the dialog gives
    std::string commandLine;
    bool directoryCreatable = true;
    StageResult stageResult = StageResult::kDone;
    StagingObstacle obstacle;
    std::vector<LeftBehind> leftBehind;
    // The restart key before the main module and after it.
    RestartKeyState restartKey[2];
    int restartKeyReads = 0;

    std::string CommandLine() override { return commandLine; }
    std::string ProgramPath() override { return "D:\\setup.exe"; }
    bool LoadResourceLibrary(const std::string&) override { return true; }
    const char* HookText() override { return ""; }
    void StartHook(const std::string&) override { calls.push_back("hook"); }
    void UseResourceLibrary() override { calls.push_back("use library"); }
    void ReleaseResourceLibrary() override { calls.push_back("release library"); }
    void KeepResourceLibrary() override { calls.push_back("keep library"); }
    std::optional<std::string> LoadString(int id) override {
        static const std::map<int, std::string> strings = {
            {1, "1"},           {2, "English0101"},   {104, "not found: %1"}, {105, "not expanded: %1"},
            {107, "corrupted"}, {109, "no directory"}};
        auto found = strings.find(id);
        return found == strings.end() ? std::nullopt : std::optional<std::string>(found->second);
    }
    std::optional<std::string> WindowsDirectory() override { return std::string("C:\\WINDOWS"); }
    bool Exists(const std::string& path) override {
        return std::find(existing.begin(), existing.end(), path) != existing.end() || IsDirectory(path);
    }
    bool IsDirectory(const std::string& path) override {
        return std::find(directories.begin(), directories.end(), path) != directories.end();
    }
    std::unique_ptr<ProfileReader> OpenProfile(const std::string&) override {
        return std::make_unique<MapProfile>(listFile);
    }
    long double FreeBytes(int) override { return 1e12L; }
    std::optional<std::string> FullPath(const std::string& path) override { return path; }
    std::string FoldedPath(const std::string& path) override { return AsciiUpperCase(path); }
    bool MakeDirectory(const std::string&) override { return directoryCreatable; }
    DirectoryLock LockTargetDirectory(const std::string& directory) override {
        calls.push_back("lock " + directory);
        return DirectoryLock::kTaken;
    }
    void TakeOverTargetDirectory(const std::string& directory, bool) override {
        calls.push_back("take " + directory);
    }
    StagingObstacle CheckTargetDirectory(const std::vector<std::string>&) override { return obstacle; }
    StageResult StageFile(const StagedFile& file, ContentDigest* digest) override {
        calls.push_back("stage " + file.fileName + (digest ? " hashed" : ""));
        if (digest) {
            Sha256 hash;
            hash.Update(file.fileName.data(), file.fileName.size());
            hash.Final(*digest);
        }
        return stageResult;
    }
    std::vector<LeftBehind> CleanUpTargetDirectory() override {
        calls.push_back("clean up");
        return leftBehind;
    }
    void Log(const std::string& line) override { log.push_back(line); }
    void SetLogFile(const std::string& path) override { calls.push_back("log file " + path); }
    void ShowWaitCursor() override { calls.push_back("wait cursor"); }
    void RestoreCursor() override { calls.push_back("restore cursor"); }
    language::LanguageSelection RunSelectionDialog(const language::LanguageChoices&) override {
        calls.push_back("dialog");
        return {"English", chosenBlock, false};
    }
    void WriteHandOff(const char*, const std::string&) override {}
    void RecordCancel() override { calls.push_back("record cancel"); }
    void ShowPleaseWait(const std::string&, int) override { calls.push_back("please wait"); }
    void ClosePleaseWait() override { calls.push_back("close please wait"); }
    void ShowMessage(const RunEnd& end, const std::string& text) override {
        calls.push_back(std::string("message ") + RunPhaseName(end.phase) + ": " + text);
    }
    MainModuleStart RunMainModule(const std::string&, const std::string&,
                                  const std::function<void(const MainModuleStart&)>& started) override {
        calls.push_back("run main module");
        MainModuleStart start{true, 0};
        started(start);
        return start;
    }
    RestartKeyState ReadRestartKey(const std::string&) override { return restartKey[restartKeyReads++ % 2]; }
    void Restart() override { calls.push_back("restart"); }
    void EndMessageLoop() override {}
    // The first stop's reason, and "phase profile [section] key = entry: file, block+offset".
    bool ContinueAfterStop(const RunEnd& end, const std::string&) override {
        if (!cause.empty()) return false;
        const RunCause& c = end.cause;
        reason = c.reason;
        cause = std::string(RunPhaseName(end.phase)) + " " + std::string(c.profile) + " [" +
                std::string(c.section) + "] " + std::string(c.key) + " = " +
                (c.entry ? std::string(*c.entry) : "-") + ": " + std::string(c.fileName);
        if (end.message && !end.message->fixedText) {
            cause += ", " + std::to_string(end.message->block) + "+" + std::to_string(end.message->offset);
        }
        return false;
    }

    std::vector<std::string> log;
    StopReason reason = StopReason::kCancelled;
    std::string cause;

    // The calls from the first one that contains `from` on.
    std::vector<std::string> CallsFrom(const std::string& from) const {
        auto start = std::find_if(calls.begin(), calls.end(), [&](const std::string& call) {
            return call.find(from) != std::string::npos;
        });
        return std::vector<std::string>(start, calls.end());
    }
};

TEST(StartUpSequence, EveryStopTakesOnePathInOneOrder) {
    RecordingHost staging;
    staging.stageResult = StageResult::kSourceUnreadable;
    EXPECT_EQ(StartUpSequence(staging).Run(), kExitStopped);
    EXPECT_EQ(
        staging.CallsFrom("stage"),
        (std::vector<std::string>{"stage _SETUP.EXE", "close please wait", "restore cursor",
                                  "message staging: not found: _SETUP.EXE", "clean up", "release library"}));

    RecordingHost directory;
    directory.directoryCreatable = false;
    EXPECT_EQ(StartUpSequence(directory).Run(), kExitStopped);
    EXPECT_EQ(directory.CallsFrom("please wait"),
              (std::vector<std::string>{"please wait", "lock C:\\T", "close please wait", "restore cursor",
                                        "message temporary-directory: no directory", "release library"}));

    RecordingHost list;
    list.existing.clear();
    EXPECT_EQ(StartUpSequence(list).Run(), kExitStopped);
    EXPECT_EQ(list.CallsFrom("wait cursor"),
              (std::vector<std::string>{"wait cursor", "restore cursor",
                                        "message list-file: not found: SETUP.LST", "release library"}));
}

TEST(StartUpSequence, AQuietRunLogsItsMessageAndShowsNothing) {
    RecordingHost host;
    host.commandLine = "/QUIET /LOG=C:\\run.log";
    host.existing = {"D:\\SETUP.LST"};
    EXPECT_EQ(StartUpSequence(host).Run(), kExitStopped);
    EXPECT_EQ(host.calls.front(), "log file C:\\run.log");
    for (const std::string& call : host.calls) {
        EXPECT_TRUE(call.find("message") == std::string::npos && call != "please wait" && call != "dialog")
            << call;
    }
    EXPECT_EQ(host.log.back(), "Message (stop):not found: _SETUP.EXE");
}

TEST(StartUpSequence, ARunThatEndsWellKeepsTheLibraryAndCleansUpAfterTheModule) {
    RecordingHost host;
    EXPECT_EQ(StartUpSequence(host).Run(), kExitCompleted);
    EXPECT_EQ(host.CallsFrom("run main module"),
              (std::vector<std::string>{"run main module", "clean up", "keep library"}));
    EXPECT_EQ(host.log.back(), "CreateProcess ok with C:\\T\\_SETUP.EXE D:\\,English.");
}

// Each stop names what ended the run where it found it; the message's string is its block and offset.
TEST(StartUpSequence, EveryStopCarriesItsCause) {
    using R = StopReason;
    const struct {
        const char* name;
        std::map<std::string, std::string> changes;  // of the list file; "" removes the key
        StopReason reason;
        const char* cause;
    } stops[] = {
        {"no filter code",
         {{"SetupLang/0", ""}},
         R::kFilterCodeEmpty,
         "languages SETUP.LST [SetupLang] 0 = : , 101+6"},
        {"entry without a comma",
         {{"SetupLang/2", "Deutsch"}},
         R::kLanguageEntryWithoutComma,
         "languages SETUP.LST [SetupLang] 2 = Deutsch: , 101+6"},
        {"no AppName",
         {{"StartUp/AppName", ""}},
         R::kValueMissing,
         "application-name SETUP.LST [StartUp] AppName = NO ENTRY: , 101+6"},
        {"no entry 1", {{"StartUp/1", ""}}, R::kNoStartUpFile, "staging SETUP.LST [StartUp] 1 = -: , 201+6"},
        {"a path",
         {{"StartUp/2", "..\\X"}},
         R::kEntryNotPlain,
         "staging SETUP.LST [StartUp] 2 = -: ..\\X, 201+6"},
        {"a missing file",
         {{"StartUp/2", "GONE.DLL"}},
         R::kStartUpFileMissing,
         "staging SETUP.LST [StartUp] 2 = -: GONE.DLL, 201+3"},
    };
    for (const auto& stop : stops) {
        SCOPED_TRACE(stop.name);
        RecordingHost host;
        host.chosenBlock = 201;
        for (const auto& [key, value] : stop.changes) {
            if (value.empty()) {
                host.listFile.erase(key);
            } else {
                host.listFile[key] = value;
            }
        }
        host.listFile["SetupLang/1"] = "English,E";
        EXPECT_EQ(StartUpSequence(host).Run(), kExitStopped);
        EXPECT_EQ(host.reason, stop.reason);
        EXPECT_EQ(host.cause, stop.cause);
    }
}

// A target that exists but is no directory, or that is the program's own directory, ends the run with the
// temporary-directory message before anything is taken over or staged.
TEST(StartUpSequence, ATargetThatIsNoDirectoryOrTheSourceStopsBeforeStaging) {
    const struct {
        const char* tmpDirName;
        const char* locked;  // the lock on the directory's full path comes first
        StopReason reason;
    } targets[] = {{"C:\\FILE.TXT", "lock C:\\FILE.TXT", StopReason::kTargetNotDirectory},
                   {"C:\\TMP\\nul.txt", "lock C:\\TMP\\nul.txt", StopReason::kTargetNotDirectory},
                   {"d:\\", "lock d:\\", StopReason::kTargetIsSource},
                   {"D:", "lock D:\\", StopReason::kTargetIsSource}};
    for (const auto& target : targets) {
        SCOPED_TRACE(target.tmpDirName);
        RecordingHost host;
        host.existing.push_back("C:\\FILE.TXT");
        host.directories.push_back("D:\\");
        host.listFile["StartUp/TmpDirName"] = target.tmpDirName;
        EXPECT_EQ(StartUpSequence(host).Run(), kExitStopped);
        EXPECT_EQ(
            host.CallsFrom("please wait"),
            (std::vector<std::string>{"please wait", target.locked, "close please wait", "restore cursor",
                                      "message temporary-directory: no directory", "release library"}));
        EXPECT_EQ(host.reason, target.reason);
    }
}

bool Logged(const RecordingHost& host, const std::string& line) {
    return std::find(host.log.begin(), host.log.end(), line) != host.log.end();
}

TEST(StartUpSequence, AnObstacleInTheDirectoryStopsBeforeAnyFileIsStaged) {
    for (const auto& [kind, line] :
         {std::pair{StagingObstacle::kLogFile, "Log file in the way:C:\\T\\X"},
          std::pair{StagingObstacle::kNameTooLong, "Name too long to set aside:C:\\T\\X"}}) {
        RecordingHost host;
        host.obstacle = {kind, "C:\\T\\X"};
        EXPECT_EQ(StartUpSequence(host).Run(), kExitStopped);
        EXPECT_EQ(host.CallsFrom("take"),
                  (std::vector<std::string>{"take C:\\T\\", "close please wait", "restore cursor",
                                            "message temporary-directory: no directory", "clean up",
                                            "release library"}));
        EXPECT_TRUE(Logged(host, line)) << line;
    }
}

TEST(StartUpSequence, WhatTheCleanUpCouldNotPutBackIsToldAndDecidesTheStatus) {
    const LeftBehind aside{LeftBehind::kSetAside, "C:\\T\\DATA.BIN", "C:\\T\\DATA.BIN.setup-saved-7"};
    const std::string message =
        "message clean-up: Setup could not put its temporary directory back as it was:\n"
        "C:\\T\\DATA.BIN is set aside as C:\\T\\DATA.BIN.setup-saved-7\n\n"
        "Close the programs that may use these files, then rename or delete them by hand.";
    struct Case {
        const char* commandLine;
        StageResult stage;
        int status;
        std::vector<std::string> calls;  // from the clean-up on
    };
    const Case cases[] = {
        // The message comes first, then the restart that the main module asked for.
        {"", StageResult::kDone, kExitNotPutBack, {"clean up", message, "restart", "keep library"}},
        {"/NORESTART",
         StageResult::kDone,
         kExitNotPutBackRestartNeeded,
         {"clean up", message, "keep library"}},
        // A stop keeps its status.
        {"", StageResult::kSourceUnreadable, kExitStopped, {"clean up", message, "release library"}},
    };
    for (const Case& c : cases) {
        RecordingHost host;
        host.commandLine = c.commandLine;
        host.stageResult = c.stage;
        host.leftBehind = {aside};
        host.restartKey[1] = {true, 2, true};
        EXPECT_EQ(StartUpSequence(host).Run(), c.status) << c.commandLine;
        EXPECT_EQ(host.CallsFrom("clean up"), c.calls);
        EXPECT_TRUE(
            Logged(host, "Not put back:C:\\T\\DATA.BIN is set aside as C:\\T\\DATA.BIN.setup-saved-7"));
    }
}

// The recording host's digest of a staged file: the SHA-256 of its name.
std::string SealOfName(const std::string& name) {
    Sha256 hash;
    hash.Update(name.data(), name.size());
    uint8_t digest[kSha256DigestSize];
    hash.Final(digest);
    return SealText(digest);
}

// A sealed file is hashed as it is staged; a seal that does not hold, or is no seal, stops the run like a
// failed expansion, and the clean-up takes the staged copy. A seal of a file that is not listed means
// nothing.
TEST(StartUpSequence, ASealThatDoesNotHoldStopsTheRunLikeAFailedExpansion) {
    const std::string good = SealOfName("DATA.BIN");
    std::string upper = good;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const std::pair<std::string, bool> seals[] = {
        {good, false}, {SealOfName("OTHER"), true}, {upper, true}, {good + "0", true}, {"sha256:", true}};
    for (const auto& [seal, stops] : seals) {
        SCOPED_TRACE(seal);
        RecordingHost host;
        host.listFile["StartUp/2"] = "DATA.BIN";
        host.listFile["StartUpSeals/DATA.BIN"] = seal;
        host.listFile["StartUpSeals/GONE.DLL"] = "no seal";
        host.existing.push_back("D:\\DATA.BIN");
        EXPECT_EQ(StartUpSequence(host).Run(), stops ? kExitStopped : kExitCompleted);
        EXPECT_EQ(host.CallsFrom("stage")[0], "stage _SETUP.EXE");
        if (!stops) continue;
        EXPECT_EQ(host.CallsFrom("stage DATA.BIN"),
                  (std::vector<std::string>{"stage DATA.BIN hashed", "close please wait", "restore cursor",
                                            "message staging: not expanded: DATA.BIN", "clean up",
                                            "release library"}));
        EXPECT_EQ(host.reason, StopReason::kStartUpFileSealBroken);
        EXPECT_EQ(host.cause, "staging SETUP.LST [StartUpSeals] DATA.BIN = " + seal + ": DATA.BIN, 101+4");
        EXPECT_TRUE(Logged(host, "Seal mismatch:DATA.BIN expected " + seal + " got " + good));
    }

    // A workstation run stages nothing, so it hashes nothing and compares no seal.
    RecordingHost workstation;
    workstation.existing.push_back("D:\\ADMIN.INF");
    workstation.listFile["StartUpSeals/_SETUP.EXE"] = SealOfName("OTHER");
    EXPECT_EQ(StartUpSequence(workstation).Run(), kExitCompleted);
    EXPECT_EQ(workstation.CallsFrom("stage")[0], "stage _SETUP.EXE");
}

TEST(StartUpSequence, ALogPathOnTheMediumOrADeviceLeavesTheRunWithoutALog) {
    const std::pair<const char*, const char*> cases[] = {{"/LOG=d:\\setup.lst", ""},
                                                         {"/LOG=D:\\SUB\\RUN.LOG", ""},
                                                         {"/LOG=C:\\LOGS\\nul.txt", ""},
                                                         {"/LOG=\\\\.\\COM1", ""},
                                                         {"/LOG=C:\\run.log", "C:\\run.log"}};
    for (const auto& [commandLine, used] : cases) {
        RecordingHost host;
        host.commandLine = commandLine;
        StartUpSequence(host).Run();
        EXPECT_EQ(host.calls.front(), std::string("log file ") + used) << commandLine;
    }
}

}  // namespace
}  // namespace zs::bootstrap
