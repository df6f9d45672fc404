#include "setup/resource_library_win32.h"

#include "framework/win_app_win32.h"

namespace zs::bootstrap {

bool ResourceLibrary::Load(const std::string& path) {
    library_.reset(LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    return static_cast<bool>(library_);
}

void ResourceLibrary::MakeCurrent() {
    savedResourceModule_ = framework::AfxGetResourceHandle();
    framework::AfxSetResourceHandle(library_.get());
    current_ = true;
}

void ResourceLibrary::Release() {
    if (current_) framework::AfxSetResourceHandle(savedResourceModule_);
    current_ = false;
    library_.reset();
}

void ResourceLibrary::KeepUntilExit() {
    library_.release();
    current_ = false;
}

}  // namespace zs::bootstrap
