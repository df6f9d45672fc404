#include "check/findings.h"

#include <algorithm>

namespace zs::zemcmp {

Finding& Finding::At(std::string fileName, std::string sectionName, std::string keyName) {
    file = std::move(fileName);
    section = std::move(sectionName);
    key = std::move(keyName);
    return *this;
}

Finding& Finding::WithValue(std::string valueText) {
    value = std::move(valueText);
    return *this;
}

const char* OutcomeName(Prediction::Outcome outcome) {
    switch (outcome) {
        case Prediction::Outcome::kStops:
            return "stops";
        case Prediction::Outcome::kCancelled:
            return "cancelled";
        case Prediction::Outcome::kStartsMainModule:
            return "starts-main-module";
        case Prediction::Outcome::kNoProgram:
            return "no-program";
    }
    return "stops";
}

Finding& CheckReport::Add(FindingCode code, std::string text) {
    Finding& finding = findings.emplace_back();
    finding.code = code;
    finding.severity = KindOf(code).severity;
    finding.text = std::move(text);
    return finding;
}

int CheckReport::Count(Severity severity) const {
    return static_cast<int>(std::count_if(findings.begin(), findings.end(),
                                          [severity](const Finding& f) { return f.severity == severity; }));
}

int CheckExitStatus(const CheckReport& report, bool strict) {
    if (report.Count(Severity::kError) > 0) return 2;
    if (strict && report.Count(Severity::kWarning) > 0) return 1;
    return 0;
}

}  // namespace zs::zemcmp
