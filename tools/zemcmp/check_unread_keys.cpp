// Keys of the list file that setup.exe never reads, although they are written there.
#include <string>
#include <vector>

#include "bootstrap/list_file.h"
#include "check_context.h"

namespace zs::zemcmp {
namespace {

bool IsDecimalNumber(const std::string& text) {
    if (text.empty()) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

bool Contains(const std::vector<std::string>& keys, const std::string& key) {
    for (const std::string& candidate : keys) {
        if (SameFileName(candidate, key)) return true;
    }
    return false;
}

// A number's value, or -1 when it is too large to be a key setup.exe ever reaches.
long long KeyNumber(const std::string& digits) {
    if (digits.size() > 9) return -1;
    return std::stoll(digits);
}

}  // namespace

void CheckUnreadKeys(CheckContext& context, const char* section, const std::vector<std::string>& keysRead,
                     int numberedListEnd, const std::string& endText) {
    std::vector<std::string> seen;
    for (const std::string& key : context.listFile.KeyNames(section)) {
        bool repeated = Contains(seen, key);
        seen.push_back(key);
        auto add = [&](Severity severity, const char* code, const std::string& text) {
            context.report.Add(severity, code, text)
                .At(bootstrap::kListFileName, section, key)
                .WithValue(RawValue(context.listFile, section, key.c_str(), ""));
        };
        if (repeated) {
            add(Severity::kWarning, "key-repeated",
                "the key " + key + " stands more than once in [" + section +
                    "]: setup.exe reads only the first one; this one is never read");
            continue;
        }
        if (Contains(keysRead, key)) continue;
        if (!IsDecimalNumber(key)) {
            add(Severity::kNote, "key-not-read",
                "setup.exe does not read the key " + key + " of [" + section +
                    "] (it may be meant for the main setup module, or be misspelt)");
        } else if (key.size() > 1 && key[0] == '0') {
            add(Severity::kWarning, "key-leading-zero",
                "setup.exe reads numbered keys as 1, 2, 3, ... without leading zeros: the key " + key +
                    " is never read");
        } else if (numberedListEnd >= 0) {
            long long number = KeyNumber(key);
            std::string why = number > numberedListEnd || number < 0
                                  ? "the numbered entries end before it, where " + endText
                                  : "it is not part of the numbered entries";
            add(Severity::kWarning, "key-after-list-end", "the key " + key + " is never read: " + why);
        }
    }
}

}  // namespace zs::zemcmp
