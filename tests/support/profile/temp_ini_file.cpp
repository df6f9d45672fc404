#include "temp_ini_file.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace zs::test {

TempIniFile::TempIniFile() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zs-ini-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    directory_ = buffer.data();
    path_ = directory_ + "/SETUP.LST";
}

TempIniFile::~TempIniFile() {
    std::error_code ignored;
    std::filesystem::remove_all(directory_, ignored);
}

void TempIniFile::Write(const std::string& contents) const {
    std::ofstream file(path_, std::ios::binary | std::ios::trunc);
    file << contents;
    if (!file) throw std::runtime_error("cannot write " + path_);
}

}  // namespace zs::test
