#include "setup/launcher_wnd_win32.h"

#include <windows.h>

#include <vector>

#include "framework/scoped_handle_win32.h"

namespace zs::bootstrap {

LauncherWnd::~LauncherWnd() = default;

MainModuleStart LauncherWnd::RunMainModule(const std::string& applicationName,
                                           const std::string& strCommandLine,
                                           const std::function<void(const MainModuleStart&)>& started) {
    // No window placement, title or show state: the module decides for itself.
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    // CreateProcess may write into the command line, so it gets a copy.
    std::vector<char> commandLine(strCommandLine.begin(), strCommandLine.end());
    commandLine.push_back('\0');

    // The program is named apart from the command line: taken from the unquoted command line, a target
    // directory with blanks ("C:\My Temp\_SETUP.EXE") would make the system try "C:\My.exe" first. The text
    // that the module receives as its command line stays the same.
    MainModuleStart result;
    result.started = CreateProcessA(applicationName.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                    NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup, &process) != FALSE;
    if (!result.started) result.errorCode = GetLastError();
    ScopedHandle processHandle(process.hProcess);
    ScopedHandle threadHandle(process.hThread);
    if (started) started(result);
    if (result.started) WaitForSingleObject(processHandle.get(), INFINITE);
    return result;
}

}  // namespace zs::bootstrap
