// One run at a time per temporary directory: a named mutex whose name stands for the directory's full path,
// taken before the directory is looked at or created and held until the clean-up is done. Two runs on one
// directory would otherwise take each other's staged and set-aside files for their own.
//
// The name lies in the Global\ namespace: a directory is shared by every session of the machine (a second
// user's session, a remote desktop, a service that runs setup.exe unattended in session 0), and a mutex,
// unlike a file mapping, needs no privilege there. Kernel object names cannot hold a backslash after the
// namespace, so the folded path is hashed (64-bit FNV-1a).
#pragma once

#include "startup/start_up_host.h"

namespace zs::bootstrap {

class TargetDirectoryLock {
  public:
    TargetDirectoryLock() = default;
    ~TargetDirectoryLock() { Release(); }
    TargetDirectoryLock(const TargetDirectoryLock&) = delete;
    TargetDirectoryLock& operator=(const TargetDirectoryLock&) = delete;

    // `directory`: a full path without its trailing backslash.
    DirectoryLock Take(const std::string& directory);
    void Release();

  private:
    void* mutex_ = nullptr;
};

}  // namespace zs::bootstrap
