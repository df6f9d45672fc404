#include "input_file.h"

#include <cstdio>

namespace zs::zemcmp {

std::string DisplayName(const std::string& operand) {
    return operand == "-" ? "standard input" : operand;
}

bool OpenInput(const std::string& operand, InputFile* input, std::string* problem) {
    input->operand = operand;
    input->displayName = DisplayName(operand);
    // Standard input is copied first: the codec needs the size up front and reads a file handle to its end.
    bool opened = operand == "-" ? SpoolStandardInput(&input->file, problem)
                                 : OpenForReading(operand, &input->file, problem);
    if (!opened) return false;
    if (!GetFileSize64(input->file, &input->size, problem)) return false;
    input->identityKnown = operand != "-" && IdentifyFile(input->file, &input->identity);
    return true;
}

void ReportProblem(const std::string& name, const std::string& problem) {
    std::fflush(stdout);  // keep the order of reports when both streams go to one place
    std::fprintf(stderr, "zemcmp: %s: %s\n", name.c_str(), problem.c_str());
}

}  // namespace zs::zemcmp
