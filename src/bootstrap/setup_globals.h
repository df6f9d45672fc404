// Globals of setup.exe, one static instance each for the whole process.
#pragma once

#include <string>

namespace zs::bootstrap {

// 1 switches the Select Language dialog into its location mode (the list file's edition word contains
// "Standard").
extern int g_bStandard;
// The please-wait window's caption: the application name, to which the window appends " " and the chosen
// language's word for the setup program.
extern std::string g_strCaption;
// The main setup module's command line, from the moment it is built until the program ends.
extern std::string g_strCommandLine;

}  // namespace zs::bootstrap
