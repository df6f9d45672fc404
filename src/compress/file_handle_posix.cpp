// File handles as POSIX file descriptors.
#include "compress/file_handle.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace zs::codec {

// Pipes and terminals may deliver less than asked without being at their end; loop so that a short count
// means the end of the input, as it does for a Win32 file handle.
long ReadHandle(int handle, void* buffer, uint32_t size) {
    auto* out = static_cast<unsigned char*>(buffer);
    uint32_t done = 0;
    while (done < size) {
        ssize_t got = ::read(handle, out + done, size - done);
        if (got < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (got == 0) break;
        done += static_cast<uint32_t>(got);
    }
    return static_cast<long>(done);
}

long WriteHandle(int handle, const void* buffer, uint32_t size) {
    const auto* in = static_cast<const unsigned char*>(buffer);
    uint32_t done = 0;
    while (done < size) {
        ssize_t put = ::write(handle, in + done, size - done);
        if (put < 0) {
            if (errno == EINTR) continue;
            return done > 0 ? static_cast<long>(done) : -1;
        }
        if (put == 0) break;
        done += static_cast<uint32_t>(put);
    }
    return static_cast<long>(done);
}

bool HandleSize(int handle, uint32_t* size) {
    struct stat st;
    // A directory has no file size (and nothing a read would deliver).
    if (::fstat(handle, &st) != 0 || S_ISDIR(st.st_mode)) return false;
    auto low = static_cast<uint32_t>(static_cast<uint64_t>(st.st_size) & 0xFFFFFFFFu);
    if (low == 0xFFFFFFFFu) return false;  // the value Windows uses to say "no size"
    *size = low;
    return true;
}

bool SameFile(int first, int second) {
    if (first == second) return true;
    struct stat a;
    struct stat b;
    if (::fstat(first, &a) != 0 || ::fstat(second, &b) != 0) return false;
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace zs::codec
