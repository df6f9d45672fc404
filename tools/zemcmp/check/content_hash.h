// The SHA-256 of a plain start-up file of the medium, read to its end: what setup.exe's copy of it hashes.
#pragma once

#include <string>

#include "platform/platform.h"
#include "startup/start_up_host.h"

namespace zs::zemcmp {

// Reads the open file from where it stands to its end. False, with the problem, when a read fails.
bool HashFileContents(const OpenFile& file, bootstrap::ContentDigest& digest, std::string* problem);

}  // namespace zs::zemcmp
