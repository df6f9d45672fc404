// The program under test: started by the driver, watched, and ended by force if it outlives the steps.
#pragma once

#include <windows.h>

#include <string>

namespace zs::uidriver {

class TargetProcess {
  public:
    TargetProcess() = default;
    ~TargetProcess();
    TargetProcess(const TargetProcess&) = delete;
    TargetProcess& operator=(const TargetProcess&) = delete;

    // Starts COMMANDLINE in DIRECTORY (the driver's own when empty); sets *error when that fails.
    bool Start(const std::wstring& commandLine, const std::wstring& directory, std::wstring* error);

    DWORD Id() const { return id_; }
    bool HasEnded() const;
    // Waits at most LIMITMS for the program to end; true when it has ended.
    bool WaitForEnd(DWORD limitMs) const;
    // The exit code of an ended program.
    DWORD ExitCode() const;
    void Terminate(UINT exitCode);

  private:
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

}  // namespace zs::uidriver
