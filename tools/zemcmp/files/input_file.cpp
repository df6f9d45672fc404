#include "files/input_file.h"

#include <cstdio>
#include <cstdlib>

#include "compress/file_handle.h"
#include "text/ansi_text.h"

namespace zs::zemcmp {
namespace {

// How far standard input is read. ZEMCMP_TEST_SPOOL_LIMIT, for the tool's tests only, can lower the limit
// (never raise it) so that a test reaches it without gigabytes of input.
uint64_t SpoolLimit() {
    const char* text = std::getenv("ZEMCMP_TEST_SPOOL_LIMIT");
    if (text == nullptr || *text == '\0') return kLargestInput;
    char* end = nullptr;
    unsigned long long value = std::strtoull(text, &end, 10);
    return *end == '\0' && value < kLargestInput ? value : kLargestInput;
}

const char* kFromStandardInput =
    "compress it from standard input instead, where it is read to its end: zemcmp compress - -o OUT < FILE";

}  // namespace

std::string DisplayName(const std::string& operand) {
    return operand == "-" ? "standard input" : operand;
}

bool OpenInput(const std::string& operand, InputFile* input, std::string* problem) {
    input->operand = operand;
    input->displayName = DisplayName(operand);
    if (operand == "-") {
        // Copied first: the codec needs the size up front and reads a file handle to its end.
        uint64_t limit = SpoolLimit();
        switch (SpoolStandardInput(limit, &input->file, problem)) {
            case SpoolResult::kOk:
                break;
            case SpoolResult::kTooLarge:
                *problem = "holds more than " + std::to_string(limit) +
                           " bytes; reading stopped there (the compressed format stores sizes in 32 bits, so "
                           "standard input is read up to that size only)";
                return false;
            case SpoolResult::kFailed:
                return false;
        }
    } else if (!OpenForReading(operand, &input->file, problem)) {
        return false;
    }
    if (!GetFileSize64(input->file, &input->size, problem)) return false;
    input->identityKnown = operand != "-" && IdentifyFile(input->file, &input->identity);
    return true;
}

bool InputMatchedItsSize(const InputFile& input, uint64_t bytesRead, std::string* problem) {
    if (input.size == 0) {
        // The codec reads nothing of a file whose size is 0: one byte tells whether it is really empty.
        unsigned char byte;
        if (codec::ReadHandle(input.file.handle(), &byte, 1) <= 0) return true;
        *problem = std::string("reports a size of 0 bytes but holds data (as files under /proc do); ") +
                   kFromStandardInput;
        return false;
    }
    if (bytesRead <= input.size) return true;
    *problem = "holds more bytes than its size of " + std::to_string(input.size) +
               " says (did it grow while being read? files under /proc and /sys do not report their true "
               "size); " +
               kFromStandardInput;
    return false;
}

void ReportProblem(const std::string& name, const std::string& problem) {
    std::fflush(stdout);  // keep the order of reports when both streams go to one place
    std::fprintf(stderr, "zemcmp: %s\n", TerminalText(name + ": " + problem).c_str());
}

}  // namespace zs::zemcmp
