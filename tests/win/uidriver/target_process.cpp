#include "target_process.h"

#include <vector>

namespace zs::uidriver {

TargetProcess::~TargetProcess() {
    if (process_ != nullptr) CloseHandle(process_);
}

bool TargetProcess::Start(const std::wstring& commandLine, const std::wstring& directory,
                          std::wstring* error) {
    // CreateProcessW may write into the command line.
    std::vector<wchar_t> command(commandLine.begin(), commandLine.end());
    command.push_back(L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        directory.empty() ? nullptr : directory.c_str(), &startup, &info)) {
        *error = L"CreateProcess failed with error " + std::to_wstring(GetLastError());
        return false;
    }
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    id_ = info.dwProcessId;
    return true;
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
