#include "build/sealed_list_file.h"

#include <algorithm>

#include "base/ascii_case.h"
#include "profile/ini_file_reader.h"
#include "startup/start_up_entries.h"
#include "startup/start_up_seals.h"

namespace zs::zemcmp {
namespace {

// A key as the profile reader compares it: without the blanks around it, ASCII letters folded.
std::string KeyForm(const std::string& name) {
    size_t first = name.find_first_not_of(" \t");
    size_t last = name.find_last_not_of(" \t");
    std::string key = first == std::string::npos ? std::string() : name.substr(first, last - first + 1);
    std::transform(key.begin(), key.end(), key.begin(), AsciiUpper);
    return key;
}

}  // namespace

std::string SealedListFile(const std::string& source, const std::vector<Seal>& seals) {
    const size_t firstBreak = source.find('\n');
    const std::string lineEnd =
        firstBreak != std::string::npos && (firstBreak == 0 || source[firstBreak - 1] != '\r') ? "\n"
                                                                                               : "\r\n";
    std::string sealed = source;
    if (!sealed.empty() && sealed.back() != '\n') sealed += lineEnd;
    if (!sealed.empty()) sealed += lineEnd;
    sealed += std::string("[") + bootstrap::kStartUpSealsSection + "]" + lineEnd;
    std::vector<std::string> written;
    for (const Seal& seal : seals) {
        std::string key = KeyForm(seal.name);
        if (std::find(written.begin(), written.end(), key) != written.end()) continue;
        written.push_back(key);
        sealed += seal.name + "=" + seal.value + lineEnd;
    }
    return sealed;
}

bool ReadsBackAsWritten(const std::string& source, const std::string& sealed, const std::vector<Seal>& seals,
                        std::string* unreadable) {
    const bootstrap::IniFileReader before = bootstrap::IniFileReader::FromBytes(source);
    const bootstrap::IniFileReader after = bootstrap::IniFileReader::FromBytes(sealed);
    for (const Seal& seal : seals) {
        if (bootstrap::ReadSeal(after, seal.name) != seal.value) {
            *unreadable = seal.name;
            return false;
        }
    }
    unreadable->clear();
    for (int key = 1;; ++key) {
        bootstrap::StartUpEntry was = bootstrap::ReadStartUpEntry(before, key);
        bootstrap::StartUpEntry is = bootstrap::ReadStartUpEntry(after, key);
        if (was.fileName != is.fileName || was.skipInWorkstationRun != is.skipInWorkstationRun) return false;
        if (was.missing) return true;
    }
}

}  // namespace zs::zemcmp
