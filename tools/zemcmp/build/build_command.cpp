// zemcmp build: makes a finished medium from a source folder in one step: the start-up files that SETUP.LST
// names compressed under their compressed names and sealed, setup.exe and ZSRES.DLL beside them, every other
// file copied; then the check reads the result as setup.exe will, and only a medium on which setup.exe would
// start the main setup module takes the output directory's place.
#include <cstdio>

#include "build/build_files.h"
#include "build/build_plan.h"
#include "build/build_target.h"
#include "build/program_directory.h"
#include "build/sealed_list_file.h"
#include "check/check_medium.h"
#include "check/report.h"
#include "command/command.h"
#include "compress/file_handle.h"
#include "files/file_command.h"
#include "files/input_file.h"
#include "files/output_file.h"
#include "files/output_names.h"
#include "files/parallel_files.h"
#include "platform/platform.h"
#include "startup/list_file.h"
#include "startup/start_up_seals.h"
#include "text/ansi_text.h"

namespace zs::zemcmp {
namespace {

// The exit status of a build that left the output directory as it was: bad input, a failure while building,
// or a medium on which setup.exe would not start the main module.
constexpr int kBuildFailed = 2;

// The directory the build is made in, removed unless it was put in place.
struct BuildDirectory {
    ~BuildDirectory() {
        if (!path.empty()) RemoveTree(path);
    }
    std::string path;
};

void Say(const std::string& text) {
    std::fflush(stdout);  // keep the order of the two streams where they go to one place
    std::fprintf(stderr, "zemcmp: %s\n", TerminalText(text).c_str());
}

int Failed(const std::string& problem) {
    Say(problem);
    return kBuildFailed;
}

std::string Sizes(const PlannedFile& file, const BuiltFile& built) {
    if (!file.compress) return std::to_string(built.inputBytes) + " bytes, copied";
    std::string ratio = Percentage(built.outputBytes, built.inputBytes);
    return std::to_string(built.inputBytes) + " -> " + std::to_string(built.outputBytes) + " bytes" +
           (ratio.empty() ? "" : ", ratio " + ratio) + ", compressed";
}

bool WriteListFile(const BuildPlan& plan, const std::vector<BuiltFile>& built, const std::string& directory,
                   std::string* problem) {
    std::vector<Seal> seals;
    for (const PlannedSeal& seal : plan.seals)
        seals.push_back({seal.name, bootstrap::SealText(built[seal.file].digest)});
    const std::string text = SealedListFile(plan.listFile, seals);
    const std::string path = JoinPath(directory, bootstrap::kListFileName);
    OutputFile output;
    if (!output.Open(path, InputFile(), false, problem)) return false;
    if (codec::WriteHandle(output.handle(), text.data(), static_cast<uint32_t>(text.size())) !=
        static_cast<long>(text.size())) {
        *problem = path + ": cannot be written (disk full or write error)";
        return false;
    }
    if (!output.Commit(problem)) return false;
    CopyModificationTime(plan.listFilePath, path);
    return true;
}

int RunBuild(const CommandLine& commandLine) {
    const std::string& source = commandLine.operands[0];
    const std::string& output = commandLine.operands[1];
    std::string problem;
    BuildTarget target;
    if (!CheckBuildTarget(source, output, commandLine.force, commandLine.mediumPath, &target, &problem)) {
        return Failed(problem);
    }
    BuildRequest request{source, "", commandLine.plain, commandLine.compress};
    if (!FindProgramDirectory(commandLine.program, &request.programDirectory, &problem))
        return Failed(problem);
    BuildPlan plan;
    if (!PlanBuild(request, &plan, &problem)) return Failed(problem);
    if (!commandLine.quiet) {
        for (const std::string& note : plan.notes) Say(note);
    }

    BuildDirectory building;
    if (!CreateTempDirectoryIn(target.parent, ".zemcmp-build-", &building.path, &problem))
        return Failed(problem);
    for (const std::string& directory : plan.directories) {
        if (!MakeDirectory(JoinPath(building.path, directory), &problem)) return Failed(problem);
    }
    std::vector<BuiltFile> built(plan.files.size());
    FileJobOptions options;
    options.workers = commandLine.jobs;
    options.showProgress = !commandLine.quiet;
    size_t failed = 0;
    uint64_t read = 0, written = 0;
    RunFileJobs(
        plan.files.size(), options,
        [&](size_t i, JobCodec& codec) { BuildFile(plan.files[i], building.path, codec, &built[i]); },
        [&](size_t i) {
            const PlannedFile& file = plan.files[i];
            if (!built[i].ok) {
                ++failed;
                ReportProblem(file.shownName, built[i].problem);
                return;
            }
            read += built[i].inputBytes;
            written += built[i].outputBytes;
            if (commandLine.verbose)
                Say(file.shownName + ": " + Sizes(file, built[i]) + " to " + JoinPath(output, file.output));
        });
    if (failed > 0)
        return Failed(output + ": not written: " + std::to_string(failed) +
                      " of the medium's files could not be built");
    if (!WriteListFile(plan, built, building.path, &problem)) return Failed(problem);
    if (commandLine.verbose) {
        Say("total: " + std::to_string(plan.files.size() + 1) + " files, " + std::to_string(read) +
            " bytes read, " + std::to_string(written) + " bytes written, " +
            std::to_string(plan.seals.size()) + " start-up files sealed");
    }

    // The check reads the finished medium as setup.exe will, under the name it is about to take.
    CheckReport report = CheckMedium(building.path, target.windowsPath, commandLine.jobs);
    report.directory = output;
    const bool starts = report.prediction &&
                        report.prediction->outcome == Prediction::Outcome::kStartsMainModule &&
                        report.Count(Severity::kError) == 0;
    if (commandLine.json) {
        WriteJsonReport(report, commandLine.strict, stdout);
    } else if (!commandLine.quiet || CheckExitStatus(report, true) != 0) {
        WriteTextReport(report, stdout);
    }
    if (!starts) {
        return Failed(output +
                      ": not written: setup.exe would not start the main setup module from this medium "
                      "(the check's report says why)");
    }
    if (!ReplaceDirectory(building.path, output, &problem)) return Failed(problem);
    building.path.clear();
    return CheckExitStatus(report, commandLine.strict);
}

}  // namespace

const Command kBuildCommand = {
    "build",
    "build SOURCE OUTPUT [--program DIR] [--plain NAME]... [--compress PATTERN]... [-f]\n"
    "         [-j N] [-v | -q] [--json] [--strict] [--medium-path WINPATH]",
    "Builds the medium in OUTPUT from the folder SOURCE, which holds SETUP.LST (and\n"
    "ZSPROFIL.INI in location mode), the start-up files and any other files, all uncompressed:\n"
    "  - each start-up file that SETUP.LST names is written compressed under its compressed\n"
    "    name; --plain NAME (repeatable) keeps one plain, and a name without a dot stays plain\n"
    "    (its compressed name would depend on the medium's path);\n"
    "  - every other file, subfolders too, is copied as it is, unless a --compress PATTERN\n"
    "    (repeatable; * and ? as wildcards, without regard to case) matches its name, or with a\n"
    "    \"/\" its path in SOURCE: then it is written compressed (never SETUP.LST, ZSPROFIL.INI,\n"
    "    ADMIN.INF, which setup.exe reads by name);\n"
    "  - setup.exe and ZSRES.DLL come from --program DIR; without it from the release\n"
    "    package that this zemcmp stands in (its medium/ folder);\n"
    "  - SETUP.LST is the source's byte for byte plus a section [StartUpSeals]: one key per\n"
    "    start-up file (the name as listed), the value sha256: and the 64 hex digits of the\n"
    "    file's contents as setup.exe stages them.\n"
    "Then the check runs on the result as `zemcmp check` would, and prints its report (--json,\n"
    "--strict and --medium-path as there). The medium is made in a new folder beside OUTPUT\n"
    "and takes OUTPUT's place only when it is complete and setup.exe would start the main\n"
    "setup module from it; otherwise OUTPUT is left as it was. OUTPUT must not exist or be\n"
    "empty; -f replaces a previous build (a folder with setup.exe, ZSRES.DLL and a SETUP.LST\n"
    "with seals), never a folder of other files. The same SOURCE gives the same OUTPUT, byte for\n"
    "byte (each file keeps its source's modification time), for any -j. -v reports each file;\n"
    "-q prints only problems (and the check's report only when it has errors or warnings).\n"
    "Exit status: 0 built, the check found no errors (with --strict no warnings); 1 built,\n"
    "warnings with --strict; 2 nothing built: bad input, a failure, or setup.exe would stop.",
    kOptionForce | kOptionJobs | kOptionVerbose | kOptionQuiet | kOptionJson | kOptionStrict |
        kOptionMediumPath | kOptionProgram | kOptionPlain | kOptionCompress,
    2,
    2,
    RunBuild,
};

}  // namespace zs::zemcmp
