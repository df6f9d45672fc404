// The two forms of the check's report: text for a person, and JSON for a build pipeline.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "check_finding.h"

namespace zs::zemcmp {

void WriteTextReport(const CheckReport& report, std::FILE* out);

// One JSON object; the fields are described in the media authors' guide and under --help.
void WriteJsonReport(const CheckReport& report, bool strict, std::FILE* out);

// A JSON string literal. Valid UTF-8 is kept; any other byte is taken as a Latin-1 character, so that the
// output is valid JSON whatever the medium's files hold.
std::string JsonString(std::string_view text);

}  // namespace zs::zemcmp
