// The location profile ZSPROFIL.INI beside the program, read with the Windows profile reader: each section is
// one location, in the order of the file. The section names are read once, all together, into a buffer of
// 16384 bytes (names ended by a zero byte, the list by a second one; what does not fit is cut off by the
// reader); the values are read from the file whenever they are asked for.
#pragma once

#include <memory>
#include <string>
#include <vector>

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

class LocationProfile {
  public:
    // programDirectory ends in a backslash.
    explicit LocationProfile(const std::string& programDirectory);

    // Reads the section names; false when the buffer cannot be had.
    bool ReadSectionNames();
    void ReleaseSectionNames() { sectionNames_.reset(); }
    bool HasSectionNames() const { return sectionNames_ != nullptr; }

    // The names read, in file order (empty before ReadSectionNames and after ReleaseSectionNames).
    std::vector<std::string> SectionNames() const;
    // The name with the given index, cut to kMaxSectionNameLength characters; empty when there is none.
    std::string SectionName(int index) const;

    std::string Read(const std::string& section, const char* key, const char* defaultValue,
                     size_t bufferSize) const;

    const std::string& path() const { return path_; }

  private:
    std::string path_;
    std::unique_ptr<char[]> sectionNames_;
};

}  // namespace zs::language
