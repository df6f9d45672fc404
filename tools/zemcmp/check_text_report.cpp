// The report for a person: one paragraph per finding, the message that setup.exe would show indented
// beneath it, and a summary line.
#include <string>

#include "check_report.h"

namespace zs::zemcmp {
namespace {

std::string Location(const Finding& finding) {
    std::string where = finding.file;
    if (!finding.section.empty()) where += (where.empty() ? "[" : " [") + finding.section + "]";
    if (!finding.key.empty()) where += " " + finding.key;
    if (finding.value) where += " = \"" + *finding.value + "\"";
    return where;
}

const char* MessageIntroduction(MessageSource source) {
    switch (source) {
        case MessageSource::kChosenBlock:
            return "setup.exe shows, in the language the user chose (English text):";
        case MessageSource::kFixedText:
        case MessageSource::kEnglishBlock:
            return "setup.exe shows:";
        case MessageSource::kNone:
            break;
    }
    return "";
}

std::string Plural(int count, const char* noun) {
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

}  // namespace

void WriteTextReport(const CheckReport& report, std::FILE* out) {
    std::fprintf(out, "Checking the medium in %s\n", report.directory.c_str());
    for (const Finding& finding : report.findings) {
        std::string where = Location(finding);
        std::fprintf(out, "\n%s: %s%s%s\n", SeverityName(finding.severity), where.c_str(),
                     where.empty() ? "" : ": ", finding.text.c_str());
        if (finding.messageSource == MessageSource::kNone) continue;
        std::fprintf(out, "    %s\n", MessageIntroduction(finding.messageSource));
        size_t start = 0;
        for (;;) {
            size_t end = finding.message.find('\n', start);
            std::fprintf(out, "        %s\n", finding.message.substr(start, end - start).c_str());
            if (end == std::string::npos) break;
            start = end + 1;
        }
    }
    int errors = report.Count(Severity::kError);
    int warnings = report.Count(Severity::kWarning);
    int notes = report.Count(Severity::kNote);
    std::fprintf(out, "\n%s, %s, %s: ", Plural(errors, "error").c_str(), Plural(warnings, "warning").c_str(),
                 Plural(notes, "note").c_str());
    if (errors > 0) {
        std::fprintf(out, "setup.exe would stop on this medium.\n");
    } else if (warnings > 0) {
        std::fprintf(out, "setup.exe would run, but see the warnings.\n");
    } else {
        std::fprintf(out, "the medium is clean.\n");
    }
}

}  // namespace zs::zemcmp
