// zemcmp check: reads a medium directory the way setup.exe reads it and reports what would go wrong.
#include <cstdio>

#include "check_medium.h"
#include "check_report.h"
#include "command.h"

namespace zs::zemcmp {
namespace {

int RunCheck(const CommandLine& commandLine) {
    CheckReport report = CheckMedium(commandLine.operands.front());
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
    "check [--json] [--strict] DIR",
    "Reads the medium in DIR (SETUP.LST, ZSPROFIL.INI, the start-up files, plain or compressed)\n"
    "with the rules that setup.exe follows and reports, naming the file, section, key and value at\n"
    "fault:\n"
    "  error    setup.exe would stop; the English text of the message it would show is given\n"
    "  warning  setup.exe would go on, but silently do something that is probably not meant\n"
    "  note     worth knowing, changes nothing (such as a file name whose case differs: Windows\n"
    "           finds names without regard to case, and so does the check)\n"
    "Compressed start-up files are decoded completely; nothing is written. The language\n"
    "names are checked against the catalogue of the ZSRES.DLL built with this zemcmp.\n"
    "--json   writes one JSON object instead of the text: \"tool\", \"directory\", \"exitStatus\",\n"
    "         \"findings\" (each with \"severity\", \"code\", \"file\", \"section\", \"key\", \"value\",\n"
    "         \"text\" and \"message\": null or {\"text\", \"stringId\", \"language\"}), \"errors\",\n"
    "         \"warnings\", \"notes\"; see the media authors' guide, media-authors.md\n"
    "--strict makes warnings fail the check (exit status 1)\n"
    "Exit status: 0 no errors (and with --strict no warnings), 1 warnings only (--strict),\n"
    "2 errors: setup.exe would stop on this medium (2 also for a wrong command line).",
    kOptionJson | kOptionStrict,
    1,
    1,
    RunCheck,
};

}  // namespace zs::zemcmp
