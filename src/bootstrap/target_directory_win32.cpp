#include "bootstrap/target_directory_win32.h"

#include <windows.h>

#include <cstring>

#include "bootstrap/file_name_rules.h"

namespace zs::bootstrap {
namespace {

// A directory search that is closed however the walk ends.
class DirectorySearch {
  public:
    explicit DirectorySearch(const std::string& pattern)
        : handle_(FindFirstFileA(pattern.c_str(), &found_)) {}
    ~DirectorySearch() {
        if (handle_ != INVALID_HANDLE_VALUE) FindClose(handle_);
    }
    DirectorySearch(const DirectorySearch&) = delete;
    DirectorySearch& operator=(const DirectorySearch&) = delete;

    bool Found() const { return handle_ != INVALID_HANDLE_VALUE; }
    const WIN32_FIND_DATAA& Entry() const { return found_; }
    bool Next() { return FindNextFileA(handle_, &found_) != FALSE; }

  private:
    WIN32_FIND_DATAA found_ = {};
    HANDLE handle_;
};

bool IsDotEntry(const char* name) {
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

bool NothingThere(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

}  // namespace

std::string FoldedFileName(const std::string& name) {
    std::string folded(WithoutTrailingDotsAndBlanks(name));
    if (!folded.empty()) CharUpperBuffA(folded.data(), static_cast<DWORD>(folded.size()));
    return folded;
}

std::vector<DirectoryEntry> TargetDirectory::List(const std::string& directory) {
    std::vector<DirectoryEntry> entries;
    DirectorySearch search(directory + "*");
    if (!search.Found()) return entries;
    do {
        const WIN32_FIND_DATAA& found = search.Entry();
        if (IsDotEntry(found.cFileName)) continue;
        entries.push_back({found.cFileName, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                           (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0});
    } while (search.Next());
    return entries;
}

MoveResult TargetDirectory::Move(const std::string& from, const std::string& to) {
    if (MoveFileA(from.c_str(), to.c_str())) return MoveResult::kMoved;
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) return MoveResult::kTargetTaken;
    return NothingThere(error) ? MoveResult::kSourceMissing : MoveResult::kFailed;
}

bool TargetDirectory::Delete(const std::string& path) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return DeleteFileA(path.c_str()) || NothingThere(GetLastError());
}

bool TargetDirectory::RemoveEmptyDirectory(const std::string& path) {
    return RemoveDirectoryA(path.c_str()) || NothingThere(GetLastError());
}

unsigned long TargetDirectory::ProcessId() {
    return GetCurrentProcessId();
}

void TargetDirectory::Pause(unsigned milliseconds) {
    Sleep(milliseconds);
}

}  // namespace zs::bootstrap
