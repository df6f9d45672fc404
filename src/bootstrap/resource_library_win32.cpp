#include "bootstrap/resource_library_win32.h"

#include "framework/win_app_win32.h"

namespace zs::bootstrap {

bool ResourceLibrary::Load(const std::string& path) {
    library_ = LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    return library_ != nullptr;
}

void ResourceLibrary::MakeCurrent() {
    savedResourceModule_ = framework::AfxGetResourceHandle();
    framework::AfxSetResourceHandle(library_);
    current_ = true;
}

void ResourceLibrary::Release() {
    if (current_) framework::AfxSetResourceHandle(savedResourceModule_);
    current_ = false;
    if (library_) FreeLibrary(library_);
    library_ = nullptr;
}

void ResourceLibrary::KeepUntilExit() {
    library_ = nullptr;
    current_ = false;
}

}  // namespace zs::bootstrap
