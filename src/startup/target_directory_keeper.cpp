#include "startup/target_directory_keeper.h"

#include "startup/file_name_rules.h"

namespace zs::bootstrap {
namespace {

constexpr char kSetAsideMark[] = ".setup-saved-";
// The set-aside name tries "-2" up to this; the check makes room for the longest.
constexpr int kSetAsideAttempts = 100;

std::string WithoutBackslash(const std::string& directory) {
    return directory.substr(0, directory.size() - 1);
}

}  // namespace

std::string LeftBehindText(const LeftBehind& left) {
    switch (left.kind) {
        case LeftBehind::kSetAside:
            return left.path + " is set aside as " + left.setAsidePath;
        case LeftBehind::kStagedFile:
            return left.path + " (a start-up file) could not be deleted";
        case LeftBehind::kDirectory:
            return left.path + " could not be removed";
    }
    return left.path;
}

void TargetDirectoryKeeper::TakeOver(const std::string& directory, bool created,
                                     const std::string& keptFile) {
    directory_ = directory;
    created_ = created;
    keptFile_ = keptFile.empty() ? std::string() : files_.Folded(keptFile);
    active_ = true;
    names_.clear();
    if (created_) return;
    for (const DirectoryEntry& entry : files_.List(directory_)) {
        Name name;
        name.folded = files_.Folded(entry.name);
        name.path = directory_ + entry.name;
        name.found = true;
        name.directory = entry.directory;
        names_.push_back(std::move(name));
    }
}

TargetDirectoryKeeper::Name* TargetDirectoryKeeper::Find(const std::string& folded) {
    for (Name& name : names_) {
        if (name.folded == folded) return &name;
    }
    return nullptr;
}

std::string TargetDirectoryKeeper::AsidePath(const std::string& original, int attempt) {
    std::string aside = original + kSetAsideMark + std::to_string(files_.ProcessId());
    if (attempt > 1) aside += "-" + std::to_string(attempt);
    return aside;
}

StagingObstacle TargetDirectoryKeeper::Check(const std::vector<std::string>& fileNames) {
    for (const std::string& fileName : fileNames) {
        const std::string path = directory_ + std::string(WithoutTrailingDotsAndBlanks(fileName));
        if (!keptFile_.empty() && files_.Folded(path) == keptFile_) return {StagingObstacle::kLogFile, path};
        const Name* name = Find(files_.Folded(fileName));
        // A directory in the way is never moved: creating the file fails by itself.
        if (!name || name->directory) continue;
        if (AsidePath(name->path, kSetAsideAttempts).size() > kMaxPathLength) {
            return {StagingObstacle::kNameTooLong, name->path};
        }
    }
    return {};
}

bool TargetDirectoryKeeper::MakeRoomFor(const std::string& fileName) {
    if (!active_) return true;
    Name* name = Find(files_.Folded(fileName));
    // Nothing of the user's is in the way, or only the run's own copy (a file listed twice), which is
    // replaced.
    if (!name || name->directory || name->staged || !name->aside.empty()) return true;
    for (int attempt = 1; attempt <= kSetAsideAttempts; ++attempt) {
        std::string aside = AsidePath(name->path, attempt);
        // A name that the file functions could not move back is never made.
        if (aside.size() > kMaxPathLength) return false;
        switch (files_.Move(name->path, aside)) {
            case MoveResult::kMoved:
                name->aside = std::move(aside);
                return true;
            case MoveResult::kTargetTaken:
                break;
            case MoveResult::kSourceMissing:
                // Gone since the run looked: nothing is in the way.
                return true;
            case MoveResult::kFailed:
                return false;
        }
    }
    return false;
}

void TargetDirectoryKeeper::NoteStaged(const std::string& fileName) {
    if (!active_ || created_) return;
    std::string folded = files_.Folded(fileName);
    Name* name = Find(folded);
    if (!name) {
        name = &names_.emplace_back();
        name->folded = std::move(folded);
        name->path = directory_ + fileName;
    }
    name->staged = true;
}

std::vector<LeftBehind> TargetDirectoryKeeper::RestoreExisting() {
    for (int pass = 0;; ++pass) {
        bool settled = true;
        for (Name& name : names_) {
            // The run's copy goes first; only then does the user's file come back, never over anything.
            if (name.staged) name.staged = !files_.Delete(name.path);
            if (!name.staged && !name.aside.empty() &&
                files_.Move(name.aside, name.path) == MoveResult::kMoved) {
                name.aside.clear();
            }
            settled = settled && !name.staged && name.aside.empty();
        }
        if (settled || pass == kCleanUpRetries) break;
        files_.Pause(kCleanUpRetryIntervalMs);
    }
    std::vector<LeftBehind> left;
    for (const Name& name : names_) {
        if (!name.aside.empty()) {
            left.push_back({LeftBehind::kSetAside, name.path, name.aside});
        } else if (name.staged) {
            left.push_back({LeftBehind::kStagedFile, name.path, std::string()});
        }
    }
    return left;
}

bool TargetDirectoryKeeper::IsKeptFile(const std::string& path) {
    return !keptFile_.empty() && files_.Folded(path) == keptFile_;
}

bool TargetDirectoryKeeper::HoldsKeptFile(const std::string& directory) {
    if (keptFile_.empty()) return false;
    const std::string folded = files_.Folded(directory) + "\\";
    return keptFile_.compare(0, folded.size(), folded) == 0;
}

// Deletes everything below `directory` (ending in a backslash) but the kept file; true when nothing else is
// left.
bool TargetDirectoryKeeper::EmptyTree(const std::string& directory) {
    bool emptied = true;
    for (const DirectoryEntry& entry : files_.List(directory)) {
        const std::string path = directory + entry.name;
        if (IsKeptFile(path)) continue;
        bool gone;
        if (!entry.directory) {
            gone = files_.Delete(path);
        } else if (entry.link) {
            gone = files_.RemoveEmptyDirectory(path);
        } else {
            gone = EmptyTree(path + "\\") && (HoldsKeptFile(path) || files_.RemoveEmptyDirectory(path));
        }
        emptied = emptied && gone;
    }
    return emptied;
}

std::vector<LeftBehind> TargetDirectoryKeeper::RemoveCreated() {
    const std::string directory = WithoutBackslash(directory_);
    for (int pass = 0;; ++pass) {
        if (EmptyTree(directory_) && (HoldsKeptFile(directory) || files_.RemoveEmptyDirectory(directory))) {
            return {};
        }
        if (pass == kCleanUpRetries) break;
        files_.Pause(kCleanUpRetryIntervalMs);
    }
    return {{LeftBehind::kDirectory, directory, std::string()}};
}

std::vector<LeftBehind> TargetDirectoryKeeper::Restore() {
    if (!active_) return {};
    active_ = false;
    return created_ ? RemoveCreated() : RestoreExisting();
}

}  // namespace zs::bootstrap
