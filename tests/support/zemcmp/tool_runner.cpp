#include "tool_runner.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace zs::test {
namespace {

// An anonymous file for the tool's standard streams.
int AnonymousFile(const Bytes& contents) {
    FILE* file = std::tmpfile();
    if (file == nullptr) throw std::runtime_error("tmpfile failed");
    int fd = ::fcntl(fileno(file), F_DUPFD_CLOEXEC, 3);
    std::fclose(file);
    if (!contents.empty() &&
        ::write(fd, contents.data(), contents.size()) != static_cast<ssize_t>(contents.size())) {
        throw std::runtime_error("cannot write the tool's input");
    }
    ::lseek(fd, 0, SEEK_SET);
    return fd;
}

std::string ReadAll(int fd) {
    std::string text;
    ::lseek(fd, 0, SEEK_SET);
    char buffer[4096];
    for (ssize_t got; (got = ::read(fd, buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<size_t>(got));
    ::close(fd);
    return text;
}

// The limits a run of the tool gets besides its streams.
struct Limits {
    uint64_t fileSize = 0;
    uint64_t addressSpace = 0;
    unsigned seconds = 0;
};

pid_t Spawn(const std::vector<std::string>& args, const std::string& workDir, int in, int out, int err,
            const Limits& limits, const std::vector<std::string>& environment = {}) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(ZEMCMP_PATH));
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    // The extra entries, then the test's environment (the first of two entries with one name counts); built
    // before the fork.
    std::vector<char*> envp;
    for (const std::string& entry : environment) envp.push_back(const_cast<char*>(entry.c_str()));
    for (char** entry = environ; *entry != nullptr; ++entry) envp.push_back(*entry);
    envp.push_back(nullptr);

    pid_t pid = ::fork();
    if (pid != 0) return pid;
    // Child: only async-signal-safe calls from here on.
    ::dup2(in, STDIN_FILENO);
    ::dup2(out, STDOUT_FILENO);
    ::dup2(err, STDERR_FILENO);
    if (!workDir.empty() && ::chdir(workDir.c_str()) != 0) ::_exit(126);
    ::signal(SIGINT, SIG_DFL);
    ::signal(SIGTERM, SIG_DFL);
    ::signal(SIGQUIT, SIG_DFL);
    struct rlimit noCore = {0, 0};  // a tool ended by SIGQUIT leaves no core file behind
    ::setrlimit(RLIMIT_CORE, &noCore);
    if (limits.fileSize != 0) {
        struct rlimit limit = {limits.fileSize, limits.fileSize};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails with EFBIG, as on a full disk
    }
    if (limits.addressSpace != 0) {
        struct rlimit limit = {limits.addressSpace, limits.addressSpace};
        ::setrlimit(RLIMIT_AS, &limit);
    }
    if (limits.seconds != 0) ::alarm(limits.seconds);  // kept across execve
    ::execve(argv[0], argv.data(), envp.data());
    ::_exit(127);
}

ToolRun Wait(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
    }
    ToolRun run;
    if (WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) run.signal = WTERMSIG(status);
    return run;
}

}  // namespace

ToolOptions InDir(const std::string& workDir) {
    ToolOptions options;
    options.workDir = workDir;
    return options;
}

ToolOptions WithInput(const Bytes& standardInput) {
    ToolOptions options;
    options.standardInput = standardInput;
    return options;
}

// What the tool wrote to the terminal so far, read from the master side without waiting.
void DrainTerminal(int master, std::string* text) {
    char buffer[4096];
    for (ssize_t got; (got = ::read(master, buffer, sizeof buffer)) > 0;) {
        text->append(buffer, static_cast<size_t>(got));
    }
}

ToolRun RunTool(const std::vector<std::string>& args, const ToolOptions& options) {
    int in = options.standardInputFile.empty()
                 ? AnonymousFile(options.standardInput)
                 : ::open(options.standardInputFile.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) throw std::runtime_error("cannot open " + options.standardInputFile);
    int out = AnonymousFile({});
    int master = -1;
    int err;
    if (options.errorOnTerminal) {
        master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
        if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
            throw std::runtime_error("no pseudo-terminal");
        }
        err = ::open(::ptsname(master), O_RDWR | O_NOCTTY | O_CLOEXEC);
    } else {
        err = AnonymousFile({});
    }
    Limits limits{options.fileSizeLimit, options.addressSpaceLimit, options.timeLimitSeconds};
    pid_t pid = Spawn(args, options.workDir, in, out, err, limits, options.environment);
    ToolRun run;
    if (master >= 0) {
        // Read while the tool runs, so that a full terminal buffer never holds it up.
        ::close(err);
        int status = 0;
        while (::waitpid(pid, &status, WNOHANG) == 0) {
            DrainTerminal(master, &run.err);
            ::usleep(10000);
        }
        DrainTerminal(master, &run.err);
        ::close(master);
        if (WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
        if (WIFSIGNALED(status)) run.signal = WTERMSIG(status);
    } else {
        run = Wait(pid);
        run.err = ReadAll(err);
    }
    ::close(in);
    run.out = ReadAll(out);
    return run;
}

pid_t StartTool(const std::vector<std::string>& args, const std::string& workDir) {
    int null = ::open("/dev/null", O_RDWR);
    pid_t pid = Spawn(args, workDir, null, null, null, Limits());
    ::close(null);
    return pid;
}

ToolRun WaitTool(pid_t pid) {
    return Wait(pid);
}

ScratchDir::ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zemcmp-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void WriteFile(const std::string& path, const Bytes& contents) {
    std::ofstream(path, std::ios::binary) << contents;
}

Bytes ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool Exists(const std::string& path) {
    return std::filesystem::exists(path);
}

std::vector<std::string> ListDir(const std::string& path) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

Bytes RandomBytes(size_t size, uint32_t seed) {
    std::mt19937 generator(seed);
    Bytes bytes(size, '\0');
    for (char& byte : bytes) byte = static_cast<char>(generator() & 0xFF);
    return bytes;
}

}  // namespace zs::test
