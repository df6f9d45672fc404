#include "startup/setup_switches.h"

#include "base/ascii_case.h"
#include "startup/start_up_rules.h"

namespace zs::bootstrap {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Whether the text at `at` starts with `word` (given in upper case), without regard to case.
bool StartsWithWord(std::string_view text, size_t at, std::string_view word) {
    if (text.size() - at < word.size()) return false;
    for (size_t i = 0; i < word.size(); ++i) {
        if (AsciiUpper(text[at + i]) != word[i]) return false;
    }
    return true;
}

// The end of the word that starts at `at`: the next blank outside double quotes.
size_t WordEnd(std::string_view text, size_t at) {
    bool quoted = false;
    for (; at < text.size(); ++at) {
        if (text[at] == '"') quoted = !quoted;
        if (!quoted && IsBlank(text[at])) break;
    }
    return at;
}

// A switch's value: the rest of the word, without the double quotes around it.
std::string ValueOf(std::string_view word) {
    std::string value;
    for (char c : word) {
        if (c != '"') value += c;
    }
    return value;
}

}  // namespace

SetupSwitches ParseSetupSwitches(std::string_view commandLine) {
    SetupSwitches switches;
    switches.admin = HasAdminSwitch(std::string(commandLine));
    for (size_t at = 0; at < commandLine.size();) {
        if (IsBlank(commandLine[at])) {
            ++at;
            continue;
        }
        const size_t end = WordEnd(commandLine, at);
        const std::string_view word = commandLine.substr(at, end - at);
        if (StartsWithWord(commandLine, at, "/LANG=")) {
            switches.language = ValueOf(word.substr(6));
        } else if (StartsWithWord(commandLine, at, "/LOG=")) {
            switches.logPath = ValueOf(word.substr(5));
        } else if (word.size() == 6 && StartsWithWord(commandLine, at, "/QUIET")) {
            switches.quiet = true;
        } else if (word.size() == 10 && StartsWithWord(commandLine, at, "/NORESTART")) {
            switches.noRestart = true;
        }
        at = end;
    }
    return switches;
}

}  // namespace zs::bootstrap
