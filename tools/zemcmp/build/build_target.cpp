#include "build/build_target.h"

#include <vector>

#include "check/medium_directory.h"
#include "files/output_names.h"
#include "platform/platform.h"
#include "profile/ini_file_reader.h"
#include "startup/list_file.h"
#include "startup/start_up_rules.h"
#include "startup/start_up_seals.h"

namespace zs::zemcmp {
namespace {

// Deeper than any directory tree a path can name: the walk up ends at the root long before.
constexpr int kMaxDepth = 4096;

// The path without trailing slashes, except those of a root ("/", "C:\").
std::string WithoutTrailingSeparators(std::string path) {
    while (path.size() > 1 && (path.back() == '/' || path.back() == '\\') && IsPathSeparator(path.back()) &&
           path[path.size() - 2] != ':') {
        path.pop_back();
    }
    return path;
}

std::string ParentDirectory(const std::string& path) {
    std::string parent = DirectoryPart(WithoutTrailingSeparators(path));
    return parent.empty() ? std::string(".") : WithoutTrailingSeparators(parent);
}

// Whether `inner` is `outer` or lies inside it, told by the identities of the directories on the way up from
// `inner`: links and other spellings of a path count as the directory they lead to.
bool IsSameOrInside(const std::string& inner, const std::string& outer) {
    FileIdentity outerIdentity;
    FileIdentity identity;
    if (!IdentifyPath(outer, &outerIdentity) || !IdentifyPath(inner, &identity)) return false;
    std::string path = inner;
    for (int depth = 0; depth < kMaxDepth; ++depth) {
        if (identity == outerIdentity) return true;
        path = JoinPath(path, "..");
        FileIdentity up;
        if (!IdentifyPath(path, &up) || up == identity) return false;  // the root is its own parent
        identity = up;
    }
    return false;
}

// A directory as a build leaves it: setup.exe, ZSRES.DLL and a list file with a seal section.
bool IsPreviousBuild(const std::string& directory) {
    MediumDirectory medium;
    std::string error;
    if (!medium.Open(directory, "", &error)) return false;
    MediumFile list = medium.Find(bootstrap::kListFileName);
    if (!list.IsFile() || !medium.Find("setup.exe").IsFile() ||
        !medium.Find(bootstrap::kResourceLibraryName).IsFile()) {
        return false;
    }
    const bootstrap::IniFileReader reader(list.path);
    for (const bootstrap::IniFileReader::Section& section : reader.Sections()) {
        if (SameFileName(section.name, bootstrap::kStartUpSealsSection)) return true;
    }
    return false;
}

}  // namespace

bool CheckBuildTarget(const std::string& source, const std::string& output, bool replace,
                      const std::string& mediumPath, BuildTarget* target, std::string* problem) {
    if (QueryPath(source) != PathKind::kDirectory) {
        *problem = source + ": is not a directory (SOURCE is the folder the medium is built from)";
        return false;
    }
    if (IsSymbolicLink(output)) {
        *problem =
            output + ": is a symbolic link; a build goes into a directory of its own, never through a link";
        return false;
    }
    target->parent = ParentDirectory(output);
    const PathKind kind = QueryPath(output);
    if (kind == PathKind::kFile || kind == PathKind::kOther) {
        *problem = output + ": exists and is not a directory";
        return false;
    }
    if (kind == PathKind::kMissing && QueryPath(target->parent) != PathKind::kDirectory) {
        *problem = output + ": cannot be made: " + target->parent + " is not a directory";
        return false;
    }
    if (IsSameOrInside(kind == PathKind::kDirectory ? output : target->parent, source)) {
        *problem = output + ": lies inside the source " + source + " (the build would copy itself)";
        return false;
    }
    if (kind == PathKind::kDirectory && IsSameOrInside(source, output)) {
        *problem = source + ": lies inside the output directory " + output + ", which the build replaces";
        return false;
    }
    if (kind == PathKind::kDirectory) {
        std::vector<DirectoryEntry> entries;
        std::string error;
        if (!ListDirectory(output, &entries, &error)) {
            *problem = output + ": " + error;
            return false;
        }
        if (!entries.empty() && !replace) {
            *problem = output +
                       ": is not empty (a build goes into a new or empty directory; -f replaces a "
                       "previous build)";
            return false;
        }
        if (!entries.empty() && !IsPreviousBuild(output)) {
            *problem = output + ": is not empty and holds no previous build (setup.exe, ZSRES.DLL and a " +
                       bootstrap::kListFileName + " with a [" + bootstrap::kStartUpSealsSection +
                       "] section): -f replaces only a build, never other files; empty it or choose another "
                       "output directory";
            return false;
        }
    }
    if (!mediumPath.empty()) {
        target->windowsPath = mediumPath;
    } else {
        std::string parent = WindowsPathOfDirectory(target->parent);
        if (parent.empty() || parent.back() != '\\') parent += '\\';
        target->windowsPath = parent + BaseName(WithoutTrailingSeparators(output));
    }
    return true;
}

}  // namespace zs::zemcmp
