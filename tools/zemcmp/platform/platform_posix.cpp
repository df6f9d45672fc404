// The media tool's platform pieces on POSIX systems: file descriptors, mkstemp, rename, isatty, threads, and
// a thread that waits for the interrupting signals.
#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <sched.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/platform.h"

#include "text/ansi_text.h"

namespace zs::zemcmp {
namespace {

// The temporary outputs that an interrupt must remove. The interrupting signals are blocked in every thread
// and taken by one thread of their own, which removes the files under the same lock that guards their
// creation and renaming: no file can come into being, or be renamed into place, while it does so.
struct InterruptCleanup {
    std::mutex lock;
    std::vector<std::string> paths;
    std::vector<std::string> trees;  // directories removed with everything in them
};

InterruptCleanup& Cleanup() {
    static InterruptCleanup cleanup;  // created by InstallInterruptCleanup, before any other thread
    return cleanup;
}

// Called with the lock held.
void Disarm(const std::string& path, std::vector<std::string>& paths = Cleanup().paths) {
    auto found = std::find(paths.begin(), paths.end(), path);
    if (found != paths.end()) paths.erase(found);
}

// Removes a directory and everything in it; a symbolic link is removed, never followed. False when something
// stays.
bool RemoveTreeNow(const std::string& path) {
    DIR* stream = ::opendir(path.c_str());
    if (stream == nullptr) return false;
    bool removed = true;
    while (const dirent* entry = ::readdir(stream)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        const std::string inner = path + "/" + name;
        struct stat st;
        if (::lstat(inner.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
            removed = RemoveTreeNow(inner) && removed;
        } else {
            removed = ::unlink(inner.c_str()) == 0 && removed;
        }
    }
    ::closedir(stream);
    return ::rmdir(path.c_str()) == 0 && removed;
}

sigset_t InterruptSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
        // A signal that the parent made us ignore (a background job) stays ignored.
        struct sigaction previous {};
        if (sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) continue;
        sigaddset(&signals, signal);
    }
    return signals;
}

void* WaitForInterrupt(void* argument) {
    sigset_t signals = *static_cast<sigset_t*>(argument);
    int signal = 0;
    while (sigwait(&signals, &signal) != 0) {
    }
    InterruptCleanup& cleanup = Cleanup();
    cleanup.lock.lock();  // held until the end: nothing new is created or renamed from here on
    for (const std::string& path : cleanup.paths) ::unlink(path.c_str());
    for (const std::string& tree : cleanup.trees) RemoveTreeNow(tree);
    // End the way the signal would have ended the process, so that the caller sees it.
    std::signal(signal, SIG_DFL);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    std::raise(signal);
    std::_Exit(128 + signal);
}

// strerror is not safe to call from several threads at once; strerror_r comes in two forms.
[[maybe_unused]] std::string ErrorText(int result, const char* buffer) {
    return result == 0 ? buffer : "error";
}
[[maybe_unused]] std::string ErrorText(const char* text, const char*) {
    return text;
}

std::string SystemError(int code = errno) {
    char buffer[256] = "";
    return ErrorText(strerror_r(code, buffer, sizeof buffer), buffer);
}

// The permissions a newly created file gets from the process's umask (mkstemp makes its files private). The
// umask can be read only by changing it, which must not race with other threads: it is read once, at start.
mode_t g_newFileMode = 0644;
mode_t g_newDirectoryMode = 0755;

void ReadNewFileMode() {
    mode_t mask = ::umask(0);
    ::umask(mask);
    g_newFileMode = 0666 & ~mask;
    g_newDirectoryMode = 0777 & ~mask;
}

// The directory a path names its last component in ("." for a bare name).
std::string ParentOf(const std::string& path) {
    size_t end = path.find_last_not_of('/');
    if (end == std::string::npos) return "/";
    size_t slash = path.rfind('/', end);
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Copies at most `limit` + 1 bytes: one more than the limit is enough to know that the input is too large.
SpoolResult CopyAtMost(int from, int to, uint64_t limit, std::string* error) {
    std::vector<char> buffer(65536);
    uint64_t copied = 0;
    for (;;) {
        ssize_t got = ::read(from, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            *error = "cannot read: " + SystemError();
            return SpoolResult::kFailed;
        }
        if (got == 0) return SpoolResult::kOk;
        copied += static_cast<uint64_t>(got);
        if (copied > limit) return SpoolResult::kTooLarge;
        for (ssize_t done = 0; done < got;) {
            ssize_t put = ::write(to, buffer.data() + done, static_cast<size_t>(got - done));
            if (put < 0 && errno == EINTR) continue;
            if (put < 0) {
                *error = "cannot write a temporary copy: " + SystemError();
                return SpoolResult::kFailed;
            }
            done += put;
        }
    }
}

// A new file from a mkstemp pattern, made known to the interrupt clean-up (unless `anonymous`: then it is
// unlinked at once) before an interrupt can be handled.
int CreateFromPattern(std::string* pattern, bool anonymous) {
    std::lock_guard<std::mutex> guard(Cleanup().lock);
    int fd = ::mkstemp(pattern->data());
    if (fd < 0) return fd;
    if (anonymous) {
        ::unlink(pattern->c_str());
    } else {
        Cleanup().paths.push_back(*pattern);
    }
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    return fd;
}

}  // namespace

bool OpenFile::Close() {
    if (handle_ == kNone) return true;
    bool ok = !owned_ || ::close(handle_) == 0;
    handle_ = kNone;
    return ok;
}

PathKind QueryPath(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return PathKind::kMissing;
    if (S_ISDIR(st.st_mode)) return PathKind::kDirectory;
    if (S_ISREG(st.st_mode)) return PathKind::kFile;
    return PathKind::kOther;
}

bool IsSymbolicLink(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool IsPathSeparator(char c) {
    return c == '/';
}

char PreferredSeparator() {
    return '/';
}

bool FileNamesIgnoreCase() {
    return false;
}

bool ListDirectory(const std::string& directory, std::vector<DirectoryEntry>* entries, std::string* error) {
    DIR* stream = ::opendir(directory.c_str());
    if (stream == nullptr) {
        *error = "cannot read the directory: " + SystemError();
        return false;
    }
    std::string prefix = directory.empty() || directory.back() == '/' ? directory : directory + "/";
    entries->clear();
    errno = 0;
    while (const dirent* entry = ::readdir(stream)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..") entries->push_back({name, QueryPath(prefix + name)});
        errno = 0;
    }
    int readErrno = errno;
    ::closedir(stream);
    if (readErrno != 0) {
        *error = "cannot read the directory: " + SystemError(readErrno);
        return false;
    }
    return true;
}

bool OpenForReading(const std::string& path, OpenFile* file, std::string* error) {
    // Opened without waiting: opening a FIFO waits for a writer (for ever, when none comes), and so may a
    // device. Only a regular file is read on; its reads then wait as usual.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        *error = "cannot open: " + SystemError();
        return false;
    }
    OpenFile opened(fd, true);
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        *error = "cannot open: " + SystemError();
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        *error = "is a directory";
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        *error =
            std::string("is not a regular file but ") +
            (S_ISFIFO(st.st_mode) ? "a FIFO" : "a device or socket") +
            ", whose size cannot be known before it is read (a stream can be given on standard input, as -)";
        return false;
    }
    int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        *error = "cannot open: " + SystemError();
        return false;
    }
    *file = std::move(opened);
    return true;
}

bool GetFileSize64(const OpenFile& file, uint64_t* size, std::string* error) {
    struct stat st;
    if (::fstat(file.handle(), &st) != 0) {
        *error = "cannot tell the file's size: " + SystemError();
        return false;
    }
    *size = static_cast<uint64_t>(st.st_size);
    return true;
}

bool IdentifyFile(const OpenFile& file, FileIdentity* identity) {
    struct stat st;
    if (::fstat(file.handle(), &st) != 0) return false;
    *identity = {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
    return true;
}

bool IdentifyPath(const std::string& path, FileIdentity* identity) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return false;
    *identity = {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
    return true;
}

bool RewindFile(const OpenFile& file, std::string* error) {
    if (::lseek(file.handle(), 0, SEEK_SET) == 0) return true;
    *error = "cannot go back to the start of the file: " + SystemError();
    return false;
}

bool SeekFile(const OpenFile& file, uint64_t offset, std::string* error) {
    if (::lseek(file.handle(), static_cast<off_t>(offset), SEEK_SET) == static_cast<off_t>(offset))
        return true;
    *error = "cannot go to offset " + std::to_string(offset) + " of the file: " + SystemError();
    return false;
}

bool OpenAnonymousTempFile(OpenFile* file, std::string* error) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/zemcmp-XXXXXX";
    int fd = CreateFromPattern(&pattern, true);  // anonymous: nothing to clean up, whatever happens
    if (fd < 0) {
        *error = "cannot create a temporary file: " + SystemError();
        return false;
    }
    *file = OpenFile(fd, true);
    return true;
}

SpoolResult SpoolStandardInput(uint64_t limit, OpenFile* file, std::string* error) {
    OpenFile spool;
    if (!OpenAnonymousTempFile(&spool, error)) {
        *error += " for standard input";
        return SpoolResult::kFailed;
    }
    SpoolResult result = CopyAtMost(STDIN_FILENO, spool.handle(), limit, error);
    if (result != SpoolResult::kOk) return result;  // the copy goes with `spool`
    if (!RewindFile(spool, error)) return SpoolResult::kFailed;
    *file = std::move(spool);
    return SpoolResult::kOk;
}

OpenFile StandardOutput() {
    return OpenFile(STDOUT_FILENO, false);
}

bool OpenNullSink(OpenFile* file, std::string* error) {
    int fd = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        *error = "cannot open /dev/null: " + SystemError();
        return false;
    }
    *file = OpenFile(fd, true);
    return true;
}

bool CreateTempFileIn(const std::string& directory, OpenFile* file, std::string* path, std::string* error) {
    std::string pattern = directory;
    if (!pattern.empty() && pattern.back() != '/') pattern += '/';
    pattern += ".zemcmp-XXXXXX";
    int fd = CreateFromPattern(&pattern, false);
    if (fd < 0) {
        *error = "cannot create a temporary file in " + (directory.empty() ? std::string(".") : directory) +
                 ": " + SystemError();
        return false;
    }
    ::fchmod(fd, g_newFileMode);
    *file = OpenFile(fd, true);
    *path = pattern;
    return true;
}

bool CommitTempFile(const std::string& tempPath, const std::string& target, bool replace,
                    std::string* error) {
    std::lock_guard<std::mutex> guard(Cleanup().lock);
    // lstat, not stat: a dangling symbolic link exists too.
    struct stat st;
    if (!replace && ::lstat(target.c_str(), &st) == 0) {
        *error = "already exists (use -f to replace it)";
        return false;
    }
    if (::rename(tempPath.c_str(), target.c_str()) != 0) {
        *error = "cannot rename the finished temporary file to this name: " + SystemError();
        return false;
    }
    Disarm(tempPath);
    return true;
}

void DiscardTempFile(const std::string& tempPath) {
    std::lock_guard<std::mutex> guard(Cleanup().lock);
    ::unlink(tempPath.c_str());
    Disarm(tempPath);
}

bool MakeDirectory(const std::string& path, std::string* error) {
    if (::mkdir(path.c_str(), 0777) == 0) return true;
    *error = "cannot create the directory " + path + ": " + SystemError();
    return false;
}

bool CreateTempDirectoryIn(const std::string& parent, const std::string& prefix, std::string* path,
                           std::string* error) {
    std::string pattern = parent;
    if (!pattern.empty() && pattern.back() != '/') pattern += '/';
    pattern += prefix + "XXXXXX";
    std::lock_guard<std::mutex> guard(Cleanup().lock);
    if (::mkdtemp(pattern.data()) == nullptr) {
        *error = "cannot create a temporary directory in " + (parent.empty() ? std::string(".") : parent) +
                 ": " + SystemError();
        return false;
    }
    ::chmod(pattern.c_str(), g_newDirectoryMode);  // mkdtemp makes it private
    Cleanup().trees.push_back(pattern);
    *path = pattern;
    return true;
}

bool ReplaceDirectory(const std::string& built, const std::string& target, std::string* error) {
    std::string aside;
    struct stat st;
    const bool targetExists = ::lstat(target.c_str(), &st) == 0;
    if (targetExists && !CreateTempDirectoryIn(ParentOf(target), ".zemcmp-old-", &aside, error)) return false;
    {
        // The previous directory goes aside (over the empty one just made) and the new one takes its name; an
        // interrupt waits for the lock, so it finds both renamed or neither. Until it is removed, the
        // previous directory is what an interrupt removes.
        std::lock_guard<std::mutex> guard(Cleanup().lock);
        if (targetExists && ::rename(target.c_str(), aside.c_str()) != 0) {
            *error = "cannot move " + target + " aside: " + SystemError();
            ::rmdir(aside.c_str());
            Disarm(aside, Cleanup().trees);
            return false;
        }
        if (::rename(built.c_str(), target.c_str()) != 0) {
            *error = "cannot rename the finished directory to " + target + ": " + SystemError();
            if (targetExists) ::rename(aside.c_str(), target.c_str());
            ::rmdir(aside.c_str());
            Disarm(aside, Cleanup().trees);
            return false;
        }
        Disarm(built, Cleanup().trees);
    }
    if (targetExists) RemoveTree(aside);
    return true;
}

bool RemoveTree(const std::string& path) {
    std::lock_guard<std::mutex> guard(Cleanup().lock);
    bool removed = RemoveTreeNow(path);
    Disarm(path, Cleanup().trees);
    return removed;
}

bool CopyModificationTime(const std::string& from, const std::string& to) {
    struct stat st;
    if (::stat(from.c_str(), &st) != 0) return false;
    const struct timespec times[2] = {st.st_mtim, st.st_mtim};
    return ::utimensat(AT_FDCWD, to.c_str(), times, 0) == 0;
}

std::string ProgramPath() {
    char path[4096];
    ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, static_cast<size_t>(length)) : std::string();
}

void InstallInterruptCleanup() {
    ReadNewFileMode();
    Cleanup();
    static sigset_t signals = InterruptSignals();
    // Blocked here, so in every thread started later; taken by the waiting thread alone.
    sigset_t previous;
    if (pthread_sigmask(SIG_BLOCK, &signals, &previous) != 0) return;
    pthread_t waiter;
    if (pthread_create(&waiter, nullptr, WaitForInterrupt, &signals) != 0) {
        pthread_sigmask(SIG_SETMASK, &previous, nullptr);  // no clean-up then, but interrupts still work
        return;
    }
    pthread_detach(waiter);
}

bool StandardErrorIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

std::string WindowsPathOfDirectory(const std::string& directory) {
    char* resolved = ::realpath(directory.c_str(), nullptr);
    std::string path = resolved != nullptr ? resolved : directory;
    std::free(resolved);
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    while (path.size() > 1 && path.back() == '\\') path.pop_back();
    return "Z:" + path;
}

std::string LocalFileName(const std::string& ansiName) {
    return Utf8FromAnsi(ansiName);
}

int ProcessorCount() {
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0) {
        int count = CPU_COUNT(&set);
        if (count > 0) return count;
    }
    long online = ::sysconf(_SC_NPROCESSORS_ONLN);
    return online > 0 ? static_cast<int>(online) : 1;
}

// Threads and their synchronisation: the standard library's, which this platform's compilers provide.

namespace {

struct ThreadStart {
    void (*body)(void*);
    void* argument;
};

void* RunThread(void* start) {
    ThreadStart copy = *static_cast<ThreadStart*>(start);
    delete static_cast<ThreadStart*>(start);
    copy.body(copy.argument);
    return nullptr;
}

struct NativeSemaphore {
    std::mutex lock;
    std::condition_variable changed;
    long count = 0;
};

}  // namespace

bool Thread::Start(void (*body)(void*), void* argument) {
    Join();
    auto* start = new ThreadStart{body, argument};
    auto* thread = new pthread_t;
    if (pthread_create(thread, nullptr, RunThread, start) != 0) {
        delete start;
        delete thread;
        return false;
    }
    native_ = thread;
    return true;
}

void Thread::Join() {
    if (native_ == nullptr) return;
    auto* thread = static_cast<pthread_t*>(native_);
    pthread_join(*thread, nullptr);
    delete thread;
    native_ = nullptr;
}

Mutex::Mutex() : native_(new std::mutex) {}
Mutex::~Mutex() {
    delete static_cast<std::mutex*>(native_);
}
void Mutex::Lock() {
    static_cast<std::mutex*>(native_)->lock();
}
void Mutex::Unlock() {
    static_cast<std::mutex*>(native_)->unlock();
}

Semaphore::Semaphore() : native_(new NativeSemaphore) {}
Semaphore::~Semaphore() {
    delete static_cast<NativeSemaphore*>(native_);
}
void Semaphore::Post() {
    auto& s = *static_cast<NativeSemaphore*>(native_);
    {
        std::lock_guard<std::mutex> guard(s.lock);
        ++s.count;
    }
    s.changed.notify_one();
}
bool Semaphore::Wait(int milliseconds) {
    auto& s = *static_cast<NativeSemaphore*>(native_);
    std::unique_lock<std::mutex> guard(s.lock);
    auto available = [&s] { return s.count > 0; };
    if (milliseconds < 0) {
        s.changed.wait(guard, available);
    } else if (!s.changed.wait_for(guard, std::chrono::milliseconds(milliseconds), available)) {
        return false;
    }
    --s.count;
    return true;
}

}  // namespace zs::zemcmp
