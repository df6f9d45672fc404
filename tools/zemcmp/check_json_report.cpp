// The report for a build pipeline: one JSON object on one line per finding, keys in a fixed order.
#include <cstdint>
#include <cstdio>
#include <string>

#include "check_report.h"
#include "zs_version.h"

namespace zs::zemcmp {
namespace {

// The length of the valid UTF-8 sequence that starts text[i], or 0 when none starts there.
size_t Utf8SequenceLength(std::string_view text, size_t i) {
    auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    unsigned char lead = byte(i);
    size_t length = 0;
    if (lead >= 0xC2 && lead <= 0xDF) length = 2;
    if (lead >= 0xE0 && lead <= 0xEF) length = 3;
    if (lead >= 0xF0 && lead <= 0xF4) length = 4;
    if (length == 0 || i + length > text.size()) return 0;
    for (size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
    }
    // No overlong forms, no surrogates, nothing beyond U+10FFFF.
    unsigned char second = byte(i + 1);
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
        (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F)) {
        return 0;
    }
    return length;
}

void AppendEscaped(std::string& out, uint32_t codePoint) {
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(codePoint));
    out += escaped;
}

std::string Field(const char* name, const std::string& jsonValue) {
    return std::string("\"") + name + "\": " + jsonValue;
}

std::string OptionalString(const std::string& text) {
    return text.empty() ? "null" : JsonString(text);
}

const char* MessageSourceName(MessageSource source) {
    switch (source) {
        case MessageSource::kFixedText:
            return "fixed-text";
        case MessageSource::kEnglishBlock:
            return "english";
        case MessageSource::kChosenBlock:
            return "chosen-language";
        case MessageSource::kNone:
            break;
    }
    return "none";
}

std::string MessageObject(const Finding& finding) {
    if (finding.messageSource == MessageSource::kNone) return "null";
    return "{" + Field("text", JsonString(finding.message)) + ", " +
           Field("stringId", finding.messageId != 0 ? std::to_string(finding.messageId) : "null") + ", " +
           Field("language", JsonString(MessageSourceName(finding.messageSource))) + "}";
}

std::string FindingObject(const Finding& finding) {
    return "{" + Field("severity", JsonString(SeverityName(finding.severity))) + ", " +
           Field("code", JsonString(finding.code)) + ", " + Field("file", OptionalString(finding.file)) +
           ", " + Field("section", OptionalString(finding.section)) + ", " +
           Field("key", OptionalString(finding.key)) + ", " +
           Field("value", finding.value ? JsonString(*finding.value) : "null") + ", " +
           Field("text", JsonString(finding.text)) + ", " + Field("message", MessageObject(finding)) + "}";
}

}  // namespace

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (size_t i = 0; i < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            AppendEscaped(out, c);
        } else if (c >= 0x80) {
            size_t length = Utf8SequenceLength(text, i);
            if (length == 0) {
                AppendEscaped(out, c);  // Latin-1
                ++i;
                continue;
            }
            out.append(text.substr(i, length));
            i += length;
            continue;
        } else {
            out += static_cast<char>(c);
        }
        ++i;
    }
    return out + "\"";
}

void WriteJsonReport(const CheckReport& report, bool strict, std::FILE* out) {
    std::fprintf(out, "{\n  %s,\n  %s,\n  %s,\n  \"findings\": [",
                 Field("tool", JsonString("zemcmp " ZS_VERSION_TEXT)).c_str(),
                 Field("directory", JsonString(report.directory)).c_str(),
                 Field("exitStatus", std::to_string(CheckExitStatus(report, strict))).c_str());
    for (size_t i = 0; i < report.findings.size(); ++i) {
        std::fprintf(out, "%s\n    %s", i == 0 ? "" : ",", FindingObject(report.findings[i]).c_str());
    }
    std::fprintf(out, "%s],\n  \"errors\": %d,\n  \"warnings\": %d,\n  \"notes\": %d\n}\n",
                 report.findings.empty() ? "" : "\n  ", report.Count(Severity::kError),
                 report.Count(Severity::kWarning), report.Count(Severity::kNote));
}

}  // namespace zs::zemcmp
