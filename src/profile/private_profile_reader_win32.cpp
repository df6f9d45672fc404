#include "profile/private_profile_reader_win32.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace zs::bootstrap {

std::string PrivateProfileReader::GetString(const char* section, const char* key, const char* defaultValue,
                                            size_t bufferSize) const {
    // The function is called also for a size of 0 (it then writes nothing), so that every size is Windows'
    // answer; the buffer has room for the list forms' two closing NUL bytes whatever the size.
    DWORD size = static_cast<DWORD>(std::min<size_t>(bufferSize, MAXDWORD - 2));
    std::vector<char> buffer(size + size_t{2}, '\0');
    DWORD length = GetPrivateProfileStringA(section, key, defaultValue, buffer.data(), size, path_.c_str());
    // What the function returns: the characters it copied before the closing NUL byte (the list forms' NUL
    // bytes between names included). Never more than the buffer holds.
    length = std::min<DWORD>(length, size == 0 ? 0 : size - 1);
    return std::string(buffer.data(), length);
}

}  // namespace zs::bootstrap
