// The text of --help and --version.
#pragma once

#include <cstdio>

namespace zs::zemcmp {

void PrintHelp(std::FILE* out);
void PrintVersion(std::FILE* out);

}  // namespace zs::zemcmp
