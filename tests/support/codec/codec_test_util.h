// Runs the codec's file-handle interface on in-memory data through anonymous temporary files.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "compress/cmpfile.h"

namespace zs::test {

using Bytes = std::vector<uint8_t>;

Bytes ToBytes(const std::string& text);
Bytes RandomBytes(size_t size, uint32_t seed);

// An anonymous temporary file that goes away with the object.
class TempFile {
  public:
    TempFile();
    explicit TempFile(const Bytes& contents);
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    int fd() const;
    void Rewind() const;
    Bytes Contents() const;  // the whole file, position unchanged

  private:
    FILE* file_;
};

struct CodecRun {
    int result = -1;
    Bytes output;
};

// The body (everything after the 32-byte header) of CompressFile32's output.
CodecRun CompressBody(const Bytes& input);
// The whole compressed file.
CodecRun CompressWhole(const Bytes& input);
// DecompressFile32(..., 1) over a whole compressed file.
CodecRun DecompressWhole(const Bytes& file);
// A whole compressed file for a body.
Bytes WithHeader(const Bytes& body);

}  // namespace zs::test
