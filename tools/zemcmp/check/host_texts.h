// Small pieces the check's stand-ins and findings share: how a profile file is read uncut, how a missing key
// is told from a present one, and the texts of names in findings.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "base/ascii_case.h"
#include "language/catalogue.h"

namespace zs::zemcmp {

// Longer than any value of a profile file, so that a value read with it is never cut.
inline constexpr size_t kUncutSize = size_t{1} << 31;
// A default that no value of a profile file is: what a lookup of a key that is not there gives.
inline constexpr char kAbsentValue[] = "\x01\x02(absent)\x02\x01";

inline std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

// The names a catalogue offers, for a finding: "none" when it offers none.
inline std::string CatalogueNames(const std::vector<language::CatalogueEntry>& catalogue) {
    std::string names;
    for (const language::CatalogueEntry& entry : catalogue) names += (names.empty() ? "" : ", ") + entry.name;
    return names.empty() ? "none" : names;
}

}  // namespace zs::zemcmp
