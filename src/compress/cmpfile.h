// The compressed file format and its three functions.
//
// A compressed file is a 32-byte CMPHEADER, a 4-byte little-endian UncompressedSize and a code stream: LZSS
// over a 4096-byte window whose literals and match lengths are coded with an adaptive Huffman code and whose
// match offsets are plain 12-bit fields, packed most significant bit first. There is no checksum and no end
// code; the decoder stops when it has produced UncompressedSize bytes.
//
// File handles are the platform's: Win32 file handles (as returned by CreateFile) on Windows, POSIX file
// descriptors elsewhere. The functions never open, seek, truncate or close a handle; transfers start at the
// handle's current position and leave it where the last transfer ended.
//
// The codec keeps its state in single static instances (codec_state.h): one call at a time per process.
// Tools that code several files at once use states of their own (codec_control.h).
#pragma once

#include <cstdint>

#include "base/calling_convention.h"

// The header record that starts every compressed file.
typedef struct tagCMPHEADER {
    char Signature[7];             // "ZemC32" and a zero byte
    unsigned char CallerData[25];  // the caller's bytes, written unchanged, never read
} CMPHEADER;

static_assert(sizeof(CMPHEADER) == 32, "the header record is 32 bytes on disk");

// Result codes of IsCmpFile, CompressFile32 and DecompressFile32.
enum CmpResult : int {
    CMP_OK = 0,                   // success: the header stage passed and the whole body was processed
    CMP_HEADER_WRITE_FAILED = 3,  // CompressFile32: fewer than 32 header bytes were written
    CMP_HEADER_READ_SHORT = 4,    // IsCmpFile: fewer than 32 bytes read although the file holds more;
                                  // DecompressFile32: fewer than 32 header bytes could be read
    CMP_NOT_COMPRESSED = 5,       // not a compressed file: signature mismatch, file shorter than a header,
                                  // or (IsCmpFile) the read failed
    CMP_NO_FILE_SIZE = 6,         // the platform reported no size for the file, or the handle is a directory
                                  // (which has none); CompressFile32 then writes nothing
    CMP_BODY_TRUNCATED = 7,       // DecompressFile32: the body ended (or could not be read) before
                                  // UncompressedSize bytes were decoded; CompressFile32: the source delivered
                                  // fewer bytes than its size promised
    CMP_WRITE_FAILED = 8,         // a write to the destination failed (disk full, write error)
    CMP_STREAM_OPEN_FAILED = 9,   // a buffered stream could not be opened (no free slot, no memory, or its
                                  // first read of the source failed); a later failed read is
                                  // CMP_BODY_TRUNCATED
    CMP_BODY_DAMAGED = 10,  // DecompressFile32: a match reached past UncompressedSize (output cut there)
    CMP_SAME_FILE = 11,     // CompressFile32, DecompressFile32: source and destination are one file (the same
                            // handle, or two handles of it); refused before anything is read or written
};

inline constexpr char CMP_SIGNATURE[7] = {'Z', 'e', 'm', 'C', '3', '2', '\0'};
inline constexpr unsigned CMP_HEADER_SIZE = 32;
inline constexpr unsigned CMP_LENGTH_SIZE = 4;

extern "C" {

// Tells whether the file starts with a compressed-file header. Reads 32 bytes into *header and leaves the
// position after them, so that 0 can be followed by DecompressFile32(file, destination, header, 0).
// Returns CMP_OK, CMP_HEADER_READ_SHORT, CMP_NOT_COMPRESSED or CMP_NO_FILE_SIZE. A null header pointer gives
// CMP_NOT_COMPRESSED (nothing can be read into it) and reads nothing.
int ZS_STDCALL IsCmpFile(int file, CMPHEADER* header);

// Writes a compressed copy of source (which must stand at its start) to destination. The signature is copied
// into the first seven bytes of *header; the other 25 are written as the caller set them. The length field is
// the platform's size of the source. Returns CMP_OK, CMP_HEADER_WRITE_FAILED, CMP_NO_FILE_SIZE,
// CMP_BODY_TRUNCATED, CMP_WRITE_FAILED, CMP_STREAM_OPEN_FAILED or CMP_SAME_FILE. A null header pointer gives
// CMP_HEADER_WRITE_FAILED (there is no header to write), and source and destination that are one file give
// CMP_SAME_FILE (the header would be written over the source): both before anything is written, and so is
// CMP_NO_FILE_SIZE for a source without a size (a directory handle).
int ZS_STDCALL CompressFile32(int source, int destination, CMPHEADER* header);

// Writes the uncompressed contents of a compressed file. With readHeader not 0 the 32-byte header is read
// into *header and checked first; with 0 the source must stand just after the header and *header is not
// touched. Never writes more than UncompressedSize bytes. Returns CMP_OK, CMP_HEADER_READ_SHORT,
// CMP_NOT_COMPRESSED, CMP_BODY_TRUNCATED, CMP_WRITE_FAILED, CMP_STREAM_OPEN_FAILED, CMP_BODY_DAMAGED or
// CMP_SAME_FILE. With readHeader not 0 a null header pointer gives CMP_HEADER_READ_SHORT (nothing can be read
// into it); source and destination that are one file give CMP_SAME_FILE (the output would overwrite the
// input); both before anything is read or written.
int ZS_STDCALL DecompressFile32(int source, int destination, CMPHEADER* header, int readHeader);

}  // extern "C"
