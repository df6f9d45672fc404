#include "check_finding.h"

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

Finding& Finding::Shows(MessageSource source, int id, std::string messageText) {
    messageSource = source;
    messageId = id;
    message = std::move(messageText);
    return *this;
}

Finding& CheckReport::Add(Severity severity, std::string code, std::string text) {
    Finding& finding = findings.emplace_back();
    finding.severity = severity;
    finding.code = std::move(code);
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

const char* SeverityName(Severity severity) {
    switch (severity) {
        case Severity::kError:
            return "error";
        case Severity::kWarning:
            return "warning";
        case Severity::kNote:
            return "note";
    }
    return "note";
}

}  // namespace zs::zemcmp
