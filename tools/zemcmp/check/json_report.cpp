// The report for a build pipeline: one JSON object, keys in a fixed order, one finding per line.
#include <cstdint>
#include <cstdio>
#include <string>

#include "check/report.h"
#include "text/ansi_text.h"
#include "zs_version.h"

namespace zs::zemcmp {
namespace {

std::string Field(const char* name, const std::string& jsonValue) {
    return std::string("\"") + name + "\": " + jsonValue;
}

std::string OptionalString(const std::string& text) {
    return text.empty() ? "null" : JsonString(text);
}

std::string MessageObject(const std::optional<PredictedMessage>& message) {
    if (!message) return "null";
    return "{" + Field("text", JsonString(message->text)) + ", " +
           Field("stringId", message->stringId != 0 ? std::to_string(message->stringId) : "null") + ", " +
           Field("icon", JsonString(message->icon)) + ", " +
           Field("language", OptionalString(message->language)) + "}";
}

std::string FindingObject(const Finding& finding) {
    return "{" + Field("severity", JsonString(SeverityName(finding.severity))) + ", " +
           Field("code", JsonString(KindOf(finding.code).name)) + ", " +
           Field("phase", OptionalString(finding.phase)) + ", " +
           Field("file", OptionalString(finding.file)) + ", " +
           Field("section", OptionalString(finding.section)) + ", " +
           Field("key", OptionalString(finding.key)) + ", " +
           Field("value", finding.value ? JsonString(*finding.value) : "null") + ", " +
           Field("text", JsonString(finding.text)) + ", " + Field("message", MessageObject(finding.message)) +
           "}";
}

std::string PredictionObject(const std::optional<Prediction>& prediction) {
    if (!prediction) return "null";
    return "{" + Field("outcome", JsonString(OutcomeName(prediction->outcome))) + ", " +
           Field("phase", OptionalString(prediction->phase)) + ", " +
           Field("exitStatus", prediction->outcome == Prediction::Outcome::kNoProgram
                                   ? std::string("null")
                                   : std::to_string(prediction->exitStatus)) +
           ", " + Field("language", OptionalString(prediction->language)) + ", " +
           Field("message", MessageObject(prediction->message)) + "}";
}

}  // namespace

std::string JsonString(std::string_view text) {
    const std::string utf8 = Utf8ForReport(text);
    std::string out = "\"";
    for (char byte : utf8) {
        auto c = static_cast<unsigned char>(byte);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += byte;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
            out += escaped;
        } else {
            out += byte;
        }
    }
    return out + "\"";
}

void WriteJsonReport(const CheckReport& report, bool strict, std::FILE* out) {
    std::fprintf(out, "{\n  %s,\n  %s,\n  %s,\n  %s,\n  \"findings\": [",
                 Field("tool", JsonString("zemcmp " ZS_VERSION_TEXT)).c_str(),
                 Field("directory", JsonString(report.directory)).c_str(),
                 Field("exitStatus", std::to_string(CheckExitStatus(report, strict))).c_str(),
                 Field("prediction", PredictionObject(report.prediction)).c_str());
    for (size_t i = 0; i < report.findings.size(); ++i) {
        std::fprintf(out, "%s\n    %s", i == 0 ? "" : ",", FindingObject(report.findings[i]).c_str());
    }
    std::fprintf(out, "%s],\n  \"errors\": %d,\n  \"warnings\": %d,\n  \"notes\": %d\n}\n",
                 report.findings.empty() ? "" : "\n  ", report.Count(Severity::kError),
                 report.Count(Severity::kWarning), report.Count(Severity::kNote));
}

}  // namespace zs::zemcmp
