// Where `zemcmp build` takes setup.exe and ZSRES.DLL from: the directory given with --program, or else the
// release package's own copies, found from where this zemcmp stands in the package (cmake/Packaging.cmake):
// tools/linux/zemcmp and tools/windows/zemcmp.exe stand beside medium/, which holds the two.
#pragma once

#include <string>

namespace zs::zemcmp {

// The directory, or false with the problem: a --program that is no directory, or no --program outside a
// release package.
bool FindProgramDirectory(const std::string& given, std::string* directory, std::string* problem);

}  // namespace zs::zemcmp
