// The media tool's platform pieces on Windows: CreateFileA handles (cast to int for the codec), MoveFileExA,
// console detection, the console control handler, threads and their synchronisation.
#include <windows.h>
#include <process.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/platform.h"

namespace zs::zemcmp {
namespace {

// The status a process ends with when Ctrl-C interrupted it (128 + SIGINT, as shells report it).
constexpr UINT kInterruptedStatus = 130;

HANDLE ToHandle(int handle) {
    return reinterpret_cast<HANDLE>(static_cast<intptr_t>(handle));
}
int ToInt(HANDLE handle) {
    return static_cast<int>(reinterpret_cast<intptr_t>(handle));
}

// The temporary outputs that the control handler (which runs on a thread of its own) must remove. The lock
// keeps the handler out while a temporary file comes into being, is renamed or is removed.
CRITICAL_SECTION g_interruptLock;
bool g_interruptLockReady = false;
std::vector<std::string>* g_interruptPaths = nullptr;  // made by InstallInterruptCleanup
std::vector<std::string>* g_interruptTrees = nullptr;  // directories removed with everything in them

class InterruptLock {
  public:
    InterruptLock() {
        if (g_interruptLockReady) EnterCriticalSection(&g_interruptLock);
    }
    ~InterruptLock() {
        if (g_interruptLockReady) LeaveCriticalSection(&g_interruptLock);
    }
    InterruptLock(const InterruptLock&) = delete;
    InterruptLock& operator=(const InterruptLock&) = delete;
};

// Called with the lock held.
void ArmInterruptCleanup(const std::string& path) {
    if (g_interruptPaths != nullptr) g_interruptPaths->push_back(path);
}
void DisarmInterruptCleanup(const std::string& path, std::vector<std::string>* paths = g_interruptPaths) {
    if (paths == nullptr) return;
    auto found = std::find(paths->begin(), paths->end(), path);
    if (found != paths->end()) paths->erase(found);
}

// Removes a directory and everything in it; a reparse point (a link) is removed, never followed. False when
// something stays (a file still open is deleted only when its last handle closes).
bool RemoveTreeNow(const std::string& path) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    bool removed = true;
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            const std::string inner = path + "\\" + name;
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
                removed = RemoveTreeNow(inner) && removed;
            } else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removed = RemoveDirectoryA(inner.c_str()) && removed;
            } else {
                SetFileAttributesA(inner.c_str(), FILE_ATTRIBUTE_NORMAL);
                removed = DeleteFileA(inner.c_str()) && removed;
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    return RemoveDirectoryA(path.c_str()) && removed;
}

BOOL WINAPI OnConsoleControl(DWORD) {
    // The temporary files are open with FILE_SHARE_DELETE: the deletion takes effect when the process ends
    // and its handles close. Ending at once, lock held, keeps the other threads from touching the files any
    // further.
    EnterCriticalSection(&g_interruptLock);
    for (const std::string& path : *g_interruptPaths) DeleteFileA(path.c_str());
    for (const std::string& tree : *g_interruptTrees) RemoveTreeNow(tree);
    TerminateProcess(GetCurrentProcess(), kInterruptedStatus);
    return TRUE;
}

std::string SystemError(DWORD code = GetLastError()) {
    char text[512];
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                                  0, text, sizeof text, nullptr);
    while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n' || text[length - 1] == '.' ||
                          text[length - 1] == ' ')) {
        --length;
    }
    if (length == 0) return "system error " + std::to_string(code);
    return std::string(text, length);
}

// A name in `directory` that no file has yet, created with CREATE_NEW so that two runs never share one.
HANDLE CreateUniqueFile(const std::string& directory, DWORD flags, std::string* path) {
    static std::atomic<unsigned> counter{0};
    std::string prefix = directory;
    if (!prefix.empty() && !IsPathSeparator(prefix.back())) prefix += '\\';
    for (int attempt = 0; attempt < 1000; ++attempt) {
        char name[64];
        std::snprintf(name, sizeof name, "~zem%lx-%u.tmp", static_cast<unsigned long>(GetCurrentProcessId()),
                      counter++);
        std::string candidate = prefix + name;
        HANDLE handle = CreateFileA(candidate.c_str(), GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW, flags, nullptr);
        if (handle != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) {
            *path = candidate;
            return handle;
        }
    }
    SetLastError(ERROR_FILE_EXISTS);
    return INVALID_HANDLE_VALUE;
}

bool IdentifyHandle(HANDLE handle, FileIdentity* identity) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(handle, &info)) return false;
    *identity = {info.dwVolumeSerialNumber,
                 (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
    return true;
}

}  // namespace

bool OpenFile::Close() {
    if (handle_ == kNone) return true;
    bool ok = !owned_ || CloseHandle(ToHandle(handle_)) != 0;
    handle_ = kNone;
    return ok;
}

PathKind QueryPath(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return PathKind::kMissing;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return PathKind::kDirectory;
    if (attributes & FILE_ATTRIBUTE_DEVICE) return PathKind::kOther;
    return PathKind::kFile;
}

bool IsSymbolicLink(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool IsPathSeparator(char c) {
    return c == '\\' || c == '/' || c == ':';
}

bool FileNamesIgnoreCase() {
    return true;
}

char PreferredSeparator() {
    return '\\';
}

bool ListDirectory(const std::string& directory, std::vector<DirectoryEntry>* entries, std::string* error) {
    std::string pattern = directory;
    if (!pattern.empty() && !IsPathSeparator(pattern.back())) pattern += '\\';
    pattern += '*';
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        *error = "cannot read the directory: " + SystemError();
        return false;
    }
    entries->clear();
    do {
        std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        PathKind kind = PathKind::kFile;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) kind = PathKind::kDirectory;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DEVICE) kind = PathKind::kOther;
        entries->push_back({name, kind});
    } while (FindNextFileA(search, &found));
    DWORD lastError = GetLastError();
    FindClose(search);
    if (lastError != ERROR_NO_MORE_FILES) {
        *error = "cannot read the directory: " + SystemError(lastError);
        return false;
    }
    return true;
}

bool OpenForReading(const std::string& path, OpenFile* file, std::string* error) {
    if (QueryPath(path) == PathKind::kDirectory) {
        *error = "is a directory";
        return false;
    }
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        *error = "cannot open: " + SystemError();
        return false;
    }
    OpenFile opened(ToInt(handle), true);
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        *error = "is not a regular file";
        return false;
    }
    *file = std::move(opened);
    return true;
}

bool GetFileSize64(const OpenFile& file, uint64_t* size, std::string* error) {
    DWORD high = 0;
    DWORD low = GetFileSize(ToHandle(file.handle()), &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) {
        *error = "cannot tell the file's size: " + SystemError();
        return false;
    }
    *size = (static_cast<uint64_t>(high) << 32) | low;
    return true;
}

bool IdentifyFile(const OpenFile& file, FileIdentity* identity) {
    return IdentifyHandle(ToHandle(file.handle()), identity);
}

bool IdentifyPath(const std::string& path, FileIdentity* identity) {
    // No access rights needed to read a file's identity; FILE_FLAG_BACKUP_SEMANTICS lets directories open.
    HANDLE handle = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    bool known = IdentifyHandle(handle, identity);
    CloseHandle(handle);
    return known;
}

bool RewindFile(const OpenFile& file, std::string* error) {
    if (SetFilePointer(ToHandle(file.handle()), 0, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER)
        return true;
    *error = "cannot go back to the start of the file: " + SystemError();
    return false;
}

bool SeekFile(const OpenFile& file, uint64_t offset, std::string* error) {
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(offset);
    if (SetFilePointerEx(ToHandle(file.handle()), to, nullptr, FILE_BEGIN)) return true;
    *error = "cannot go to offset " + std::to_string(offset) + " of the file: " + SystemError();
    return false;
}

bool OpenAnonymousTempFile(OpenFile* file, std::string* error) {
    char directory[MAX_PATH + 1];
    DWORD length = GetTempPathA(sizeof directory, directory);
    if (length == 0 || length > MAX_PATH) std::strcpy(directory, ".");
    std::string path;
    // Deleted when closed, which also happens when the process ends in any way.
    HANDLE handle = CreateUniqueFile(directory, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, &path);
    if (handle == INVALID_HANDLE_VALUE) {
        *error = "cannot create a temporary file: " + SystemError();
        return false;
    }
    *file = OpenFile(ToInt(handle), true);
    return true;
}

SpoolResult SpoolStandardInput(uint64_t limit, OpenFile* file, std::string* error) {
    OpenFile spool;
    if (!OpenAnonymousTempFile(&spool, error)) {
        *error += " for standard input";
        return SpoolResult::kFailed;
    }
    HANDLE handle = ToHandle(spool.handle());
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    std::vector<char> buffer(65536);
    uint64_t copied = 0;
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(input, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) {
            DWORD code = GetLastError();
            if (code == ERROR_BROKEN_PIPE || code == ERROR_HANDLE_EOF) break;  // the writer has finished
            *error = "cannot read: " + SystemError(code);
            return SpoolResult::kFailed;
        }
        if (got == 0) break;
        copied += got;
        if (copied > limit) return SpoolResult::kTooLarge;
        DWORD put = 0;
        if (!WriteFile(handle, buffer.data(), got, &put, nullptr) || put != got) {
            *error = "cannot write a temporary copy: " + SystemError();
            return SpoolResult::kFailed;
        }
    }
    if (!RewindFile(spool, error)) return SpoolResult::kFailed;
    *file = std::move(spool);
    return SpoolResult::kOk;
}

OpenFile StandardOutput() {
    return OpenFile(ToInt(GetStdHandle(STD_OUTPUT_HANDLE)), false);
}

bool OpenNullSink(OpenFile* file, std::string* error) {
    HANDLE handle = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        *error = "cannot open NUL: " + SystemError();
        return false;
    }
    *file = OpenFile(ToInt(handle), true);
    return true;
}

bool CreateTempFileIn(const std::string& directory, OpenFile* file, std::string* path, std::string* error) {
    std::string created;
    InterruptLock lock;
    HANDLE handle = CreateUniqueFile(directory, FILE_ATTRIBUTE_NORMAL, &created);
    if (handle == INVALID_HANDLE_VALUE) {
        *error = "cannot create a temporary file in " + (directory.empty() ? std::string(".") : directory) +
                 ": " + SystemError();
        return false;
    }
    ArmInterruptCleanup(created);
    *file = OpenFile(ToInt(handle), true);
    *path = created;
    return true;
}

bool CommitTempFile(const std::string& tempPath, const std::string& target, bool replace,
                    std::string* error) {
    // Without MOVEFILE_REPLACE_EXISTING the move itself refuses an existing target.
    DWORD flags = replace ? MOVEFILE_REPLACE_EXISTING : 0;
    InterruptLock lock;
    if (!MoveFileExA(tempPath.c_str(), target.c_str(), flags)) {
        DWORD code = GetLastError();
        *error = !replace && (code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS)
                     ? "already exists (use -f to replace it)"
                     : "cannot rename the finished temporary file to this name: " + SystemError(code);
        return false;
    }
    DisarmInterruptCleanup(tempPath);
    return true;
}

void DiscardTempFile(const std::string& tempPath) {
    InterruptLock lock;
    DeleteFileA(tempPath.c_str());
    DisarmInterruptCleanup(tempPath);
}

bool MakeDirectory(const std::string& path, std::string* error) {
    if (CreateDirectoryA(path.c_str(), nullptr)) return true;
    *error = "cannot create the directory " + path + ": " + SystemError();
    return false;
}

bool CreateTempDirectoryIn(const std::string& parent, const std::string& prefix, std::string* path,
                           std::string* error) {
    static std::atomic<unsigned> counter{0};
    std::string base = parent;
    if (!base.empty() && !IsPathSeparator(base.back())) base += '\\';
    InterruptLock lock;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, "%lx-%u", static_cast<unsigned long>(GetCurrentProcessId()),
                      counter++);
        std::string candidate = base + prefix + suffix;
        if (CreateDirectoryA(candidate.c_str(), nullptr)) {
            if (g_interruptTrees != nullptr) g_interruptTrees->push_back(candidate);
            *path = candidate;
            return true;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    *error = "cannot create a temporary directory in " + (parent.empty() ? std::string(".") : parent) + ": " +
             SystemError();
    return false;
}

bool ReplaceDirectory(const std::string& built, const std::string& target, std::string* error) {
    std::string aside;
    const bool targetExists = GetFileAttributesA(target.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (targetExists) {
        size_t slash = target.find_last_of("\\/:", target.find_last_not_of("\\/"));
        std::string parent = slash == std::string::npos ? "." : target.substr(0, slash + 1);
        if (!CreateTempDirectoryIn(parent, ".zemcmp-old-", &aside, error)) return false;
    }
    {
        // The previous directory goes aside and the new one takes its name; the control handler waits for the
        // lock, so it finds both renamed or neither. Until it is removed, the previous directory is what an
        // interrupt removes.
        InterruptLock lock;
        if (targetExists &&
            (!RemoveDirectoryA(aside.c_str()) || !MoveFileExA(target.c_str(), aside.c_str(), 0))) {
            *error = "cannot move " + target + " aside: " + SystemError();
            RemoveDirectoryA(aside.c_str());
            DisarmInterruptCleanup(aside, g_interruptTrees);
            return false;
        }
        if (!MoveFileExA(built.c_str(), target.c_str(), 0)) {
            *error = "cannot rename the finished directory to " + target + ": " + SystemError();
            if (targetExists) MoveFileExA(aside.c_str(), target.c_str(), 0);
            DisarmInterruptCleanup(aside, g_interruptTrees);
            return false;
        }
        DisarmInterruptCleanup(built, g_interruptTrees);
    }
    if (targetExists) RemoveTree(aside);
    return true;
}

bool RemoveTree(const std::string& path) {
    InterruptLock lock;
    bool removed = RemoveTreeNow(path);
    DisarmInterruptCleanup(path, g_interruptTrees);
    return removed;
}

bool CopyModificationTime(const std::string& from, const std::string& to) {
    HANDLE source = CreateFileA(from.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    if (source == INVALID_HANDLE_VALUE) return false;
    FILETIME written;
    bool known = GetFileTime(source, nullptr, nullptr, &written);
    CloseHandle(source);
    if (!known) return false;
    HANDLE target =
        CreateFileA(to.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (target == INVALID_HANDLE_VALUE) return false;
    bool set = SetFileTime(target, nullptr, nullptr, &written);
    CloseHandle(target);
    return set;
}

std::string ProgramPath() {
    char path[MAX_PATH + 1];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    return length > 0 && length < sizeof path ? std::string(path, length) : std::string();
}

void InstallInterruptCleanup() {
    InitializeCriticalSection(&g_interruptLock);
    g_interruptPaths = new std::vector<std::string>;
    g_interruptTrees = new std::vector<std::string>;
    g_interruptLockReady = true;
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

bool StandardErrorIsTerminal() {
    DWORD mode;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

std::string WindowsPathOfDirectory(const std::string& directory) {
    char full[MAX_PATH] = {};
    DWORD length = GetFullPathNameA(directory.c_str(), sizeof full, full, nullptr);
    std::string path = length > 0 && length < sizeof full ? std::string(full, length) : directory;
    while (path.size() > 3 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
    return path;
}

std::string LocalFileName(const std::string& ansiName) {
    return ansiName;
}

int ProcessorCount() {
    DWORD_PTR process = 0, system = 0;
    if (GetProcessAffinityMask(GetCurrentProcess(), &process, &system) && process != 0) {
        int count = 0;
        for (; process != 0; process &= process - 1) ++count;
        return count;
    }
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return info.dwNumberOfProcessors > 0 ? static_cast<int>(info.dwNumberOfProcessors) : 1;
}

// Threads through the C runtime's _beginthreadex, so that the runtime's per-thread data is set up; a lock as
// a critical section; a semaphore as the kernel's.

namespace {

struct ThreadStart {
    void (*body)(void*);
    void* argument;
};

unsigned __stdcall RunThread(void* start) {
    ThreadStart copy = *static_cast<ThreadStart*>(start);
    delete static_cast<ThreadStart*>(start);
    copy.body(copy.argument);
    return 0;
}

}  // namespace

bool Thread::Start(void (*body)(void*), void* argument) {
    Join();
    auto* start = new ThreadStart{body, argument};
    uintptr_t handle = _beginthreadex(nullptr, 0, RunThread, start, 0, nullptr);
    if (handle == 0) {
        delete start;
        return false;
    }
    native_ = reinterpret_cast<void*>(handle);
    return true;
}

void Thread::Join() {
    if (native_ == nullptr) return;
    WaitForSingleObject(static_cast<HANDLE>(native_), INFINITE);
    CloseHandle(static_cast<HANDLE>(native_));
    native_ = nullptr;
}

Mutex::Mutex() : native_(new CRITICAL_SECTION) {
    InitializeCriticalSection(static_cast<CRITICAL_SECTION*>(native_));
}
Mutex::~Mutex() {
    DeleteCriticalSection(static_cast<CRITICAL_SECTION*>(native_));
    delete static_cast<CRITICAL_SECTION*>(native_);
}
void Mutex::Lock() {
    EnterCriticalSection(static_cast<CRITICAL_SECTION*>(native_));
}
void Mutex::Unlock() {
    LeaveCriticalSection(static_cast<CRITICAL_SECTION*>(native_));
}

Semaphore::Semaphore() : native_(CreateSemaphoreA(nullptr, 0, LONG_MAX, nullptr)) {}
Semaphore::~Semaphore() {
    if (native_ != nullptr) CloseHandle(static_cast<HANDLE>(native_));
}
void Semaphore::Post() {
    ReleaseSemaphore(static_cast<HANDLE>(native_), 1, nullptr);
}
bool Semaphore::Wait(int milliseconds) {
    DWORD timeout = milliseconds < 0 ? INFINITE : static_cast<DWORD>(milliseconds);
    return WaitForSingleObject(static_cast<HANDLE>(native_), timeout) == WAIT_OBJECT_0;
}

}  // namespace zs::zemcmp
