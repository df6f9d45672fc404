#include "startup/start_up_rules.h"

#include "base/ascii_case.h"
#include "startup/file_name_rules.h"

namespace zs::bootstrap {

bool IsDriveLetterDirectory(const std::string& directory) {
    return directory.size() >= 3 && directory[1] == ':' && directory[2] == '\\';
}

bool HasAdminSwitch(const std::string& commandLine) {
    return commandLine.find("/a") != std::string::npos || commandLine.find("/A") != std::string::npos;
}

std::string DirectoryWithBackslash(const std::string& modulePath) {
    size_t slash = modulePath.rfind('\\');
    return slash == std::string::npos ? std::string() : modulePath.substr(0, slash + 1);
}

std::string TemporaryDirectoryPath(const std::string& tmpDirName) {
    const bool bareDrive = tmpDirName.size() == 2 && tmpDirName[1] == ':' && IsAsciiLetter(tmpDirName[0]);
    return bareDrive ? tmpDirName + "\\" : tmpDirName;
}

bool SameDirectory(const std::string& a, const std::string& b) {
    auto withoutBackslash = [](std::string path) {
        while (!path.empty() && path.back() == '\\') path.pop_back();
        return AsciiUpperCase(std::move(path));
    };
    return withoutBackslash(a) == withoutBackslash(b);
}

bool IsUsableLogPath(const std::string& logPath, const std::string& sourceDirectory) {
    if (logPath.rfind("\\\\.\\", 0) == 0) return false;
    if (IsDeviceName(logPath.substr(logPath.rfind('\\') + 1))) return false;
    return sourceDirectory.empty() || logPath.compare(0, sourceDirectory.size(), sourceDirectory) != 0;
}

}  // namespace zs::bootstrap
