// The report for a person: one paragraph per finding, the message that setup.exe would show indented beneath
// it, the prediction and a summary line.
#include <string>

#include "check/report.h"
#include "text/ansi_text.h"

namespace zs::zemcmp {
namespace {

std::string Shown(const std::string& text) {
    return TerminalText(text);
}

std::string Location(const Finding& finding) {
    std::string where = finding.file;
    if (!finding.section.empty()) where += (where.empty() ? "[" : " [") + finding.section + "]";
    if (!finding.key.empty()) where += " " + finding.key;
    if (finding.value) where += " = \"" + *finding.value + "\"";
    return Shown(where);
}

void WriteMessage(const PredictedMessage& message, std::FILE* out) {
    std::string how = message.icon + " icon";
    if (!message.language.empty()) how += ", in " + Shown(message.language);
    std::fprintf(out, "    setup.exe shows (%s):\n", how.c_str());
    std::string text = PrintableText(Utf8ForReport(message.text), true);
    size_t start = 0;
    for (;;) {
        size_t end = text.find('\n', start);
        std::fprintf(out, "        %s\n", text.substr(start, end - start).c_str());
        if (end == std::string::npos) break;
        start = end + 1;
    }
}

std::string Plural(int count, const char* noun) {
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

void WritePrediction(const Prediction& prediction, std::FILE* out) {
    std::string language = prediction.language.empty()
                               ? std::string()
                               : " (with the first language offered, " + Shown(prediction.language) + ")";
    switch (prediction.outcome) {
        case Prediction::Outcome::kStops:
            std::fprintf(out, "\nsetup.exe would stop at step %s%s, exit status %d.\n",
                         prediction.phase.c_str(), language.c_str(), prediction.exitStatus);
            break;
        case Prediction::Outcome::kCancelled:
            std::fprintf(
                out, "\nsetup.exe would end as cancelled at step %s, without a message, exit status %d.\n",
                prediction.phase.c_str(), prediction.exitStatus);
            break;
        case Prediction::Outcome::kNoProgram:
            std::fprintf(out,
                         "\nThere is no setup.exe that Windows would start: nothing of this medium runs.\n");
            break;
        case Prediction::Outcome::kStartsMainModule:
            std::fprintf(out, "\nsetup.exe would start the main setup module _SETUP.EXE%s.\n",
                         language.c_str());
            break;
    }
}

}  // namespace

void WriteTextReport(const CheckReport& report, std::FILE* out) {
    std::fprintf(out, "Checking the medium in %s\n", Shown(report.directory).c_str());
    for (const Finding& finding : report.findings) {
        std::string where = Location(finding);
        std::fprintf(out, "\n%s: %s%s%s\n", SeverityName(finding.severity), where.c_str(),
                     where.empty() ? "" : ": ", Shown(finding.text).c_str());
        if (finding.message) WriteMessage(*finding.message, out);
    }
    if (report.prediction) WritePrediction(*report.prediction, out);
    int errors = report.Count(Severity::kError);
    int warnings = report.Count(Severity::kWarning);
    int notes = report.Count(Severity::kNote);
    std::fprintf(out, "\n%s, %s, %s: ", Plural(errors, "error").c_str(), Plural(warnings, "warning").c_str(),
                 Plural(notes, "note").c_str());
    if (errors > 0) {
        std::fprintf(out, "setup.exe would not get to the main setup module on this medium.\n");
    } else if (warnings > 0) {
        std::fprintf(out, "setup.exe would run, but see the warnings.\n");
    } else {
        std::fprintf(out, "the medium is clean.\n");
    }
}

void WriteFindingCodes(std::FILE* out) {
    for (size_t i = 0; i < FindingKindCount(); ++i) {
        const FindingKind& kind = FindingKinds()[i];
        std::fprintf(out, "%s\t%s\t%s\n", kind.name, SeverityName(kind.severity), kind.meaning);
    }
}

}  // namespace zs::zemcmp
