#include "startup/list_file.h"

namespace zs::bootstrap {
namespace {

std::string ReadStartUpValue(const ProfileReader& listFile, const char* key) {
    return listFile.GetString(kStartUpSection, key, kNoEntry, kStartUpValueBufferSize);
}

}  // namespace

bool IsMissingEntry(const std::string& value) {
    return value == kNoEntry;
}

std::string ReadFilterCode(const ProfileReader& listFile) {
    return listFile.GetString(kSetupLangSection, kFilterCodeKey, "", kFilterCodeBufferSize);
}

FilterCodeKind ClassifyFilterCode(const std::string& filterCode) {
    if (filterCode.empty()) return FilterCodeKind::kEmpty;
    if (filterCode.front() == '0') return FilterCodeKind::kRedirect;
    return FilterCodeKind::kUsable;
}

std::string ReadEditionWord(const ProfileReader& listFile) {
    return listFile.GetString(kSetupLangSection, kEditionWordKey, "", kEditionWordBufferSize);
}

bool IsLocationModeEdition(const std::string& editionWord) {
    return editionWord.find("Standard") != std::string::npos;
}

std::string ReadAppName(const ProfileReader& listFile) {
    return ReadStartUpValue(listFile, kAppNameKey);
}

std::string ReadTmpDirSize(const ProfileReader& listFile) {
    return ReadStartUpValue(listFile, kTmpDirSizeKey);
}

std::string ReadTmpDirName(const ProfileReader& listFile) {
    return ReadStartUpValue(listFile, kTmpDirNameKey);
}

}  // namespace zs::bootstrap
