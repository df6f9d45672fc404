// A subcommand of the media tool: its name, its help and the function that runs it. Each subcommand lives in
// a file of its own and is listed once in command_table.cpp.
#pragma once

#include <string>
#include <vector>

namespace zs::zemcmp {

// Exit statuses, as --help documents them.
enum ExitStatus : int {
    kExitOk = 0,
    kExitFailed = 1,  // at least one file failed; the others were still processed
    kExitUsage = 2,   // the command line was wrong; nothing was done
};

// Options a subcommand may accept.
enum OptionFlags : unsigned {
    kOptionDirectory = 1u << 0,   // -d DIR
    kOptionOutput = 1u << 1,      // -o OUT
    kOptionForce = 1u << 2,       // -f
    kOptionJson = 1u << 3,        // --json
    kOptionStrict = 1u << 4,      // --strict
    kOptionJobs = 1u << 5,        // -j N
    kOptionVerbose = 1u << 6,     // -v
    kOptionQuiet = 1u << 7,       // -q
    kOptionCodes = 1u << 8,       // --codes
    kOptionMediumPath = 1u << 9,  // --medium-path WINDOWS_PATH
    kOptionProgram = 1u << 10,    // --program DIR
    kOptionPlain = 1u << 11,      // --plain NAME, repeatable
    kOptionCompress = 1u << 12,   // --compress PATTERN, repeatable
};

// The most workers -j may ask for.
inline constexpr int kMaxJobs = 64;

struct CommandLine {
    std::vector<std::string> operands;
    std::string directory;  // -d, empty when not given
    std::string output;     // -o, empty when not given
    bool force = false;
    bool json = false;       // --json
    bool strict = false;     // --strict
    int jobs = 0;            // -j: files coded side by side; 0 when not given (one for each processor)
    bool verbose = false;    // -v
    bool quiet = false;      // -q
    bool codes = false;      // --codes
    std::string mediumPath;  // --medium-path, empty when not given
    std::string program;     // --program, empty when not given
    std::vector<std::string> plain;     // --plain, in the order given
    std::vector<std::string> compress;  // --compress, in the order given
};

struct Command {
    const char* name;
    const char* usage;        // the synopsis after "zemcmp "
    const char* description;  // the paragraph for --help, lines indented by the help printer
    unsigned options;         // OptionFlags accepted
    int minOperands;
    int maxOperands;  // 0: no limit
    int (*run)(const CommandLine& commandLine);
};

extern const Command kCompressCommand;
extern const Command kExpandCommand;
extern const Command kTestCommand;
extern const Command kCheckCommand;
extern const Command kBuildCommand;

// All subcommands, in the order --help lists them.
const std::vector<const Command*>& Commands();
const Command* FindCommand(const std::string& name);

// Prints "zemcmp: <message>" and a pointer to --help; returns kExitUsage.
int UsageError(const std::string& message);

}  // namespace zs::zemcmp
