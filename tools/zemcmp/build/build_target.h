// The output directory of `zemcmp build`, checked before anything is built: OUTPUT must not exist yet or be
// empty; with -f it may also hold a previous build, which is replaced. The build itself is made in a new
// directory beside OUTPUT and renamed into its place only when it is complete and the check passed it, so a
// build that fails or is interrupted leaves OUTPUT as it was.
#pragma once

#include <string>

namespace zs::zemcmp {

struct BuildTarget {
    std::string parent;       // the directory OUTPUT is in: the build is made there
    std::string windowsPath;  // OUTPUT as setup.exe will see it, for the check
};

// False with the problem when OUTPUT cannot take the build: it is a file or a symbolic link, it is not empty
// (without -f), it is not empty and holds no previous build (with -f: a previous build is a directory with
// setup.exe, ZSRES.DLL and a SETUP.LST with a seal section, as a build makes it; anything else may be a
// directory of other files), its parent does not exist, or OUTPUT and SOURCE lie one inside the other.
// `mediumPath` is --medium-path, empty when not given.
bool CheckBuildTarget(const std::string& source, const std::string& output, bool replace,
                      const std::string& mediumPath, BuildTarget* target, std::string* problem);

}  // namespace zs::zemcmp
