#include "startup/main_module_command_line.h"

namespace zs::bootstrap {

std::string BuildMainModuleCommandLine(const std::string& targetDirectory, const std::string& sourceDirectory,
                                       const std::string& languageName, bool adminMode) {
    std::string commandLine = targetDirectory + kMainModuleName + " " + sourceDirectory + "," + languageName;
    if (adminMode) commandLine += ",ADMINMODE";
    return commandLine;
}

}  // namespace zs::bootstrap
