// Runs the built zemcmp as a subprocess and gives scratch directories to run it in.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace zs::test {

using Bytes = std::string;  // file contents, any bytes

struct ToolRun {
    int exitCode = -1;  // -1 when the tool ended by a signal
    int signal = 0;
    std::string out;
    std::string err;
};

struct ToolOptions {
    std::string workDir;  // empty: the test's current directory
    Bytes standardInput;
    std::string standardInputFile;         // read standard input from this file instead (/dev/zero: endless)
    uint64_t fileSizeLimit = 0;            // RLIMIT_FSIZE for the tool; 0: none
    std::vector<std::string> environment;  // "NAME=value" entries added to the tool's environment
    bool errorOnTerminal = false;          // standard error on a pseudo-terminal (run.err: what it showed)
    uint64_t addressSpaceLimit = 0;        // RLIMIT_AS for the tool; 0: none
    unsigned timeLimitSeconds = 0;         // the tool is ended by SIGALRM after this long; 0: no limit
};

ToolOptions InDir(const std::string& workDir);
ToolOptions WithInput(const Bytes& standardInput);

ToolRun RunTool(const std::vector<std::string>& args, const ToolOptions& options = ToolOptions());

// Starts the tool with its output discarded; the caller waits for it.
pid_t StartTool(const std::vector<std::string>& args, const std::string& workDir);
ToolRun WaitTool(pid_t pid);

// A fresh directory under the system's temporary directory, removed with everything in it.
class ScratchDir {
  public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

void WriteFile(const std::string& path, const Bytes& contents);
Bytes ReadFile(const std::string& path);
bool Exists(const std::string& path);
// The names in a directory, sorted; hidden names too (a temporary file left behind must show).
std::vector<std::string> ListDir(const std::string& path);
Bytes RandomBytes(size_t size, uint32_t seed);

}  // namespace zs::test
