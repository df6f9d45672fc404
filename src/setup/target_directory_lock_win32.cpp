#include "setup/target_directory_lock_win32.h"

#include <windows.h>

#include <cstdint>

#include "setup/target_directory_win32.h"

namespace zs::bootstrap {
namespace {

constexpr char kLockNamePrefix[] = "Global\\ZemSetupTmpDir-";

std::string LockName(const std::string& directory) {
    uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : FoldedFileName(directory)) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    std::string name = kLockNamePrefix;
    for (int shift = 60; shift >= 0; shift -= 4) name += "0123456789ABCDEF"[(hash >> shift) & 0xF];
    return name;
}

}  // namespace

DirectoryLock TargetDirectoryLock::Take(const std::string& directory) {
    Release();
    // Not inheritable: the main module must not keep the directory locked after setup.exe has ended.
    HANDLE mutex = CreateMutexA(nullptr, FALSE, LockName(directory).c_str());
    const DWORD error = GetLastError();
    if (mutex && error != ERROR_ALREADY_EXISTS) {
        mutex_ = mutex;
        return DirectoryLock::kTaken;
    }
    if (mutex) CloseHandle(mutex);
    // A mutex that another account made (a run with other rights) refuses to be opened: it exists all the
    // same.
    return mutex || error == ERROR_ACCESS_DENIED ? DirectoryLock::kInUse : DirectoryLock::kFailed;
}

void TargetDirectoryLock::Release() {
    if (mutex_) CloseHandle(static_cast<HANDLE>(mutex_));
    mutex_ = nullptr;
}

}  // namespace zs::bootstrap
