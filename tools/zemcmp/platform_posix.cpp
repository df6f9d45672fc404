// The media tool's platform pieces on POSIX systems: file descriptors, mkstemp, rename, isatty, signals.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include "platform.h"

#include "check/ansi_text.h"

namespace zs::zemcmp {
namespace {

// The temporary output that an interrupt must remove. The handler reads it, so it is a plain buffer and a
// flag that is cleared while the buffer changes.
char g_interruptPath[4096];
volatile sig_atomic_t g_interruptArmed = 0;

void ArmInterruptCleanup(const std::string& path) {
    g_interruptArmed = 0;
    if (path.size() >= sizeof g_interruptPath) return;
    std::memcpy(g_interruptPath, path.c_str(), path.size() + 1);
    g_interruptArmed = 1;
}

void DisarmInterruptCleanup() {
    g_interruptArmed = 0;
}

extern "C" void OnInterrupt(int signal) {
    if (g_interruptArmed) ::unlink(g_interruptPath);
    // End the way the signal would have ended the process, so that the caller sees it.
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

std::string SystemError() {
    return std::strerror(errno);
}

// The permissions a newly created file gets from the process's umask; mkstemp makes its files private.
mode_t NewFileMode() {
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool CopyAll(int from, int to, std::string* error) {
    char buffer[65536];
    for (;;) {
        ssize_t got = ::read(from, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            *error = "cannot read: " + SystemError();
            return false;
        }
        if (got == 0) return true;
        for (ssize_t done = 0; done < got;) {
            ssize_t put = ::write(to, buffer + done, static_cast<size_t>(got - done));
            if (put < 0 && errno == EINTR) continue;
            if (put < 0) {
                *error = "cannot write a temporary copy: " + SystemError();
                return false;
            }
            done += put;
        }
    }
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

bool IsPathSeparator(char c) {
    return c == '/';
}

char PreferredSeparator() {
    return '/';
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
        errno = readErrno;
        *error = "cannot read the directory: " + SystemError();
        return false;
    }
    return true;
}

bool OpenForReading(const std::string& path, OpenFile* file, std::string* error) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
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
        *error = "is not a regular file";
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

bool SpoolStandardInput(OpenFile* file, std::string* error) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/zemcmp-stdin-XXXXXX";
    int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        *error = "cannot create a temporary file for standard input: " + SystemError();
        return false;
    }
    ::unlink(pattern.c_str());  // anonymous from now on: nothing to clean up, whatever happens
    OpenFile spool(fd, true);
    if (!CopyAll(STDIN_FILENO, fd, error)) return false;
    if (!RewindFile(spool, error)) return false;
    *file = std::move(spool);
    return true;
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
    // Blocked while the file comes into being, so that an interrupt cannot strike between its creation and
    // the moment the handler knows its name.
    sigset_t interrupts, previous;
    sigemptyset(&interrupts);
    sigaddset(&interrupts, SIGINT);
    sigaddset(&interrupts, SIGTERM);
    sigaddset(&interrupts, SIGHUP);
    sigprocmask(SIG_BLOCK, &interrupts, &previous);
    int fd = ::mkstemp(pattern.data());
    int savedErrno = errno;
    if (fd >= 0) ArmInterruptCleanup(pattern);
    sigprocmask(SIG_SETMASK, &previous, nullptr);
    if (fd < 0) {
        errno = savedErrno;
        *error = "cannot create a temporary file in " + (directory.empty() ? std::string(".") : directory) +
                 ": " + SystemError();
        return false;
    }
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    ::fchmod(fd, NewFileMode());
    *file = OpenFile(fd, true);
    *path = pattern;
    return true;
}

bool CommitTempFile(const std::string& tempPath, const std::string& target, bool replace,
                    std::string* error) {
    if (!replace && QueryPath(target) != PathKind::kMissing) {
        *error = "already exists (use -f to replace it)";
        return false;
    }
    if (::rename(tempPath.c_str(), target.c_str()) != 0) {
        *error = "cannot rename the finished temporary file to this name: " + SystemError();
        return false;
    }
    DisarmInterruptCleanup();
    return true;
}

void DiscardTempFile(const std::string& tempPath) {
    ::unlink(tempPath.c_str());
    DisarmInterruptCleanup();
}

void InstallInterruptCleanup() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        // A signal that the parent made us ignore (a background job) stays ignored.
        struct sigaction previous {};
        if (sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) continue;
        sigaction(signal, &action, nullptr);
    }
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

bool OpenAnonymousTempFile(OpenFile* file, std::string* error) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/zemcmp-XXXXXX";
    int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        *error = "cannot create a temporary file: " + SystemError();
        return false;
    }
    ::unlink(pattern.c_str());
    *file = OpenFile(fd, true);
    return true;
}

}  // namespace zs::zemcmp
