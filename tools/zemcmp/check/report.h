// The two forms of the check's report: text for a person (every control character of the medium's texts
// escaped), and JSON for a build pipeline.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "check/findings.h"

namespace zs::zemcmp {

void WriteTextReport(const CheckReport& report, std::FILE* out);

// One JSON object; the fields are described in the media authors' guide and under --help.
void WriteJsonReport(const CheckReport& report, bool strict, std::FILE* out);

// A JSON string literal of a report text (Utf8ForReport), valid whatever bytes the medium's files hold.
std::string JsonString(std::string_view text);

// The table of finding codes: one line each, code, severity and meaning, separated by tabs.
void WriteFindingCodes(std::FILE* out);

}  // namespace zs::zemcmp
