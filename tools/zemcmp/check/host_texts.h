// Small pieces the check's stand-ins and findings share: how a profile file is read uncut, how a missing key
// is told from a present one, and the texts of names in findings.
#pragma once

#include <cstddef>
#include <string>

#include "base/ascii_case.h"

namespace zs::zemcmp {

// Longer than any value of a profile file, so that a value read with it is never cut.
inline constexpr size_t kUncutSize = size_t{1} << 31;
// A default that no value of a profile file is: what a lookup of a key that is not there gives.
inline constexpr char kAbsentValue[] = "\x01\x02(absent)\x02\x01";

inline std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

}  // namespace zs::zemcmp
