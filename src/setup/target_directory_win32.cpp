#include "setup/target_directory_win32.h"

#include <windows.h>

#include <cstring>

#include "framework/scoped_handle_win32.h"
#include "startup/file_name_rules.h"

namespace zs::bootstrap {
namespace {

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
    WIN32_FIND_DATAA found = {};
    ScopedFindHandle search(FindFirstFileA((directory + "*").c_str(), &found));
    if (!search) return entries;
    do {
        if (IsDotEntry(found.cFileName)) continue;
        entries.push_back({found.cFileName, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                           (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0});
    } while (FindNextFileA(search.get(), &found));
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
