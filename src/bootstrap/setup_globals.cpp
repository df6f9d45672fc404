#include "bootstrap/setup_globals.h"

namespace zs::bootstrap {

int g_bStandard = 0;
std::string g_strCaption;
std::string g_strCommandLine;

}  // namespace zs::bootstrap
