// Everything the media tool needs from the operating system, behind one small interface: one implementation
// file per platform (platform_posix.cpp, platform_win32.cpp). Paths are the platform's narrow (ANSI) paths.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zs::zemcmp {

// An open file in the form the codec takes: a POSIX file descriptor, or a Win32 file handle cast to int.
// Closes the file when it goes out of scope, unless it was borrowed (standard output).
class OpenFile {
  public:
    static constexpr int kNone = -1;  // -1 is also INVALID_HANDLE_VALUE cast to int

    OpenFile() = default;
    OpenFile(int handle, bool owned) : handle_(handle), owned_(owned) {}
    ~OpenFile() { Close(); }
    OpenFile(OpenFile&& other) noexcept : handle_(other.handle_), owned_(other.owned_) {
        other.handle_ = kNone;
    }
    OpenFile& operator=(OpenFile&& other) noexcept {
        if (this != &other) {
            Close();
            handle_ = other.handle_;
            owned_ = other.owned_;
            other.handle_ = kNone;
        }
        return *this;
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    bool IsOpen() const { return handle_ != kNone; }
    int handle() const { return handle_; }
    // False when the system reported an error while closing (data that could not be written out).
    bool Close();

  private:
    int handle_ = kNone;
    bool owned_ = true;
};

// Which file a path or handle names, so that an output never replaces its own input.
struct FileIdentity {
    uint64_t volume = 0;
    uint64_t index = 0;
    bool operator==(const FileIdentity& other) const {
        return volume == other.volume && index == other.index;
    }
};

enum class PathKind { kMissing, kFile, kDirectory, kOther };

PathKind QueryPath(const std::string& path);
// True when the path itself is a symbolic link (or, on Windows, another reparse point), whether or not what
// it points to exists.
bool IsSymbolicLink(const std::string& path);
bool IsPathSeparator(char c);
// True where the system treats names that differ only in case as one name.
bool FileNamesIgnoreCase();
// The separator put between a directory and a name.
char PreferredSeparator();

struct DirectoryEntry {
    std::string name;
    PathKind kind = PathKind::kOther;  // what the name leads to (links followed)
};

// The entries of a directory, without "." and "..", in the order the system gives them. False with the
// problem in *error when the directory cannot be read.
bool ListDirectory(const std::string& directory, std::vector<DirectoryEntry>* entries, std::string* error);

// Opens a regular file for reading. A directory or a device is refused with a message in *error.
bool OpenForReading(const std::string& path, OpenFile* file, std::string* error);
bool GetFileSize64(const OpenFile& file, uint64_t* size, std::string* error);
bool IdentifyFile(const OpenFile& file, FileIdentity* identity);
// False when the path names no file that can be opened.
bool IdentifyPath(const std::string& path, FileIdentity* identity);
bool RewindFile(const OpenFile& file, std::string* error);
bool SeekFile(const OpenFile& file, uint64_t offset, std::string* error);

enum class SpoolResult { kOk, kTooLarge, kFailed };

// Copies standard input into an anonymous temporary file (gone when closed, or when the process ends) and
// returns it positioned at its start. Reading stops as soon as more than `limit` bytes have arrived: then the
// result is kTooLarge and the copy is gone again. kFailed comes with the problem in *error.
SpoolResult SpoolStandardInput(uint64_t limit, OpenFile* file, std::string* error);
// Standard output, borrowed: never closed by the tool.
OpenFile StandardOutput();
// A file that swallows everything written to it.
bool OpenNullSink(OpenFile* file, std::string* error);

// Creates a new, empty file in `directory` for writing, under a name no other file has. Until it is committed
// or discarded, an interrupt (Ctrl-C, a termination request) removes it. Several threads may each have such
// files at once.
bool CreateTempFileIn(const std::string& directory, OpenFile* file, std::string* path, std::string* error);
// Renames the closed temporary file to `target`. Without `replace` an existing target is left alone and the
// commit fails.
bool CommitTempFile(const std::string& tempPath, const std::string& target, bool replace, std::string* error);
// Removes the temporary file (closed by the caller first).
void DiscardTempFile(const std::string& tempPath);

// Creates a directory (its parent must exist).
bool MakeDirectory(const std::string& path, std::string* error);
// Creates a new, empty directory in `parent` named `prefix` and a suffix no other name there has. Until it is
// put in place (ReplaceDirectory) or removed (RemoveTree), an interrupt removes it with everything in it.
bool CreateTempDirectoryIn(const std::string& parent, const std::string& prefix, std::string* path,
                           std::string* error);
// Puts the directory `built` (from CreateTempDirectoryIn, beside `target`) in the place of `target`, which is
// missing or a directory whose contents go: that one is renamed aside and removed once the new one is in
// place, and no interrupt comes between the two renames. False with the problem when it cannot be done; then
// `target` is as it was.
bool ReplaceDirectory(const std::string& built, const std::string& target, std::string* error);
// Removes a directory with everything in it; a symbolic link in it is removed, never followed. False when
// something stays.
bool RemoveTree(const std::string& path);
// Gives `to` the modification time of `from`.
bool CopyModificationTime(const std::string& from, const std::string& to);
// The full path of the running program; empty when the system does not tell it.
std::string ProgramPath();

// Arms the removal of the temporary files on Ctrl-C and termination requests; call once at start, before any
// other thread is started.
void InstallInterruptCleanup();

bool StandardErrorIsTerminal();

// A directory as a Windows program in it sees it: its full path (on a POSIX system "Z:" and the absolute path
// with backslashes, the drive under which Wine shows the root directory), without a trailing separator.
std::string WindowsPathOfDirectory(const std::string& directory);
// The name under which the local system keeps a file that a Windows program names in code page 1252 (on a
// POSIX system the name in UTF-8).
std::string LocalFileName(const std::string& ansiName);
// A new temporary file for reading and writing that is gone when it is closed (or the process ends).
bool OpenAnonymousTempFile(OpenFile* file, std::string* error);

// The number of processors this process may run on, at least 1.
int ProcessorCount();

// Threads, a lock and a counting semaphore, for running files side by side. (std::thread and std::mutex are
// not available with every compiler the tool is built with: MinGW's win32 thread model has neither before
// GCC 13.)
class Thread {
  public:
    Thread() = default;
    ~Thread() { Join(); }
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    // Runs body(argument) on a new thread; false when the system cannot start one.
    bool Start(void (*body)(void* argument), void* argument);
    // Waits for the thread to end (nothing when it was never started).
    void Join();

  private:
    void* native_ = nullptr;
};

class Mutex {
  public:
    Mutex();
    ~Mutex();
    Mutex(const Mutex&) = delete;
    Mutex& operator=(const Mutex&) = delete;
    void Lock();
    void Unlock();

  private:
    void* native_;
};

class MutexLock {
  public:
    explicit MutexLock(Mutex& mutex) : mutex_(mutex) { mutex_.Lock(); }
    ~MutexLock() { mutex_.Unlock(); }
    MutexLock(const MutexLock&) = delete;
    MutexLock& operator=(const MutexLock&) = delete;

  private:
    Mutex& mutex_;
};

class Semaphore {
  public:
    Semaphore();  // count 0
    ~Semaphore();
    Semaphore(const Semaphore&) = delete;
    Semaphore& operator=(const Semaphore&) = delete;
    void Post();
    // Takes one from the count, waiting while it is 0: for ever with a negative `milliseconds`, else at most
    // that long. False when the time passed first.
    bool Wait(int milliseconds = -1);

  private:
    void* native_;
};

}  // namespace zs::zemcmp
