#include "language/location_profile.h"

namespace zs::language {

std::vector<std::string> SplitNameList(const std::string& list) {
    std::vector<std::string> names;
    for (size_t start = 0; start < list.size();) {
        size_t end = list.find('\0', start);
        if (end == std::string::npos) end = list.size();
        if (end == start) break;
        names.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

LocationProfile::LocationProfile(const bootstrap::ProfileReader& profile)
    : profile_(&profile),
      sectionNames_(SplitNameList(profile.GetString(nullptr, nullptr, "", kSectionNamesBufferSize))) {}

std::string LocationProfile::SectionName(size_t index) const {
    if (index >= sectionNames_.size()) return std::string();
    return sectionNames_[index].substr(0, kMaxSectionNameLength);
}

std::string LocationProfile::Read(const std::string& section, const char* key, const char* defaultValue,
                                  size_t bufferSize) const {
    return profile_->GetString(section.c_str(), key, defaultValue, bufferSize);
}

}  // namespace zs::language
