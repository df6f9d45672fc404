// What the Select Language dialog lists and what choosing one of its items yields, apart from the dialog
// itself, so that the start-up sequence, the dialog and the media tool share one set of rules:
// - language mode: the catalogue entries that the list file enables, shown by name; choosing one picks it;
// - location mode: the locations of ZSPROFIL.INI, shown by their "Name"; choosing one hands the location's
//   settings to the main setup module (through the hand-off callback, which setup.exe connects to WIN.INI)
//   and picks the language its "Setup" value names.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "language/catalogue.h"
#include "language/language_selection.h"
#include "language/location_profile.h"
#include "profile/profile_reader.h"

namespace zs::language {

// WIN.INI section and keys through which a confirmed location reaches the main setup module.
inline constexpr char kHandOffSection[] = "Zemsetup32";
inline constexpr char kHandOffProfileKey[] = "StdProfile";
inline constexpr char kHandOffMessagesKey[] = "StdMessages";
inline constexpr char kHandOffHelpKey[] = "StdHelp";
inline constexpr char kHandOffLicenceKey[] = "StdLicencLang";

// Receives one hand-off value (key of kHandOffSection, value) of a confirmed location.
using HandOff = std::function<void(const char* key, const std::string& value)>;

class LanguageChoices {
  public:
    // Language mode: every catalogue entry whose name occurs in the supported-languages text, in catalogue
    // order.
    static LanguageChoices ForLanguages(std::vector<CatalogueEntry> catalogue,
                                        const std::string& supportedLanguages);

    // Location mode over the profile (which must outlive the result): every section of ZSPROFIL.INI by its
    // "Name". Nothing when a section has no name (an absent or empty "Name" fails the whole list); that
    // section goes to *unnamed.
    static std::optional<LanguageChoices> ForLocations(std::vector<CatalogueEntry> catalogue,
                                                       const std::string& supportedLanguages,
                                                       const bootstrap::ProfileReader& profile,
                                                       std::string* unnamed = nullptr);

    bool locationMode() const { return profile_.has_value(); }
    // The items of the list, in the order in which it shows them.
    const std::vector<std::string>& items() const { return items_; }
    // The first item shown as `name` (compared without regard to ASCII case); nothing when none is.
    std::optional<size_t> IndexOf(const std::string& name) const;

    // The block base that highlighting the item relabels the dialog in: the language of that name, or the
    // language the location's "Setup" value matches (the English block when none does).
    int BlockBaseOf(size_t index) const;

    // The result of confirming the item. Location mode first hands the location's name and its "Messages",
    // "Help" and "LicencLang" values on, each read and handed on before the next is read.
    LanguageSelection Choose(size_t index, const HandOff& handOff) const;

  private:
    LanguageChoices() = default;

    std::vector<CatalogueEntry> catalogue_;  // language mode: the whole catalogue; location mode: the offered
    std::vector<std::string> items_;
    std::optional<LocationProfile> profile_;
};

}  // namespace zs::language
