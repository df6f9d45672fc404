// The three functions of the compressed file format: the header stage, then the body coder.
#include "compress/cmpfile.h"

#include <cstring>

#include "compress/codec_control.h"
#include "compress/codec_state.h"
#include "compress/file_handle.h"
#include "compress/lzss.h"

namespace {

bool HasSignature(const CMPHEADER& header) {
    return std::memcmp(header.Signature, CMP_SIGNATURE, sizeof CMP_SIGNATURE) == 0;
}

}  // namespace

extern "C" int ZS_STDCALL IsCmpFile(int file, CMPHEADER* header) {
    if (header == nullptr) return CMP_NOT_COMPRESSED;
    uint32_t size;
    if (!zs::codec::HandleSize(file, &size)) return CMP_NO_FILE_SIZE;
    long got = zs::codec::ReadHandle(file, header, CMP_HEADER_SIZE);
    if (got < 0) return CMP_NOT_COMPRESSED;
    if (got < static_cast<long>(CMP_HEADER_SIZE)) {
        return static_cast<uint32_t>(got) == size ? CMP_NOT_COMPRESSED : CMP_HEADER_READ_SHORT;
    }
    return HasSignature(*header) ? CMP_OK : CMP_NOT_COMPRESSED;
}

namespace zs::codec {

int CompressFileWith(CodecState& state, int source, int destination, CMPHEADER* header) {
    if (header == nullptr) return CMP_HEADER_WRITE_FAILED;
    if (SameFile(source, destination)) return CMP_SAME_FILE;
    // The size goes into the length field after the header: asked first, so that a source without one (a
    // directory) leaves the destination untouched.
    uint32_t size;
    if (!HandleSize(source, &size)) return CMP_NO_FILE_SIZE;
    std::memcpy(header->Signature, CMP_SIGNATURE, sizeof CMP_SIGNATURE);
    if (WriteHandle(destination, header, CMP_HEADER_SIZE) != static_cast<long>(CMP_HEADER_SIZE)) {
        return CMP_HEADER_WRITE_FAILED;
    }
    return Compress(state, source, destination, size);
}

namespace {

int DecompressUpTo(CodecState& state, int source, int destination, CMPHEADER* header, int readHeader,
                   uint32_t limit) {
    if (readHeader != 0 && header == nullptr) return CMP_HEADER_READ_SHORT;
    if (SameFile(source, destination)) return CMP_SAME_FILE;
    if (readHeader != 0) {
        long got = ReadHandle(source, header, CMP_HEADER_SIZE);
        if (got != static_cast<long>(CMP_HEADER_SIZE)) return CMP_HEADER_READ_SHORT;
        if (!HasSignature(*header)) return CMP_NOT_COMPRESSED;
    }
    return Decompress(state, source, destination, limit);
}

}  // namespace

int DecompressFileWith(CodecState& state, int source, int destination, CMPHEADER* header, int readHeader) {
    return DecompressUpTo(state, source, destination, header, readHeader, UINT32_MAX);
}

int DecompressHeadWith(CodecState& state, int source, int destination, CMPHEADER* header, uint32_t limit) {
    return DecompressUpTo(state, source, destination, header, 1, limit);
}

}  // namespace zs::codec

extern "C" int ZS_STDCALL CompressFile32(int source, int destination, CMPHEADER* header) {
    return zs::codec::CompressFileWith(zs::codec::g_codec, source, destination, header);
}

extern "C" int ZS_STDCALL DecompressFile32(int source, int destination, CMPHEADER* header, int readHeader) {
    return zs::codec::DecompressFileWith(zs::codec::g_codec, source, destination, header, readHeader);
}
