#include "language/catalogue.h"

#include <algorithm>
#include <climits>

#include "reslib/resource_ids.h"

namespace zs::language {

int LeadingDecimalValue(const std::string& text) {
    long long value = 0;
    for (size_t i = 0; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = std::min<long long>(value * 10 + (text[i] - '0'), INT_MAX);
    }
    return static_cast<int>(value);
}

std::optional<CatalogueEntry> ParseCatalogueEntry(const std::string& text) {
    if (text.size() < kBlockBaseDigits || text.size() > kMaxCatalogueEntryLength) return std::nullopt;
    size_t nameLength = text.size() - kBlockBaseDigits;
    CatalogueEntry entry;
    entry.text = text;
    entry.name = text.substr(0, nameLength);
    entry.blockBase = LeadingDecimalValue(text.substr(nameLength));
    return entry;
}

std::vector<CatalogueEntry> ReadCatalogue(const StringLoader& load, const LogSink& log) {
    std::optional<std::string> countText = load(IDS_CATALOGUE_COUNT);
    int count = countText ? LeadingDecimalValue(*countText) : 0;
    Log(log, "Number of setup languages:" + std::to_string(count));

    std::vector<CatalogueEntry> catalogue;
    const int last = std::min(count, kLastStringId - IDS_CATALOGUE_FIRST + 1);
    for (int i = 0; i < last; ++i) {
        std::optional<std::string> text = load(IDS_CATALOGUE_FIRST + i);
        Log(log, "\t" + text.value_or(std::string()));
        if (!text) continue;
        if (std::optional<CatalogueEntry> entry = ParseCatalogueEntry(*text)) catalogue.push_back(*entry);
    }
    return catalogue;
}

bool IsOffered(const CatalogueEntry& entry, const std::string& supportedLanguages) {
    return supportedLanguages.find(entry.name) != std::string::npos;
}

std::vector<CatalogueEntry> OfferedEntries(const std::vector<CatalogueEntry>& catalogue,
                                           const std::string& supportedLanguages) {
    std::vector<CatalogueEntry> offered;
    for (const CatalogueEntry& entry : catalogue) {
        if (IsOffered(entry, supportedLanguages)) offered.push_back(entry);
    }
    return offered;
}

int BlockBaseForName(const std::string& name, const std::vector<CatalogueEntry>& catalogue) {
    for (const CatalogueEntry& entry : catalogue) {
        if (entry.name == name) return entry.blockBase;
    }
    return IDS_ENGLISH_BASE;
}

LanguageSelection MatchSetupLanguage(const std::string& setupValue,
                                     const std::vector<CatalogueEntry>& offered) {
    for (const CatalogueEntry& entry : offered) {
        if (entry.text.find(setupValue) != std::string::npos) return {setupValue, entry.blockBase, false};
    }
    return {"English", IDS_ENGLISH_BASE, false};
}

}  // namespace zs::language
