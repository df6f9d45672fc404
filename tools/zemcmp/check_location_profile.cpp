// The location profile ZSPROFIL.INI, which the Select Language dialog lists in location mode: each section
// is one location, shown by its "Name", whose "Setup" value picks the language.
#include <string>
#include <vector>

#include "bootstrap/ini_file_reader.h"
#include "bootstrap/list_file.h"
#include "check_context.h"
#include "language/location_profile.h"

namespace zs::zemcmp {
namespace {

using language::kLocationProfileName;

struct LocationValue {
    const char* key;
    const char* defaultValue;
    size_t bufferSize;
};

constexpr LocationValue kLocationValues[] = {
    {language::kLocationNameKey, "", language::kLocationValueBufferSize},
    {language::kLocationSetupKey, "English", language::kLocationValueBufferSize},
    {language::kLocationMessagesKey, "eng.dll", language::kLocationValueBufferSize},
    {language::kLocationHelpKey, "eng.hlp", language::kLocationHelpBufferSize},
    {language::kLocationLicenceKey, "English", language::kLocationValueBufferSize},
};

std::string OfferedNames(const CheckContext& context) {
    std::string names;
    for (const language::CatalogueEntry& entry : context.offered) {
        names += (names.empty() ? "" : ", ") + entry.name;
    }
    return names.empty() ? "none" : names;
}

// Bytes the section names take in the reader's list: each name and its zero byte, and one more zero byte.
size_t SectionListSize(const std::vector<std::string>& sections) {
    size_t size = 1;
    for (const std::string& section : sections) size += section.size() + 1;
    return size;
}

class LocationProfileCheck {
  public:
    LocationProfileCheck(CheckContext& context, const MediumFile& file)
        : context_(context), reader_(file.path), fileName_(kLocationProfileName) {}

    void Run() {
        std::vector<std::string> sections = reader_.SectionNames();
        if (sections.empty()) {
            context_.report
                .Add(Severity::kWarning, "location-profile-empty",
                     std::string(kLocationProfileName) +
                         " has no sections: the Select Location list is empty, and the user can only end "
                         "setup")
                .At(fileName_);
            return;
        }
        size_t listSize = SectionListSize(sections);
        if (listSize > language::kSectionNamesBufferSize) {
            context_.report
                .Add(Severity::kWarning, "location-sections-cut",
                     "the section names take " + std::to_string(listSize) +
                         " bytes together, more than the " +
                         std::to_string(language::kSectionNamesBufferSize) +
                         " that setup.exe reads them into: the last locations are cut off")
                .At(fileName_);
        }
        std::vector<std::string> seen;
        for (const std::string& section : sections) {
            bool repeated = false;
            for (const std::string& earlier : seen) repeated = repeated || SameFileName(earlier, section);
            seen.push_back(section);
            if (repeated) {
                context_.report
                    .Add(Severity::kWarning, "location-section-repeated",
                         "the section [" + section +
                             "] stands more than once: every list entry of that name shows and uses the "
                             "values "
                             "of the first")
                    .At(fileName_, section);
                continue;
            }
            CheckLocation(section);
        }
    }

  private:
    void CheckLocation(const std::string& section) {
        if (section.size() > language::kMaxSectionNameLength) {
            context_.report
                .Add(Severity::kWarning, "location-section-name-long",
                     "the section name is longer than " + std::to_string(language::kMaxSectionNameLength) +
                         " characters: when this location is chosen, setup.exe cuts the name and then finds "
                         "none of its values under the shorter name")
                .At(fileName_, section);
        }
        for (const LocationValue& value : kLocationValues) {
            std::string raw = RawValue(reader_, section.c_str(), value.key, value.defaultValue);
            if (raw.size() < value.bufferSize) continue;
            context_.report
                .Add(Severity::kWarning, "location-value-cut",
                     "the value is longer than " + std::to_string(value.bufferSize - 1) +
                         " characters: setup.exe reads only " +
                         Quoted(reader_.GetString(section.c_str(), value.key, value.defaultValue,
                                                  value.bufferSize)))
                .At(fileName_, section, value.key)
                .WithValue(raw);
        }

        std::string name = reader_.GetString(section.c_str(), language::kLocationNameKey, "",
                                             language::kLocationValueBufferSize);
        if (name.empty()) {
            bool present = HasKey(reader_, section.c_str(), language::kLocationNameKey);
            Finding& finding = context_.report.Add(
                Severity::kError, "location-name-missing",
                std::string("the location's \"Name\" is ") + (present ? "empty" : "missing") +
                    ": the Select Location list fails as a whole and setup.exe ends as if the user had "
                    "cancelled, without a message");
            finding.At(fileName_, section, language::kLocationNameKey);
            if (present) finding.WithValue("");
        }
        CheckSetupLanguage(section);
    }

    void CheckSetupLanguage(const std::string& section) {
        if (!context_.languagesUsable) return;  // setup.exe stops before the dialog
        std::string setup = reader_.GetString(section.c_str(), language::kLocationSetupKey, "English",
                                              language::kLocationValueBufferSize);
        const language::CatalogueEntry* matched = nullptr;
        for (const language::CatalogueEntry& entry : context_.offered) {
            if (entry.text.find(setup) != std::string::npos) {
                matched = &entry;
                break;
            }
        }
        auto at = [&](Finding& finding) {
            finding.At(fileName_, section, language::kLocationSetupKey).WithValue(setup);
        };
        if (matched == nullptr && setup != "English") {
            at(context_.report.Add(
                Severity::kWarning, "location-language-unmatched",
                "the setup language " + Quoted(setup) + " is in no language that this medium offers (" +
                    OfferedNames(context_) + "): setup.exe runs this location in English"));
        } else if (matched != nullptr && setup.empty()) {
            at(context_.report.Add(Severity::kWarning, "location-language-empty",
                                   "the setup language is empty: it matches the first offered language, " +
                                       Quoted(matched->name) +
                                       ", but the main setup module is handed an empty language name"));
        }
    }

    CheckContext& context_;
    bootstrap::IniFileReader reader_;
    std::string fileName_;
};

}  // namespace

void CheckLocationProfile(CheckContext& context) {
    MediumFile file = FindOnMedium(context, kLocationProfileName);
    if (!context.locationMode) {
        if (file.Exists()) {
            context.report
                .Add(Severity::kNote, "location-profile-unused",
                     std::string(kLocationProfileName) +
                         " is on the medium, but the edition word ([SetupLang] key 100) holds no "
                         "\"Standard\": "
                         "setup.exe runs in language mode and never reads it")
                .At(kLocationProfileName);
        }
        return;
    }
    if (!file.IsFile()) {
        context.report
            .Add(Severity::kWarning, "location-profile-missing",
                 std::string("the edition word switches on location mode, but ") + kLocationProfileName +
                     " is not on the medium: the Select Location list is empty, and the user can only end "
                     "setup")
            .At(kLocationProfileName);
        return;
    }
    LocationProfileCheck(context, file).Run();
}

}  // namespace zs::zemcmp
