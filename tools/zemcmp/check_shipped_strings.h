// The strings of the shipped resource library that `zemcmp check` needs without Windows: the language
// catalogue and the English message block. The table is generated at build time from the library's resource
// script (check_shipped_strings.cmake), so there is no second copy to keep in step.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "language/catalogue.h"
#include "language/string_loader.h"

namespace zs::zemcmp {

struct ShippedString {
    int id;
    const char* text;
};

// Generated: every string of the script up to the end of the English block, in the script's order.
extern const ShippedString kShippedStrings[];
extern const size_t kShippedStringCount;

// Loads from the generated table as setup.exe loads from ZSRES.DLL.
language::StringLoader ShippedStringLoader();

// The catalogue as setup.exe reads it from the shipped library.
const std::vector<language::CatalogueEntry>& ShippedCatalogue();

// Message `offset` of the English block as setup.exe shows it, with "%1" filled by `argument`.
std::string EnglishMessage(int offset, const std::string& argument = std::string());
int EnglishMessageId(int offset);

// setup.exe's own fixed English texts that a medium can bring up.
inline constexpr char kMissingLibraryMessage[] = "Could not find ZSRES.DLL.";
inline constexpr char kRedirectMessage[] = "Please run SETUPKRN.EXE.";

}  // namespace zs::zemcmp
