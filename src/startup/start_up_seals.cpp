#include "startup/start_up_seals.h"

#include "startup/list_file.h"

namespace zs::bootstrap {

std::string SealText(const uint8_t (&digest)[kSha256DigestSize]) {
    char hex[kSha256HexLength + 1];
    Sha256Hex(digest, hex);
    return std::string(kSealPrefix) + hex;
}

bool SealMatches(const std::string& seal, const uint8_t (&digest)[kSha256DigestSize]) {
    return seal == SealText(digest);
}

std::optional<std::string> ReadSeal(const ProfileReader& listFile, const std::string& fileName) {
    std::string value = listFile.GetString(kStartUpSealsSection, fileName.c_str(), kNoEntry, kSealBufferSize);
    if (IsMissingEntry(value)) return std::nullopt;
    return value;
}

}  // namespace zs::bootstrap
