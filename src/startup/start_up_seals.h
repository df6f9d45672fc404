// The seals of the start-up files: one section of the list file, "StartUpSeals", with one key for each
// start-up file (the file name as its entry lists it) whose value is "sha256:" followed by the 64 lower-case
// hex digits of the SHA-256 of the file's contents as staged, after expansion. A list file without the
// section is read as before; a key for a file that is not listed means nothing.
//
// Windows' profile reader reads only the first section of a name, so the section is written once, by the
// tool that builds a medium, after the list file's own sections.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "profile/profile_reader.h"
#include "startup/sha256.h"

namespace zs::bootstrap {

inline constexpr char kStartUpSealsSection[] = "StartUpSeals";
inline constexpr char kSealPrefix[] = "sha256:";
inline constexpr size_t kSealLength = sizeof kSealPrefix - 1 + kSha256HexLength;  // 71
// A seal is read with room for more than a seal: a longer value comes whole and then is no seal, where a
// buffer of the seal's size would cut it into one that looks right.
inline constexpr size_t kSealBufferSize = 128;

// The seal of contents with this digest.
std::string SealText(const uint8_t (&digest)[kSha256DigestSize]);

// Whether a seal as read holds for contents with this digest: only the exact text SealText gives does. Any
// other value (another case, a cut, blanks inside) is no seal, and fails like a wrong digest.
bool SealMatches(const std::string& seal, const uint8_t (&digest)[kSha256DigestSize]);

// The value of the start-up file's key in the seal section ("NO ENTRY" as the default), or nothing when there
// is no such key. Whether the value is a seal at all is for the caller to judge: any other text is damage.
std::optional<std::string> ReadSeal(const ProfileReader& listFile, const std::string& fileName);

}  // namespace zs::bootstrap
