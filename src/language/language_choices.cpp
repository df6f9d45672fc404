#include "language/language_choices.h"

#include "base/ascii_case.h"
#include "reslib/resource_ids.h"

namespace zs::language {

LanguageChoices LanguageChoices::ForLanguages(std::vector<CatalogueEntry> catalogue,
                                              const std::string& supportedLanguages) {
    LanguageChoices choices;
    for (const CatalogueEntry& entry : catalogue) {
        if (IsOffered(entry, supportedLanguages)) choices.items_.push_back(entry.name);
    }
    // Names are looked up in the whole catalogue, so two entries of one name resolve to the first.
    choices.catalogue_ = std::move(catalogue);
    return choices;
}

std::optional<LanguageChoices> LanguageChoices::ForLocations(std::vector<CatalogueEntry> catalogue,
                                                             const std::string& supportedLanguages,
                                                             const bootstrap::ProfileReader& profile,
                                                             std::string* unnamed) {
    LanguageChoices choices;
    choices.catalogue_ = OfferedEntries(catalogue, supportedLanguages);
    const LocationProfile& locations = choices.profile_.emplace(profile);
    for (const std::string& section : locations.SectionNames()) {
        std::string name = locations.Read(section, kLocationNameKey, "", kLocationValueBufferSize);
        // Every location needs a name to be shown by: one without it fails the whole list.
        if (name.empty()) {
            if (unnamed) *unnamed = section;
            return std::nullopt;
        }
        choices.items_.push_back(std::move(name));
    }
    return choices;
}

std::optional<size_t> LanguageChoices::IndexOf(const std::string& name) const {
    for (size_t i = 0; i < items_.size(); ++i) {
        if (EqualIgnoringAsciiCase(items_[i], name)) return i;
    }
    return std::nullopt;
}

int LanguageChoices::BlockBaseOf(size_t index) const {
    if (index >= items_.size()) return IDS_ENGLISH_BASE;
    if (!profile_) return BlockBaseForName(items_[index], catalogue_);
    std::string setup = profile_->Read(profile_->SectionName(index), kLocationSetupKey, kDefaultSetupLanguage,
                                       kLocationValueBufferSize);
    return MatchSetupLanguage(setup, catalogue_).languageBase;
}

LanguageSelection LanguageChoices::Choose(size_t index, const HandOff& handOff) const {
    if (!profile_) {
        const std::string& name = index < items_.size() ? items_[index] : std::string();
        return {name, BlockBaseForName(name, catalogue_), false};
    }
    std::string section = profile_->SectionName(index);
    auto handOn = [&](const char* key, const std::string& value) {
        if (handOff) handOff(key, value);
    };
    handOn(kHandOffProfileKey, section);
    handOn(kHandOffMessagesKey,
           profile_->Read(section, kLocationMessagesKey, kDefaultMessages, kLocationValueBufferSize));
    handOn(kHandOffHelpKey, profile_->Read(section, kLocationHelpKey, kDefaultHelp, kLocationHelpBufferSize));
    handOn(kHandOffLicenceKey,
           profile_->Read(section, kLocationLicenceKey, kDefaultLicenceLanguage, kLocationValueBufferSize));
    std::string setup =
        profile_->Read(section, kLocationSetupKey, kDefaultSetupLanguage, kLocationValueBufferSize);
    return MatchSetupLanguage(setup, catalogue_);
}

}  // namespace zs::language
