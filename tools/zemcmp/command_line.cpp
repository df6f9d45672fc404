#include "command_line.h"

namespace zs::zemcmp {
namespace {

struct OptionSpec {
    const char* name;
    OptionFlags flag;
    bool takesValue;
};

constexpr OptionSpec kOptions[] = {
    {"-d", kOptionDirectory, true},        {"-o", kOptionOutput, true},
    {"-f", kOptionForce, false},           {"--json", kOptionJson, false},
    {"--strict", kOptionStrict, false},    {"-j", kOptionJobs, true},
    {"-v", kOptionVerbose, false},         {"-q", kOptionQuiet, false},
    {"--codes", kOptionCodes, false},      {"--medium-path", kOptionMediumPath, true},
    {"--program", kOptionProgram, true},   {"--plain", kOptionPlain, true},
    {"--compress", kOptionCompress, true},
};

// A whole number 1..kMaxJobs, nothing else.
bool ParseJobs(const std::string& value, int* jobs) {
    if (value.empty() || value.size() > 3) return false;
    int number = 0;
    for (char c : value) {
        if (c < '0' || c > '9') return false;
        number = number * 10 + (c - '0');
    }
    if (number < 1 || number > kMaxJobs) return false;
    *jobs = number;
    return true;
}

const OptionSpec* FindOption(const std::string& arg) {
    for (const OptionSpec& spec : kOptions) {
        if (arg == spec.name) return &spec;
    }
    return nullptr;
}

bool Store(const OptionSpec& spec, const std::string& value, CommandLine* commandLine) {
    switch (spec.flag) {
        case kOptionDirectory:
            if (!commandLine->directory.empty()) return false;
            commandLine->directory = value;
            return true;
        case kOptionOutput:
            if (!commandLine->output.empty()) return false;
            commandLine->output = value;
            return true;
        case kOptionForce:
            commandLine->force = true;
            return true;
        case kOptionJson:
            commandLine->json = true;
            return true;
        case kOptionStrict:
            commandLine->strict = true;
            return true;
        case kOptionCodes:
            commandLine->codes = true;
            return true;
        case kOptionMediumPath:
            if (!commandLine->mediumPath.empty()) return false;
            commandLine->mediumPath = value;
            return true;
        case kOptionProgram:
            if (!commandLine->program.empty()) return false;
            commandLine->program = value;
            return true;
        case kOptionPlain:
            commandLine->plain.push_back(value);
            return true;
        case kOptionCompress:
            commandLine->compress.push_back(value);
            return true;
        case kOptionJobs:
            return commandLine->jobs == 0 && ParseJobs(value, &commandLine->jobs);
        case kOptionVerbose:
            commandLine->verbose = true;
            return true;
        case kOptionQuiet:
            commandLine->quiet = true;
            return true;
    }
    return false;
}

}  // namespace

ParseResult ParseCommandLine(const Command& command, const std::vector<std::string>& args,
                             CommandLine* commandLine) {
    std::string name = command.name;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg == "-" || arg.empty() || arg[0] != '-') {
            commandLine->operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") return ParseResult::kShowHelp;
        const OptionSpec* spec = FindOption(arg);
        if (spec == nullptr || (command.options & spec->flag) == 0) {
            UsageError(name + ": unknown option " + arg);
            return ParseResult::kUsageError;
        }
        std::string value;
        if (spec->takesValue) {
            if (i + 1 == args.size() || args[i + 1].empty()) {
                UsageError(name + ": option " + arg + " needs a value");
                return ParseResult::kUsageError;
            }
            value = args[++i];
        }
        int jobs;
        if (spec->flag == kOptionJobs && !ParseJobs(value, &jobs)) {
            UsageError(name + ": -j needs the number of files to code side by side, 1 to " +
                       std::to_string(kMaxJobs) + " (not '" + value + "')");
            return ParseResult::kUsageError;
        }
        if (!Store(*spec, value, commandLine)) {
            UsageError(name + ": option " + arg + " given twice");
            return ParseResult::kUsageError;
        }
    }

    int count = static_cast<int>(commandLine->operands.size());
    if (count < command.minOperands) {
        UsageError(name + ": missing operand");
        return ParseResult::kUsageError;
    }
    if (command.maxOperands != 0 && count > command.maxOperands) {
        UsageError(name + ": too many operands");
        return ParseResult::kUsageError;
    }
    if (commandLine->verbose && commandLine->quiet) {
        UsageError(name + ": -v and -q cannot be used together");
        return ParseResult::kUsageError;
    }
    if (!commandLine->directory.empty() && !commandLine->output.empty()) {
        UsageError(name + ": -d and -o cannot be used together");
        return ParseResult::kUsageError;
    }
    if (!commandLine->output.empty() && count > 1) {
        UsageError(name + ": -o names the output of a single file; use -d for several");
        return ParseResult::kUsageError;
    }
    int standardInputs = 0;
    for (const std::string& operand : commandLine->operands) standardInputs += operand == "-" ? 1 : 0;
    if (standardInputs > 1) {
        UsageError(name + ": standard input (-) can be read only once");
        return ParseResult::kUsageError;
    }
    return ParseResult::kRun;
}

}  // namespace zs::zemcmp
