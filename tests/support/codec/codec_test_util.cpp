#include "codec_test_util.h"

#include <unistd.h>

#include <random>
#include <stdexcept>

namespace zs::test {

Bytes ToBytes(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

Bytes RandomBytes(size_t size, uint32_t seed) {
    std::mt19937 rng(seed);
    Bytes out(size);
    for (auto& b : out) b = static_cast<uint8_t>(rng());
    return out;
}

TempFile::TempFile() : file_(std::tmpfile()) {
    if (file_ == nullptr) throw std::runtime_error("tmpfile failed");
}

TempFile::TempFile(const Bytes& contents) : TempFile() {
    if (!contents.empty() &&
        ::write(fd(), contents.data(), contents.size()) != static_cast<ssize_t>(contents.size())) {
        throw std::runtime_error("write failed");
    }
    Rewind();
}

TempFile::~TempFile() {
    std::fclose(file_);
}

int TempFile::fd() const {
    return fileno(file_);
}

void TempFile::Rewind() const {
    ::lseek(fd(), 0, SEEK_SET);
}

Bytes TempFile::Contents() const {
    off_t here = ::lseek(fd(), 0, SEEK_CUR);
    off_t end = ::lseek(fd(), 0, SEEK_END);
    Bytes out(static_cast<size_t>(end));
    if (end > 0 && ::pread(fd(), out.data(), out.size(), 0) != end) throw std::runtime_error("read failed");
    ::lseek(fd(), here, SEEK_SET);
    return out;
}

CodecRun CompressWhole(const Bytes& input) {
    TempFile source(input), destination;
    CMPHEADER header{};
    CodecRun run;
    run.result = CompressFile32(source.fd(), destination.fd(), &header);
    run.output = destination.Contents();
    return run;
}

CodecRun CompressBody(const Bytes& input) {
    CodecRun run = CompressWhole(input);
    if (run.output.size() >= CMP_HEADER_SIZE)
        run.output.erase(run.output.begin(), run.output.begin() + CMP_HEADER_SIZE);
    return run;
}

CodecRun DecompressWhole(const Bytes& file) {
    TempFile source(file), destination;
    CMPHEADER header{};
    CodecRun run;
    run.result = DecompressFile32(source.fd(), destination.fd(), &header, 1);
    run.output = destination.Contents();
    return run;
}

Bytes WithHeader(const Bytes& body) {
    Bytes file(CMP_HEADER_SIZE + body.size(), 0);
    std::copy(std::begin(CMP_SIGNATURE), std::end(CMP_SIGNATURE), file.begin());
    std::copy(body.begin(), body.end(), file.begin() + CMP_HEADER_SIZE);
    return file;
}

}  // namespace zs::test
