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

    // Starts COMMANDLINE in DIRECTORY (the driver's own when empty); sets *error when that fails. With
    // SUSPENDED its main thread waits for Resume, so that it can be hooked before it runs.
    bool Start(const std::wstring& commandLine, const std::wstring& directory, bool suspended,
               std::wstring* error);
    void Resume();

    DWORD Id() const { return id_; }
    DWORD MainThreadId() const { return threadId_; }
    HANDLE Handle() const { return process_; }
    bool HasEnded() const;
    // Waits at most LIMITMS for the program to end; true when it has ended.
    bool WaitForEnd(DWORD limitMs) const;
    // The exit code of an ended program.
    DWORD ExitCode() const;
    void Terminate(UINT exitCode);

  private:
    HANDLE process_ = nullptr;
    HANDLE suspendedThread_ = nullptr;
    DWORD id_ = 0;
    DWORD threadId_ = 0;
};

}  // namespace zs::uidriver
