#include "build/program_directory.h"

#include "check/medium_directory.h"
#include "files/output_names.h"
#include "platform/platform.h"

namespace zs::zemcmp {
namespace {

// The directory a path is in, without its trailing separator.
std::string Parent(const std::string& path) {
    std::string parent = DirectoryPart(path);
    while (parent.size() > 1 && IsPathSeparator(parent.back())) parent.pop_back();
    return parent;
}

}  // namespace

bool FindProgramDirectory(const std::string& given, std::string* directory, std::string* problem) {
    if (!given.empty()) {
        if (QueryPath(given) != PathKind::kDirectory) {
            *problem =
                given + ": is not a directory (--program names the directory of setup.exe and ZSRES.DLL)";
            return false;
        }
        *directory = given;
        return true;
    }
    const std::string program = ProgramPath();
    const std::string tools = Parent(Parent(program));  // .../tools of .../tools/linux/zemcmp
    if (!program.empty() && SameFileName(BaseName(tools), "tools")) {
        const std::string medium = JoinPath(Parent(tools), "medium");
        if (QueryPath(medium) == PathKind::kDirectory) {
            *directory = medium;
            return true;
        }
    }
    *problem =
        "no --program DIR given, and this zemcmp (" + (program.empty() ? std::string("?") : program) +
        ") does not stand in a release package, whose medium/ folder holds setup.exe and ZSRES.DLL: name "
        "the directory that holds them with --program DIR";
    return false;
}

}  // namespace zs::zemcmp
