// The outcome of choosing the setup language, read by the rest of the run.
#pragma once

#include <string>

namespace zs::language {

struct LanguageSelection {
    std::string languageName;  // goes to the main module's command line and to the log
    int languageBase = 0;      // block base B: every later message is string B + offset
    bool cancelled = false;    // the other two fields mean nothing when set
};

}  // namespace zs::language
