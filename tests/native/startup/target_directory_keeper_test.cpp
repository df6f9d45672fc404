// Putting the temporary directory back, over a file system in memory whose files can be held open for a while
// (as a virus scanner holds them): a file listed twice, files held past the retries, the checks made before
// anything is moved, and a directory the run made that goes whole but for the log and what links point to.
#include "startup/target_directory_keeper.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "base/ascii_case.h"
#include "startup/file_name_rules.h"

namespace zs::bootstrap {
namespace {

class MemoryFileSystem : public TargetFileSystem {
  public:
    struct Node {
        std::string path;
        std::string contents;
        bool directory = false;
        bool link = false;
    };
    std::map<std::string, Node> nodes;  // by folded path
    std::map<std::string, unsigned> heldUntil;
    std::vector<std::string> moves;
    unsigned now = 0;

    void Add(const std::string& path, const std::string& contents = "", bool directory = false,
             bool link = false) {
        nodes[Folded(path)] = {path, contents, directory, link};
    }
    std::string Contents(const std::string& path) {
        auto found = nodes.find(Folded(path));
        return found == nodes.end() ? "(none)" : found->second.contents;
    }
    std::vector<std::string> Paths() const {
        std::vector<std::string> paths;
        for (const auto& [folded, node] : nodes) paths.push_back(node.path);
        return paths;
    }

    std::vector<DirectoryEntry> List(const std::string& directory) override {
        std::vector<DirectoryEntry> entries;
        const std::string parent = Folded(directory.substr(0, directory.size() - 1));
        for (const auto& [folded, node] : nodes) {
            if (folded.rfind('\\') == parent.size() && folded.compare(0, parent.size(), parent) == 0) {
                entries.push_back({node.path.substr(parent.size() + 1), node.directory, node.link});
            }
        }
        return entries;
    }
    MoveResult Move(const std::string& from, const std::string& to) override {
        const std::string source = Folded(from);
        if (!nodes.count(source)) return MoveResult::kSourceMissing;
        if (Held(source)) return MoveResult::kFailed;
        if (nodes.count(Folded(to))) return MoveResult::kTargetTaken;
        Node node = nodes[source];
        node.path = to;
        nodes.erase(source);
        nodes[Folded(to)] = node;
        moves.push_back(from + " -> " + to);
        return MoveResult::kMoved;
    }
    bool Delete(const std::string& path) override {
        const std::string folded = Folded(path);
        if (!nodes.count(folded)) return true;
        if (Held(folded) || nodes[folded].directory) return false;
        nodes.erase(folded);
        return true;
    }
    bool RemoveEmptyDirectory(const std::string& path) override {
        const std::string folded = Folded(path);
        if (!nodes.count(folded)) return true;
        if (!nodes[folded].directory || (!nodes[folded].link && !List(path + "\\").empty())) return false;
        nodes.erase(folded);
        return true;
    }
    std::string Folded(const std::string& name) override {
        return AsciiUpperCase(std::string(WithoutTrailingDotsAndBlanks(name)));
    }
    unsigned long ProcessId() override { return 7; }
    void Pause(unsigned milliseconds) override { now += milliseconds; }

  private:
    bool Held(const std::string& folded) { return heldUntil.count(folded) && now < heldUntil[folded]; }
};

// What a run does with one start-up file: room made, the file created, noted as the run's.
void Stage(TargetDirectoryKeeper& keeper, MemoryFileSystem& files, const std::string& name) {
    ASSERT_TRUE(keeper.MakeRoomFor(name));
    files.Add("C:\\T\\" + std::string(WithoutTrailingDotsAndBlanks(name)), "medium's " + name);
    keeper.NoteStaged(name);
}

TEST(TargetDirectoryKeeper, AFileListedTwiceIsSetAsideOnceAndWhatAppearedOtherwiseStays) {
    MemoryFileSystem files;
    files.Add("C:\\T", "", true);
    files.Add("C:\\T\\DATA.BIN", "user's");
    TargetDirectoryKeeper keeper(files);
    keeper.TakeOver("C:\\T\\", false, "");
    EXPECT_EQ(keeper.Check({"DATA.BIN", "data.bin."}).kind, StagingObstacle::kNone);
    Stage(keeper, files, "DATA.BIN");
    Stage(keeper, files, "data.bin.");
    files.Add("C:\\T\\UNPACKED.DAT", "main module's");

    EXPECT_TRUE(keeper.Restore().empty());
    EXPECT_EQ(files.Contents("C:\\T\\DATA.BIN"), "user's");
    EXPECT_EQ(files.moves, (std::vector<std::string>{"C:\\T\\DATA.BIN -> C:\\T\\DATA.BIN.setup-saved-7",
                                                     "C:\\T\\DATA.BIN.setup-saved-7 -> C:\\T\\DATA.BIN"}));
    EXPECT_EQ(files.Paths(), (std::vector<std::string>{"C:\\T", "C:\\T\\DATA.BIN", "C:\\T\\UNPACKED.DAT"}));
}

TEST(TargetDirectoryKeeper, AHeldFileIsTriedAgainAndWhatStaysHeldIsReported) {
    const struct {
        const char* held;
        unsigned until;
        std::vector<std::string> left;
    } cases[] = {
        {"C:\\T\\DATA.BIN", 2000, {}},
        // The run's copy cannot go, so the user's file is not moved back over it.
        {"C:\\T\\DATA.BIN", 8000, {"C:\\T\\DATA.BIN is set aside as C:\\T\\DATA.BIN.setup-saved-7"}},
        {"C:\\T\\NEW.BIN", 8000, {"C:\\T\\NEW.BIN (a start-up file) could not be deleted"}},
    };
    for (const auto& c : cases) {
        MemoryFileSystem files;
        files.Add("C:\\T\\DATA.BIN", "user's");
        TargetDirectoryKeeper keeper(files);
        keeper.TakeOver("C:\\T\\", false, "");
        Stage(keeper, files, "DATA.BIN");
        Stage(keeper, files, "NEW.BIN");
        files.heldUntil[c.held] = c.until;

        std::vector<std::string> left;
        for (const LeftBehind& item : keeper.Restore()) left.push_back(LeftBehindText(item));
        EXPECT_EQ(left, c.left) << c.held << " " << c.until;
        EXPECT_LE(files.now, kCleanUpRetries * kCleanUpRetryIntervalMs);
        if (c.left.empty() || c.held != std::string("C:\\T\\DATA.BIN")) {
            EXPECT_EQ(files.Contents("C:\\T\\DATA.BIN"), "user's");
        } else {
            EXPECT_EQ(files.Contents("C:\\T\\DATA.BIN.setup-saved-7"), "user's");
            EXPECT_EQ(files.Contents("C:\\T\\DATA.BIN"), "medium's DATA.BIN");
        }
    }
}

TEST(TargetDirectoryKeeper, TheCheckFindsWhatCouldNotBeMovedBackOrWouldTakeTheLogsPlace) {
    const std::string deep = "C:\\" + std::string(230, 'D') + "\\";
    MemoryFileSystem files;
    files.Add(deep + "DATA.BIN", "user's");
    TargetDirectoryKeeper keeper(files);
    keeper.TakeOver(deep, false, "");
    const StagingObstacle tooLong = keeper.Check({"OTHER.BIN", "data.bin"});
    EXPECT_EQ(tooLong.kind, StagingObstacle::kNameTooLong);
    EXPECT_EQ(tooLong.path, deep + "DATA.BIN");
    EXPECT_EQ(keeper.Check({"OTHER.BIN"}).kind, StagingObstacle::kNone);

    for (bool created : {false, true}) {
        keeper.TakeOver("C:\\T\\", created, "c:\\t\\setup.log");
        const StagingObstacle log = keeper.Check({"_SETUP.EXE", "SETUP.LOG."});
        EXPECT_EQ(log.kind, StagingObstacle::kLogFile);
        EXPECT_EQ(log.path, "C:\\T\\SETUP.LOG");
    }
}

TEST(TargetDirectoryKeeper, ACreatedDirectoryGoesWholeButForTheLogAndWhatALinkNames) {
    for (const std::string log : {"", "C:\\T\\SUB\\SETUP.LOG"}) {
        MemoryFileSystem files;
        for (const char* directory : {"C:\\T", "C:\\T\\SUB", "C:\\T\\SUB\\DEEP"})
            files.Add(directory, "", true);
        for (const char* file : {"C:\\T\\A", "C:\\T\\SUB\\B", "C:\\T\\SUB\\DEEP\\C"}) files.Add(file);
        files.Add("C:\\T\\LINK", "", true, true);
        files.Add("C:\\T\\LINK\\USER.TXT", "named by the link");
        if (!log.empty()) files.Add(log);
        TargetDirectoryKeeper keeper(files);
        keeper.TakeOver("C:\\T\\", true, log);

        EXPECT_TRUE(keeper.Restore().empty());
        std::vector<std::string> kept = {"C:\\T\\LINK\\USER.TXT"};
        if (!log.empty()) kept = {"C:\\T", "C:\\T\\LINK\\USER.TXT", "C:\\T\\SUB", log};
        EXPECT_EQ(files.Paths(), kept);
        EXPECT_TRUE(keeper.Restore().empty());
    }
}

}  // namespace
}  // namespace zs::bootstrap
