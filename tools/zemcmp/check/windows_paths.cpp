#include "check/windows_paths.h"

#include <vector>

#include "base/ascii_case.h"
#include "startup/file_name_rules.h"

namespace zs::zemcmp {
namespace {

constexpr size_t kMaxPath = 260;
// CreateDirectory keeps room for a file name of 8.3 characters (and its separator) under MAX_PATH.
constexpr size_t kMaxDirectoryPath = kMaxPath - 12;

bool HasDrive(const std::string& path) {
    return path.size() >= 2 && path[1] == ':' && IsAsciiLetter(path[0]);
}

// The names of a path after its root, with "." and ".." resolved, and the trailing dots and blanks that
// Windows drops dropped (as its conformance tests of RtlGetFullPathName_U show): a name inside the path loses
// only a single trailing dot ("TMP." but not "TMP.." or "TMP. "); the last name, unless a separator follows
// it, loses all its trailing dots and blanks, and when nothing is left of it the path ends in a separator
// ("C:\TMP\.. " and "C:\TMP\..." give "C:\TMP\"). *endsInSeparator tells whether the result keeps one.
std::vector<std::string> Names(const std::string& rest, bool* endsInSeparator) {
    std::vector<std::string> names;
    *endsInSeparator = !rest.empty() && rest.back() == '\\';
    size_t start = 0;
    while (start <= rest.size()) {
        size_t end = rest.find('\\', start);
        if (end == std::string::npos) end = rest.size();
        std::string name = rest.substr(start, end - start);
        const bool last = end == rest.size();
        if (name == "..") {
            if (!names.empty()) names.pop_back();
        } else if (name != "." && !name.empty()) {
            if (last) {
                while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
                if (name.empty()) *endsInSeparator = true;
            } else if (name.size() >= 2 && name.back() == '.' && name[name.size() - 2] != '.') {
                name.pop_back();
            }
            if (!name.empty()) names.push_back(name);
        }
        start = end + 1;
    }
    return names;
}

}  // namespace

std::optional<std::string> FullWindowsPath(const std::string& path, const std::string& currentDirectory) {
    if (path.empty()) return std::nullopt;
    std::string p = path;
    for (char& c : p) {
        if (c == '/') c = '\\';
    }
    std::string current = currentDirectory;
    while (current.size() > 3 && current.back() == '\\') current.pop_back();

    std::string root;  // "C:\" or "\\server\share\"
    std::string rest;
    if (p.size() >= 2 && p[0] == '\\' && p[1] == '\\') {
        size_t share = p.find('\\', 2);
        size_t end = share == std::string::npos ? std::string::npos : p.find('\\', share + 1);
        root = (end == std::string::npos ? p : p.substr(0, end)) + "\\";
        rest = end == std::string::npos ? std::string() : p.substr(end + 1);
    } else if (HasDrive(p)) {
        root = std::string(1, AsciiUpper(p[0])) + ":\\";
        rest = p.substr(2);
        // "C:name" is relative to the drive's current directory: the current directory when it is on that
        // drive, else the drive's root.
        if (rest.empty() || rest[0] != '\\') {
            if (HasDrive(current) && AsciiUpper(current[0]) == AsciiUpper(p[0])) {
                rest = current.substr(2) + "\\" + rest;
            }
        }
    } else if (p[0] == '\\') {
        root = HasDrive(current) ? current.substr(0, 2) + "\\" : "C:\\";
        rest = p;
    } else {
        root = HasDrive(current) ? current.substr(0, 2) + "\\" : "C:\\";
        rest = (HasDrive(current) ? current.substr(2) : current) + "\\" + p;
    }
    std::string full = root;
    bool endsInSeparator = false;
    std::vector<std::string> names = Names(rest, &endsInSeparator);
    for (size_t i = 0; i < names.size(); ++i) full += (i == 0 ? "" : "\\") + names[i];
    // A path that ended in a separator keeps it, as GetFullPathName keeps it.
    if (!names.empty() && endsInSeparator) full += "\\";
    if (full.size() >= kMaxPath) return std::nullopt;
    return full;
}

std::optional<std::string> DirectoryRefusal(const std::string& fullPath) {
    if (fullPath.size() >= kMaxDirectoryPath) {
        return "the path has " + std::to_string(fullPath.size()) +
               " characters, and CreateDirectory takes at most " + std::to_string(kMaxDirectoryPath - 1);
    }
    // The names after the root: "C:\" or "\\server\share\".
    size_t start = 3;
    if (fullPath.compare(0, 2, "\\\\") == 0) {
        const size_t share = fullPath.find('\\', 2);
        start = share == std::string::npos ? fullPath.size() : fullPath.find('\\', share + 1);
        start = start == std::string::npos ? fullPath.size() : start + 1;
    }
    while (start < fullPath.size()) {
        size_t end = fullPath.find('\\', start);
        if (end == std::string::npos) end = fullPath.size();
        const std::string name = fullPath.substr(start, end - start);
        start = end + 1;
        if (name.empty()) continue;
        if (!bootstrap::IsValidWindowsFileName(name)) {
            return "Windows cannot hold the name \"" + name +
                   "\" (it is empty once its trailing dots and blanks go, "
                   "or holds one of < > : \" / | ? * or a control character)";
        }
        if (bootstrap::WithoutTrailingDotsAndBlanks(name).size() != name.size()) {
            return "no directory can be named \"" + name +
                   "\": Windows drops the trailing dots and blanks of a name it makes";
        }
        if (bootstrap::IsDeviceName(name)) return "\"" + name + "\" names a device, not a directory";
    }
    return std::nullopt;
}

}  // namespace zs::zemcmp
