// Arbitrary bytes through IsCmpFile and DecompressFile32: no crash, no sanitizer report, never more output
// than the length field says, and exactly that much when the result is success.
#include <cstring>

#include "compress/cmpfile.h"
#include "compress/codec_control.h"
#include "fuzz_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    zs::codec::ResetCodecState();
    uint64_t length = 0;
    if (size >= CMP_HEADER_SIZE + CMP_LENGTH_SIZE) {
        for (int i = 3; i >= 0; --i) length = length << 8 | data[CMP_HEADER_SIZE + static_cast<size_t>(i)];
    }

    // Header test first, then the body from where it stopped.
    {
        zs::fuzz::MemoryFile source(data, size), destination;
        CMPHEADER header;
        if (IsCmpFile(source.fd(), &header) == CMP_OK) {
            int result = DecompressFile32(source.fd(), destination.fd(), &header, 0);
            if (destination.Size() > length) __builtin_trap();
            if (result == CMP_OK && destination.Size() != length) __builtin_trap();
        }
    }
    // The same bytes with the header read by the decompressor, signature forced so the body is reached.
    if (size >= CMP_HEADER_SIZE) {
        uint8_t* copy = new uint8_t[size];
        std::memcpy(copy, data, size);
        std::memcpy(copy, CMP_SIGNATURE, sizeof CMP_SIGNATURE);
        zs::fuzz::MemoryFile source(copy, size), destination;
        delete[] copy;
        CMPHEADER header;
        int result = DecompressFile32(source.fd(), destination.fd(), &header, 1);
        if (destination.Size() > length) __builtin_trap();
        if (result == CMP_OK && destination.Size() != length) __builtin_trap();
    }
    return 0;
}
