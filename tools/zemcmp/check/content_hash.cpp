#include "check/content_hash.h"

#include <vector>

#include "compress/file_handle.h"
#include "startup/sha256.h"

namespace zs::zemcmp {

bool HashFileContents(const OpenFile& file, bootstrap::ContentDigest& digest, std::string* problem) {
    constexpr uint32_t kBlock = 1u << 16;
    std::vector<uint8_t> buffer(kBlock);
    Sha256 hash;
    for (;;) {
        const long got = codec::ReadHandle(file.handle(), buffer.data(), kBlock);
        if (got < 0) {
            *problem = "a read failed";
            return false;
        }
        if (got == 0) break;
        hash.Update(buffer.data(), static_cast<size_t>(got));
    }
    hash.Final(digest);
    return true;
}

}  // namespace zs::zemcmp
