#include "bootstrap/private_profile_reader_win32.h"

#include <windows.h>

#include <vector>

namespace zs::bootstrap {

std::string PrivateProfileReader::GetString(const char* section, const char* key, const char* defaultValue,
                                            size_t bufferSize) const {
    if (bufferSize == 0) return std::string();
    std::vector<char> buffer(bufferSize, '\0');
    DWORD length = GetPrivateProfileStringA(section, key, defaultValue, buffer.data(),
                                            static_cast<DWORD>(bufferSize), path_.c_str());
    if (length >= bufferSize) length = static_cast<DWORD>(bufferSize - 1);
    return std::string(buffer.data(), length);
}

}  // namespace zs::bootstrap
