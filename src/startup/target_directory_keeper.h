// Keeps the temporary directory of a local or administrative run as the run found it, over a
// TargetFileSystem:
// - a directory the run created goes whole at the end (subdirectories too; a link inside is removed, never
//   followed), except the run's log file when it lies inside: then the directory stays with the log in it;
// - in a directory that existed, nothing is deleted or replaced that the run did not stage. A file that was
//   there before the run and stands where a start-up file goes is moved aside within the directory under
//   NAME.setup-saved-PID ("-2", "-3", ... added should that name be taken) and moved back at the end. At the
//   end the run deletes exactly the files it staged, each before the user's file of its name is moved back
//   (so the order cannot undo itself); whatever else appeared (the main module's files too) stays, and so
//   does the directory.
// A start-up file listed twice ("DATA.BIN", "data.bin.") is one file: the second staging replaces the run's
// own copy and sets nothing aside. A delete or move that fails is tried again for a few seconds (a virus
// scanner may hold a file open); what still fails is reported, never ignored.
#pragma once

#include <string>
#include <vector>

#include "startup/target_file_system.h"

namespace zs::bootstrap {

// What stands in the way of staging the start-up files, found before any file is touched.
struct StagingObstacle {
    enum Kind {
        kNone,
        kNameTooLong,  // a file of the user's cannot be set aside and moved back: its names pass MAX_PATH
        kLogFile,      // a start-up file would be staged over the run's own log file
    };
    Kind kind = kNone;
    std::string path;  // the file concerned
};

// Something that the clean-up could not put back as it was.
struct LeftBehind {
    enum Kind {
        kSetAside,    // the user's file `path` is still set aside as `setAsidePath`
        kStagedFile,  // the run's copy `path` could not be deleted
        kDirectory,   // the directory `path` that the run created could not be removed
    };
    Kind kind = kSetAside;
    std::string path;
    std::string setAsidePath;
};

// One line for the log and the message: "C:\TMP\DATA.BIN is set aside as C:\TMP\DATA.BIN.setup-saved-7".
std::string LeftBehindText(const LeftBehind& left);

// The longest path that the Win32 file functions take (MAX_PATH less its NUL).
inline constexpr size_t kMaxPathLength = 259;
// A failed delete or move is tried again this often, this far apart: for five seconds.
inline constexpr int kCleanUpRetries = 20;
inline constexpr unsigned kCleanUpRetryIntervalMs = 250;

class TargetDirectoryKeeper {
  public:
    explicit TargetDirectoryKeeper(TargetFileSystem& files) : files_(files) {}
    TargetDirectoryKeeper(const TargetDirectoryKeeper&) = delete;
    TargetDirectoryKeeper& operator=(const TargetDirectoryKeeper&) = delete;

    // Takes the directory (a full path ending in a backslash) as the run finds it, before anything is staged;
    // `created` when the run has just made it. `keptFile`, a full path or empty, is the run's log: it stays.
    void TakeOver(const std::string& directory, bool created, const std::string& keptFile);

    // Before the first file is staged: every move that staging these start-up files and putting the
    // directory back will need can be made, and no start-up file takes the log's place.
    StagingObstacle Check(const std::vector<std::string>& fileNames);

    // Before the start-up file `fileName` is created: a file of the user's in its place is moved aside.
    // False when it is in the way and cannot be moved.
    bool MakeRoomFor(const std::string& fileName);
    // The start-up file `fileName` has been created: the clean-up deletes it.
    void NoteStaged(const std::string& fileName);

    // Puts the directory back (see above); returns what could not be put back. Does nothing before TakeOver
    // or a second time.
    std::vector<LeftBehind> Restore();

  private:
    // A name of the directory that the run deals with: there before the run, staged by it, or both.
    struct Name {
        std::string folded;
        std::string path;        // the directory and the name
        std::string aside;       // where the user's file of this name waits; empty when it is not set aside
        bool found = false;      // there before the run
        bool directory = false;  // there as a directory
        bool staged = false;     // the run's copy stands here (until the clean-up has deleted it)
    };

    Name* Find(const std::string& folded);
    std::string AsidePath(const std::string& original, int attempt);
    std::vector<LeftBehind> RestoreExisting();
    std::vector<LeftBehind> RemoveCreated();
    bool EmptyTree(const std::string& directory);
    bool HoldsKeptFile(const std::string& directory);
    bool IsKeptFile(const std::string& path);

    TargetFileSystem& files_;
    std::string directory_;
    std::string keptFile_;  // folded; empty when the run has no log file of its own
    bool active_ = false;
    bool created_ = false;
    std::vector<Name> names_;
};

}  // namespace zs::bootstrap
