// zemcmp check: reads a medium directory the way setup.exe reads it and reports what would go wrong.
#include <cstdio>

#include "check/check_medium.h"
#include "check/report.h"
#include "command/command.h"

namespace zs::zemcmp {
namespace {

int RunCheck(const CommandLine& commandLine) {
    if (commandLine.codes) {
        if (!commandLine.operands.empty()) return UsageError("check --codes takes no directory");
        WriteFindingCodes(stdout);
        return kExitOk;
    }
    if (commandLine.operands.size() != 1) return UsageError("check needs exactly one directory");
    CheckReport report = CheckMedium(commandLine.operands.front(), commandLine.mediumPath, commandLine.jobs);
    if (commandLine.json) {
        WriteJsonReport(report, commandLine.strict, stdout);
    } else {
        WriteTextReport(report, stdout);
    }
    return CheckExitStatus(report, commandLine.strict);
}

}  // namespace

const Command kCheckCommand = {
    "check",
    "check [--json] [--strict] [--medium-path WINPATH] [-j N] DIR | check --codes",
    "Runs setup.exe's own start-up steps on the medium in DIR, with stand-ins that read it as\n"
    "Windows would (SETUP.LST and ZSPROFIL.INI as Windows' profile reader reads them, file names by\n"
    "Windows' rules, setup.exe, ZSRES.DLL and _SETUP.EXE by their headers, compressed start-up files\n"
    "decoded completely, nothing written), taking the first language the Select Language list offers,\n"
    "and reports, naming the file, section, key and value at fault:\n"
    "  error    setup.exe would stop, or never get to the main setup module; the message it would\n"
    "           show is given (the first error is the one the user sees)\n"
    "  warning  setup.exe would go on, but silently do something that is probably not meant\n"
    "  note     worth knowing, changes nothing\n"
    "and its prediction: the step setup.exe stops at, or that it starts the main setup module.\n"
    "Messages come from the medium's own ZSRES.DLL.\n"
    "--json   writes one JSON object instead of the text: \"tool\", \"directory\", \"exitStatus\",\n"
    "         \"prediction\" ({\"outcome\", \"phase\", \"exitStatus\", \"language\", \"message\"}),\n"
    "         \"findings\" (each with \"severity\", \"code\", \"phase\", \"file\", \"section\", \"key\",\n"
    "         \"value\", \"text\" and \"message\": null or "
    "{\"text\", \"stringId\", \"icon\", \"language\"}),\n"
    "         \"errors\", \"warnings\", \"notes\"; see the media authors' guide, media-authors.md\n"
    "--strict makes warnings fail the check (exit status 1)\n"
    "--medium-path  the directory as setup.exe will see it, such as D:\\ for the root of a CD (it\n"
    "         decides the compressed names of names without a dot, and where a relative TmpDirName\n"
    "         goes); default: its full path here, on a POSIX system under Z:, as Wine shows it\n"
    "--codes  lists every finding code with its severity and meaning\n"
    "-j N     decodes N compressed start-up files side by side (default: one per processor)\n"
    "Exit status: 0 no errors (and with --strict no warnings), 1 warnings only (--strict),\n"
    "2 errors: setup.exe would stop on this medium (2 also for a wrong command line).",
    kOptionJson | kOptionStrict | kOptionCodes | kOptionMediumPath | kOptionJobs,
    0,
    1,
    RunCheck,
};

}  // namespace zs::zemcmp
