// Arbitrary bytes compress and expand back to themselves.
#include <unistd.h>

#include <cstring>
#include <vector>

#include "compress/cmpfile.h"
#include "compress/codec_control.h"
#include "fuzz_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    zs::fuzz::MemoryFile plain(data, size), packed, unpacked;
    CMPHEADER header{};
    if (CompressFile32(plain.fd(), packed.fd(), &header) != CMP_OK) __builtin_trap();
    lseek(packed.fd(), 0, SEEK_SET);
    if (DecompressFile32(packed.fd(), unpacked.fd(), &header, 1) != CMP_OK) __builtin_trap();
    if (unpacked.Size() != size) __builtin_trap();
    std::vector<uint8_t> back(size);
    if (size > 0 && pread(unpacked.fd(), back.data(), size, 0) != static_cast<ssize_t>(size))
        __builtin_trap();
    if (size > 0 && std::memcmp(back.data(), data, size) != 0) __builtin_trap();
    return 0;
}
