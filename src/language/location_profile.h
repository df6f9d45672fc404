// The location profile ZSPROFIL.INI beside the program, read through a profile reader with the Windows
// conventions: each section is one location, in the order of the file. The section names are read once, all
// together, as a list into a buffer of 16384 bytes (names ended by a zero byte, the list by a second one;
// what does not fit is cut off by the reader); the values are read whenever they are asked for.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "profile/profile_reader.h"

namespace zs::language {

inline constexpr char kLocationProfileName[] = "ZSPROFIL.INI";
inline constexpr size_t kSectionNamesBufferSize = 16384;
inline constexpr size_t kMaxSectionNameLength = 127;

// Keys of a location and the buffer sizes of their readings (terminator included).
inline constexpr char kLocationNameKey[] = "Name";
inline constexpr char kLocationSetupKey[] = "Setup";
inline constexpr char kLocationMessagesKey[] = "Messages";
inline constexpr char kLocationHelpKey[] = "Help";
inline constexpr char kLocationLicenceKey[] = "LicencLang";
inline constexpr size_t kLocationValueBufferSize = 64;
inline constexpr size_t kLocationHelpBufferSize = 256;

// Defaults of the values that have one.
inline constexpr char kDefaultSetupLanguage[] = "English";
inline constexpr char kDefaultMessages[] = "eng.dll";
inline constexpr char kDefaultHelp[] = "eng.hlp";
inline constexpr char kDefaultLicenceLanguage[] = "English";

class LocationProfile {
  public:
    // `profile` reads ZSPROFIL.INI and must outlive this object.
    explicit LocationProfile(const bootstrap::ProfileReader& profile);

    // The section names in file order, as one read of the list gives them.
    const std::vector<std::string>& SectionNames() const { return sectionNames_; }
    // The name with the given index, cut to kMaxSectionNameLength characters; empty when there is none.
    std::string SectionName(size_t index) const;

    std::string Read(const std::string& section, const char* key, const char* defaultValue,
                     size_t bufferSize) const;

  private:
    const bootstrap::ProfileReader* profile_;
    std::vector<std::string> sectionNames_;
};

// The names of a list as the profile reader delivers it: each ended by a zero byte, the list ended by an
// empty name (or the end of the text).
std::vector<std::string> SplitNameList(const std::string& list);

}  // namespace zs::language
