// `zemcmp check`: reads a medium directory with the rules that setup.exe follows and reports everything it
// would stop on and everything it would silently do that is probably a mistake.
#pragma once

#include <string>

#include "check_finding.h"

namespace zs::zemcmp {

// Findings in the order in which setup.exe meets them: the files beside the list file, the language
// entries, the edition word and location profile, the StartUp values, the start-up files.
CheckReport CheckMedium(const std::string& directory);

}  // namespace zs::zemcmp
