#include "files/file_command.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "base/ascii_case.h"
#include "files/input_file.h"
#include "files/output_names.h"
#include "platform/platform.h"
#include "text/ansi_text.h"

namespace zs::zemcmp {
namespace {

constexpr size_t kNoJob = static_cast<size_t>(-1);

// A name for the file a path leads to, the same for every spelling of that path: the file's identity when
// it exists, else its directory's identity and its base name (case-folded where the system ignores case).
std::string PathKey(const std::string& path) {
    FileIdentity identity;
    if (IdentifyPath(path, &identity)) {
        return "file " + std::to_string(identity.volume) + ":" + std::to_string(identity.index);
    }
    std::string directory = DirectoryPart(path);
    std::string name = BaseName(path);
    if (FileNamesIgnoreCase()) {
        std::transform(name.begin(), name.end(), name.begin(), AsciiUpper);
    }
    if (IdentifyPath(directory.empty() ? "." : directory, &identity)) {
        return "in " + std::to_string(identity.volume) + ":" + std::to_string(identity.index) + " " + name;
    }
    return "path " + path;
}

// The jobs that must finish before each job starts, so that running side by side changes nothing: a job
// that reads a file waits for the earlier job that writes it, and a job that writes a file waits for every
// earlier job that reads or writes it (two inputs with one compressed name are then judged in argument order,
// and an input is never replaced while it is read).
std::vector<std::vector<size_t>> OrderOfAccess(const std::vector<std::string>& operands,
                                               const std::vector<std::string>& targets,
                                               const std::vector<char>& planned) {
    struct Access {
        size_t writer = kNoJob;
        std::vector<size_t> readers;  // since the last writer
    };
    std::map<std::string, Access> files;
    std::vector<std::vector<size_t>> after(operands.size());
    for (size_t job = 0; job < operands.size(); ++job) {
        if (!planned[job]) continue;  // touches no file
        std::vector<size_t>& wait = after[job];
        if (operands[job] != "-") {
            Access& input = files[PathKey(operands[job])];
            if (input.writer != kNoJob) wait.push_back(input.writer);
            input.readers.push_back(job);
        }
        if (targets[job] != "-") {
            Access& output = files[PathKey(targets[job])];
            if (output.writer != kNoJob) wait.push_back(output.writer);
            for (size_t reader : output.readers) {
                if (reader != job) wait.push_back(reader);
            }
            output.writer = job;
            output.readers.clear();
        }
        std::sort(wait.begin(), wait.end());
        wait.erase(std::unique(wait.begin(), wait.end()), wait.end());
    }
    return after;
}

std::string Sizes(uint64_t from, uint64_t to, uint64_t uncompressed, uint64_t compressed) {
    std::string text = std::to_string(from) + " -> " + std::to_string(to) + " bytes";
    std::string ratio = Percentage(compressed, uncompressed);
    if (!ratio.empty()) text += ", ratio " + ratio;
    return text;
}

// -v: one line for a file that was done.
void PrintDone(const FileOutcome& outcome, bool compressing) {
    std::string sizes;
    if (outcome.outputSizeKnown) {
        sizes = compressing
                    ? Sizes(outcome.inputBytes, outcome.outputBytes, outcome.inputBytes, outcome.outputBytes)
                    : Sizes(outcome.inputBytes, outcome.outputBytes, outcome.outputBytes, outcome.inputBytes);
    } else {
        sizes = std::to_string(outcome.inputBytes) + " bytes";
    }
    std::fflush(stdout);
    std::fprintf(stderr, "%s\n",
                 TerminalText(outcome.name + ": " + sizes + ", written to " + outcome.outputName).c_str());
}

}  // namespace

std::string Percentage(uint64_t part, uint64_t whole) {
    if (whole == 0) return "";
    char text[32];
    std::snprintf(text, sizeof text, "%.1f%%",
                  100.0 * static_cast<double>(part) / static_cast<double>(whole));
    return text;
}

int RunOnEachInput(const FileTask& task, const CommandLine& commandLine) {
    const std::vector<std::string>& operands = commandLine.operands;
    for (const std::string& operand : operands) {
        if (operand == "-" && commandLine.output.empty()) {
            return UsageError(std::string(task.commandName) +
                              ": standard input has no name to derive the output's name from; use -o");
        }
    }
    if (!commandLine.directory.empty() && QueryPath(commandLine.directory) != PathKind::kDirectory) {
        ReportProblem(commandLine.directory, "not a directory");
        return kExitFailed;
    }

    // Where every output goes is settled first, in argument order.
    size_t count = operands.size();
    std::vector<std::string> targets(count);
    std::vector<FileOutcome> outcomes(count);
    std::vector<char> planned(count);
    for (size_t i = 0; i < count; ++i) {
        planned[i] = task.target(operands[i], commandLine, &targets[i], &outcomes[i].problem);
        outcomes[i].name = DisplayName(operands[i]);
    }

    FileJobOptions options;
    options.workers = commandLine.jobs;
    options.showProgress = !commandLine.quiet;
    options.after = OrderOfAccess(operands, targets, planned);

    bool compressing = std::string(task.commandName) == "compress";
    size_t done = 0;
    uint64_t inputBytes = 0, outputBytes = 0;
    bool outputBytesKnown = true;
    RunFileJobs(
        count, options,
        [&](size_t i, JobCodec& codec) {
            if (planned[i]) task.code(operands[i], targets[i], commandLine, codec, &outcomes[i]);
        },
        [&](size_t i) {
            const FileOutcome& outcome = outcomes[i];
            if (!outcome.ok) {
                ReportProblem(outcome.name, outcome.problem);
                return;
            }
            ++done;
            inputBytes += outcome.inputBytes;
            outputBytes += outcome.outputBytes;
            outputBytesKnown = outputBytesKnown && outcome.outputSizeKnown;
            if (commandLine.verbose) PrintDone(outcome, compressing);
        });

    if (commandLine.verbose) {
        std::string files = done == count ? std::to_string(count) + (count == 1 ? " file" : " files")
                                          : std::to_string(done) + " of " + std::to_string(count) +
                                                " files (" + std::to_string(count - done) + " failed)";
        std::string sizes = !outputBytesKnown ? std::to_string(inputBytes) + " bytes"
                            : compressing     ? Sizes(inputBytes, outputBytes, inputBytes, outputBytes)
                                              : Sizes(inputBytes, outputBytes, outputBytes, inputBytes);
        std::fflush(stdout);
        std::fprintf(stderr, "total: %s, %s\n", files.c_str(), sizes.c_str());
    }
    return done == count ? kExitOk : kExitFailed;
}

}  // namespace zs::zemcmp
