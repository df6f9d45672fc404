#include "help.h"

#include <cstring>

#include "command/command.h"
#include "zs_version.h"

namespace zs::zemcmp {
namespace {

constexpr const char* kOptionsText =
    "Options:\n"
    "  -d DIR   write the outputs into DIR instead of beside each input\n"
    "  -o OUT   write the output of the one FILE to OUT; -o - writes it to standard output\n"
    "  -f       replace outputs that already exist; without -f an existing output is left as it is\n"
    "           and its input counts as failed\n"
    "  -j N     code N files side by side (1 to 64; default: one for each processor). The outputs are\n"
    "           the same for any N, and messages come in the order of the FILEs\n"
    "  -v       one line for each file done (its sizes, the ratio of compressed to uncompressed size\n"
    "           and where the output went), and a total\n"
    "  -q       print nothing but problems (test: only the files that fail), and no progress line\n"
    "  -        as FILE: read standard input (compress and expand then need -o)\n"
    "  --       ends the options: every following argument is a FILE\n";

constexpr const char* kFilesText =
    "Outputs:\n"
    "  Each output is written to a temporary file in its directory and renamed into place only when it is\n"
    "  complete; a failure, Ctrl-C or a termination request removes the temporary file, so no half-written\n"
    "  output is left behind. An output never replaces its own input, even with -f, and one run never "
    "writes\n"
    "  the same output twice. An output is a regular file or standard output: a symbolic link in its place\n"
    "  is refused, with or without -f. Inputs of 4 GiB or more cannot be compressed: the format stores the\n"
    "  size in 32 bits; standard input is read into a temporary file up to that size and refused beyond\n"
    "  it. A file whose size says less than it holds (files under /proc) is refused, not coded short.\n"
    "  Every file is coded as if it were the only one in the run, so the outputs are reproducible.\n"
    "  Standard output (-o -) is written as the data is produced; there a failure shows in the exit status.\n"
    "  On a terminal, a progress line on standard error shows the files done and the rate.\n";

constexpr const char* kExitText =
    "Exit status:\n"
    "  0    every file was processed (test: every file is a compressed file that decodes completely)\n"
    "  1    at least one file failed or, for test, is not a complete compressed file; the others were still\n"
    "       processed and each problem was reported\n"
    "  2    the command line was wrong; nothing was done\n"
    "  130  interrupted by Ctrl-C (on Linux the process ends by the signal it received; shells show 128 "
    "plus\n"
    "       the signal's number, 130 for Ctrl-C)\n"
    "  build and check have exit statuses of their own, given with them above; 2 means a wrong command\n"
    "       line there too\n";

// Prints a command's description with every line indented under its synopsis.
void PrintIndented(std::FILE* out, const char* text) {
    while (*text != '\0') {
        const char* end = std::strchr(text, '\n');
        size_t length = end != nullptr ? static_cast<size_t>(end - text) : std::strlen(text);
        std::fprintf(out, "      %.*s\n", static_cast<int>(length), text);
        text += length + (end != nullptr ? 1 : 0);
    }
}

}  // namespace

void PrintVersion(std::FILE* out) {
    std::fprintf(out, "zemcmp %s\n", ZS_VERSION_TEXT);
}

void PrintHelp(std::FILE* out) {
    std::fprintf(
        out,
        "zemcmp %s: builds installation media, compresses, expands and tests files in their compressed\n"
        "format, and checks whole media as setup.exe reads them.\n\n",
        ZS_VERSION_TEXT);
    std::fprintf(out, "Usage:\n");
    for (const Command* command : Commands()) {
        std::fprintf(out, "  zemcmp %s\n", command->usage);
        PrintIndented(out, command->description);
        std::fprintf(out, "\n");
    }
    std::fprintf(out, "  zemcmp --help | --version\n\n");
    std::fprintf(out, "%s\n%s\n%s", kOptionsText, kFilesText, kExitText);
}

}  // namespace zs::zemcmp
