// The resource library ZSRES.DLL: loaded from a full path, then made the framework's current resource module.
// Releasing it puts the saved resource module back and frees the library; every end of the run does so except
// a hand-off to a hook and a successful launch of the main module, which keep it until the process ends.
#pragma once

#include <windows.h>

#include <string>

#include "framework/scoped_handle_win32.h"

namespace zs::bootstrap {

class ResourceLibrary {
  public:
    ResourceLibrary() = default;
    ~ResourceLibrary() { Release(); }
    ResourceLibrary(const ResourceLibrary&) = delete;
    ResourceLibrary& operator=(const ResourceLibrary&) = delete;

    // Loads the library from this full path (never through the library search order, so that a library of
    // the same name planted in the current directory or on the PATH is not taken).
    bool Load(const std::string& path);
    HMODULE handle() const { return library_.get(); }
    // Remembers the current resource module and makes the library the current one.
    void MakeCurrent();
    void Release();
    void KeepUntilExit();

  private:
    ScopedLibrary library_;
    HINSTANCE savedResourceModule_ = nullptr;
    bool current_ = false;
};

}  // namespace zs::bootstrap
