// In-memory files with real descriptors for the fuzz targets, so the codec runs over its ordinary handle
// interface.
#pragma once

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace zs::fuzz {

class MemoryFile {
  public:
    MemoryFile() : fd_(memfd_create("fuzz", 0)) {
        if (fd_ < 0) std::abort();
    }
    MemoryFile(const uint8_t* data, size_t size) : MemoryFile() {
        if (size > 0 && write(fd_, data, size) != static_cast<ssize_t>(size)) std::abort();
        lseek(fd_, 0, SEEK_SET);
    }
    ~MemoryFile() { close(fd_); }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    int fd() const { return fd_; }
    uint64_t Size() const {
        struct stat st;
        fstat(fd_, &st);
        return static_cast<uint64_t>(st.st_size);
    }

  private:
    int fd_;
};

}  // namespace zs::fuzz
