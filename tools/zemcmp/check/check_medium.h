// `zemcmp check`: runs setup.exe's start-up sequence on a medium directory with the check's host, so that the
// check reads the medium exactly as setup.exe does, and collects the findings and the prediction.
#pragma once

#include <string>

#include "check/findings.h"

namespace zs::zemcmp {

// `windowsPath`: the directory as setup.exe will see it; empty for its full path here (see MediumDirectory).
// `workers`: how many compressed start-up files are decoded side by side (0: one per processor).
CheckReport CheckMedium(const std::string& directory, const std::string& windowsPath = std::string(),
                        int workers = 1);

}  // namespace zs::zemcmp
