// The command line of the main setup module: its path, one blank, and one argument that names the source
// directory and the chosen language, with ",ADMINMODE" added for an administrative run. Nothing is quoted;
// the module parses the line itself. Example: C:\TMP\_SETUP.EXE D:\,Deutsch,ADMINMODE
#pragma once

#include <string>

namespace zs::bootstrap {

inline constexpr char kMainModuleName[] = "_SETUP.EXE";

// targetDirectory and sourceDirectory end in a backslash, as the bootstrapper builds them.
std::string BuildMainModuleCommandLine(const std::string& targetDirectory, const std::string& sourceDirectory,
                                       const std::string& languageName, bool adminMode);

}  // namespace zs::bootstrap
