#include "target_process.h"

#include <vector>

namespace zs::uidriver {

TargetProcess::~TargetProcess() {
    if (suspendedThread_ != nullptr) CloseHandle(suspendedThread_);
    if (process_ != nullptr) CloseHandle(process_);
}

bool TargetProcess::Start(const std::wstring& commandLine, const std::wstring& directory, bool suspended,
                          std::wstring* error) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    // Under load Wine now and then fails to bring up a new process with ERROR_INTERNAL_ERROR although
    // nothing is wrong with the program; that is the harness's problem, not the program's, so try again.
    constexpr int kAttempts = 5;
    for (int attempt = 1;; ++attempt) {
        // CreateProcessW may write into the command line.
        std::vector<wchar_t> command(commandLine.begin(), commandLine.end());
        command.push_back(L'\0');
        if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, suspended ? CREATE_SUSPENDED : 0,
                           nullptr, directory.empty() ? nullptr : directory.c_str(), &startup, &info)) {
            break;
        }
        DWORD code = GetLastError();
        if (code != ERROR_INTERNAL_ERROR || attempt == kAttempts) {
            *error = L"CreateProcess failed with error " + std::to_wstring(code);
            return false;
        }
        Sleep(200 * attempt);
    }
    if (suspended) {
        suspendedThread_ = info.hThread;
    } else {
        CloseHandle(info.hThread);
    }
    process_ = info.hProcess;
    id_ = info.dwProcessId;
    threadId_ = info.dwThreadId;
    return true;
}

void TargetProcess::Resume() {
    if (suspendedThread_ == nullptr) return;
    ResumeThread(suspendedThread_);
    CloseHandle(suspendedThread_);
    suspendedThread_ = nullptr;
}

bool TargetProcess::HasEnded() const {
    return WaitForEnd(0);
}

bool TargetProcess::WaitForEnd(DWORD limitMs) const {
    return process_ == nullptr || WaitForSingleObject(process_, limitMs) == WAIT_OBJECT_0;
}

DWORD TargetProcess::ExitCode() const {
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    return code;
}

void TargetProcess::Terminate(UINT exitCode) {
    TerminateProcess(process_, exitCode);
    WaitForSingleObject(process_, 5000);
}

}  // namespace zs::uidriver
