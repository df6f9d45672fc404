#include "language/location_profile_win32.h"

#include <windows.h>

#include <new>

namespace zs::language {

LocationProfile::LocationProfile(const std::string& programDirectory)
    : path_(programDirectory + kLocationProfileName) {}

bool LocationProfile::ReadSectionNames() {
    sectionNames_.reset(new (std::nothrow) char[kSectionNamesBufferSize]);
    if (!sectionNames_) return false;
    sectionNames_[0] = sectionNames_[1] = '\0';
    GetPrivateProfileStringA(nullptr, nullptr, "", sectionNames_.get(), kSectionNamesBufferSize,
                             path_.c_str());
    // The reader ends the list with two zero bytes even when it cuts it; make sure of that whatever it did.
    sectionNames_[kSectionNamesBufferSize - 2] = sectionNames_[kSectionNamesBufferSize - 1] = '\0';
    return true;
}

std::vector<std::string> LocationProfile::SectionNames() const {
    std::vector<std::string> names;
    if (!sectionNames_) return names;
    for (const char* name = sectionNames_.get(); *name; name += std::char_traits<char>::length(name) + 1) {
        names.emplace_back(name);
    }
    return names;
}

std::string LocationProfile::SectionName(int index) const {
    std::vector<std::string> names = SectionNames();
    if (index < 0 || static_cast<size_t>(index) >= names.size()) return std::string();
    return names[index].substr(0, kMaxSectionNameLength);
}

std::string LocationProfile::Read(const std::string& section, const char* key, const char* defaultValue,
                                  size_t bufferSize) const {
    std::string value(bufferSize, '\0');
    DWORD length = GetPrivateProfileStringA(section.c_str(), key, defaultValue, value.data(),
                                            static_cast<DWORD>(bufferSize), path_.c_str());
    value.resize(length);
    return value;
}

}  // namespace zs::language
