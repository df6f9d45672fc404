#include "bootstrap/target_directory_win32.h"

#include <direct.h>
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "framework/scoped_handle_win32.h"
#include "services/temp_directory_win32.h"

namespace zs::bootstrap {
namespace {

bool IsDotEntry(const char* name) {
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

bool IsDirectory(const WIN32_FIND_DATAA& entry) {
    return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Names compared as the file system compares them: without regard to case, by the system's own folding.
std::string FoldedName(const char* name) {
    std::string folded(name);
    if (!folded.empty()) CharUpperBuffA(folded.data(), static_cast<DWORD>(folded.size()));
    return folded;
}

template <typename Visit>
void ForEachEntry(const std::string& directory, Visit visit) {
    WIN32_FIND_DATAA entry = {};
    ScopedFindHandle search(FindFirstFileA((directory + "*").c_str(), &entry));
    if (!search) return;
    do {
        if (!IsDotEntry(entry.cFileName)) visit(entry);
    } while (FindNextFileA(search.get(), &entry));
}

bool Contains(const std::vector<std::string>& sorted, const std::string& name) {
    return std::binary_search(sorted.begin(), sorted.end(), name);
}

bool DeleteWhateverItsAttributes(const std::string& path) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return DeleteFileA(path.c_str()) != FALSE;
}

}  // namespace

void TargetDirectory::TakeOver(const std::string& directory, bool created) {
    directory_ = directory;
    created_ = created;
    active_ = true;
    namesFound_.clear();
    setAside_.clear();
    if (created_) return;
    ForEachEntry(directory_,
                 [&](const WIN32_FIND_DATAA& entry) { namesFound_.push_back(FoldedName(entry.cFileName)); });
    std::sort(namesFound_.begin(), namesFound_.end());
}

bool TargetDirectory::MakeRoomFor(const std::string& path) {
    if (!active_ || created_) return true;
    // A name with wildcards names no file; creating it fails by itself.
    if (path.find_first_of("*?") != std::string::npos) return true;
    WIN32_FIND_DATAA entry = {};
    // Only the entry is wanted: the search is closed at once.
    if (!ScopedFindHandle(FindFirstFileA(path.c_str(), &entry))) return true;
    // Only files that were there before the run are the user's; a directory in the way makes the creation
    // fail, as it always did.
    if (IsDirectory(entry) || !Contains(namesFound_, FoldedName(entry.cFileName))) return true;

    const std::string original = directory_ + entry.cFileName;
    const std::string base = original + ".setup-saved-" + std::to_string(GetCurrentProcessId());
    for (int attempt = 1; attempt <= 100; ++attempt) {
        std::string aside = attempt == 1 ? base : base + "-" + std::to_string(attempt);
        // MoveFile never replaces an existing file, so a name that is taken is simply not used.
        if (MoveFileA(original.c_str(), aside.c_str())) {
            setAside_.emplace_back(original, aside);
            return true;
        }
        DWORD error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) return false;
    }
    return false;
}

void TargetDirectory::RestorePreExisting() {
    std::vector<std::string> setAsideNames;
    for (const auto& names : setAside_) {
        setAsideNames.push_back(FoldedName(names.second.substr(directory_.size()).c_str()));
    }
    std::sort(setAsideNames.begin(), setAsideNames.end());
    // What appeared during the run is the run's or the main module's; subdirectories are left.
    std::vector<std::string> created;
    ForEachEntry(directory_, [&](const WIN32_FIND_DATAA& entry) {
        std::string folded = FoldedName(entry.cFileName);
        if (!IsDirectory(entry) && !Contains(namesFound_, folded) && !Contains(setAsideNames, folded)) {
            created.push_back(directory_ + entry.cFileName);
        }
    });
    for (const std::string& path : created) DeleteWhateverItsAttributes(path);
    // Whatever stands under a set-aside file's name now is the run's copy (or the main module's).
    for (const auto& [original, aside] : setAside_) {
        DeleteWhateverItsAttributes(original);
        MoveFileA(aside.c_str(), original.c_str());
    }
    setAside_.clear();
    // The process must not stand in the directory it removes.
    _chdir("c:\\");
    // Removing fails by itself unless the directory is empty again. A drive's root keeps its backslash:
    // without it, "D:" would name the drive's current directory, which may be another, empty one.
    std::string path = directory_;
    if (path.size() > 3) path.pop_back();
    if (namesFound_.empty()) RemoveDirectoryA(path.c_str());
}

void TargetDirectory::Restore() {
    if (!active_) return;
    active_ = false;
    if (created_) {
        // Failures are not reported: nothing more can be done about them at the end of the run.
        RemoveTempDirectory(directory_.c_str());
        return;
    }
    RestorePreExisting();
}

}  // namespace zs::bootstrap
