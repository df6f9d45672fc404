#include "startup/language_filter.h"

#include "base/ascii_case.h"
#include "startup/list_file.h"

namespace zs::bootstrap {

bool ParseLanguageEntry(const std::string& value, const std::string& filterCode, LanguageEntry& entry) {
    size_t comma = value.find(',');
    if (comma == std::string::npos) return false;
    entry.name = value.substr(0, comma);
    entry.codeText = value.substr(comma);
    entry.enabled = entry.codeText.find(filterCode) != std::string::npos ||
                    entry.codeText.find(AsciiUpperCase(filterCode)) != std::string::npos;
    return true;
}

LanguageList ReadLanguageList(const ProfileReader& listFile, const std::string& filterCode,
                              const LogSink& log) {
    LanguageList list;
    // The file is finite, so the first empty value comes; the key number cannot realistically overflow.
    for (int key = 1;; ++key) {
        std::string value =
            listFile.GetString(kSetupLangSection, std::to_string(key).c_str(), "", kLanguageEntryBufferSize);
        Log(log, "\t\t***" + value);
        list.endKey = key;
        if (value.empty()) {
            list.faulty = key == 1;  // no entry at all
            break;
        }
        LanguageEntry entry;
        if (!ParseLanguageEntry(value, filterCode, entry)) {
            list.faulty = true;
            list.endValue = std::move(value);
            break;
        }
        if (entry.enabled) list.supportedLanguages += entry.name;
        list.entries.push_back(std::move(entry));
    }
    return list;
}

}  // namespace zs::bootstrap
