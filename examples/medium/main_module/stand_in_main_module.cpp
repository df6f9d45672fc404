// A stand-in for the main setup module _SETUP.EXE of the example medium. setup.exe starts it from the
// temporary directory once the start-up files are there; it writes down what it received and ends:
//
//   command_line=<its command line, as setup.exe built it>
//   program=<its own path>
//   current_directory=<the current directory it was started in>
//   file=<name>\t<size>\t<FNV-1a 64 hash of the contents, hex>     one line per file beside it, sorted
//   restart_request=<what it wrote to the registry, when asked to>
//   run_exit=<the exit status of the program it ran, when asked to>
//
// Environment (all optional):
//   ZS_MAIN_MODULE_REPORT   where the report goes (default: MAINMOD.TXT in the Windows directory)
//   ZS_MAIN_MODULE_RESTART  leave a restart request for setup.exe: the value "Reboot" under
//                           HKEY_LOCAL_MACHINE\Software\Zemrova\<AppName>\Setup, as text, or as a 32-bit
//                           number when written "dword:N". AppName comes from SETUP.LST in the source
//                           directory that the command line names.
//   ZS_MAIN_MODULE_SHOW     "1": also shows the report in a message box and waits for OK
//   ZS_MAIN_MODULE_DELAY_MS waits so many milliseconds before it looks at its files (setup.exe waits)
//   ZS_MAIN_MODULE_EXIT     the exit code (default 0)
//   ZS_MAIN_MODULE_WRITE    leaves a file of this name beside itself, as a main module that unpacks
//                           something into its directory would
//   ZS_MAIN_MODULE_RUN      a command line that it runs and waits for (at most a minute) before it reports:
//                           a second setup.exe started while the first one waits, say
//   ZS_MAIN_MODULE_HOLD     NAME:MS: the file NAME beside it stays open (not shared for deletion) for MS
//                           milliseconds after it has ended, as a virus scanner holds a file it looks at. A
//                           copy of this program from the medium, started as "_SETUP.EXE /hold MS", inherits
//                           the handle and waits.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string Environment(const char* name) {
    char value[1024];
    DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length > 0 && length < sizeof value ? std::string(value, length) : std::string();
}

std::string ModulePath() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    return length > 0 && length < sizeof path ? std::string(path, length) : std::string();
}

std::string DirectoryOf(const std::string& path) {
    size_t slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// FNV-1a, 64 bits: enough to tell whether a file arrived with the right contents.
bool HashFile(const std::string& path, uint64_t& hash, uint64_t& size) {
    HANDLE file =
        CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    hash = 14695981039346656037ull;
    size = 0;
    std::vector<unsigned char> buffer(65536);
    DWORD got = 0;
    while (ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) && got > 0) {
        for (DWORD i = 0; i < got; ++i) {
            hash ^= buffer[i];
            hash *= 1099511628211ull;
        }
        size += got;
    }
    CloseHandle(file);
    return true;
}

std::vector<std::string> FileLines(const std::string& directory) {
    std::vector<std::string> lines;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((directory + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return lines;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        uint64_t hash = 0, size = 0;
        if (!HashFile(directory + found.cFileName, hash, size)) continue;
        char line[MAX_PATH + 64];
        std::snprintf(line, sizeof line, "file=%s\t%llu\t%016llx", found.cFileName,
                      static_cast<unsigned long long>(size), static_cast<unsigned long long>(hash));
        lines.push_back(line);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(lines.begin(), lines.end());
    return lines;
}

// The source directory is the command line's argument up to the comma that follows its last backslash:
// "C:\TMP\_SETUP.EXE D:\MEDIUM\,English" names "D:\MEDIUM\".
std::string SourceDirectory(const std::string& commandLine) {
    size_t blank = commandLine.find(' ');
    if (blank == std::string::npos) return std::string();
    std::string argument = commandLine.substr(blank + 1);
    size_t end = argument.find("\\,");
    return end == std::string::npos ? std::string() : argument.substr(0, end + 1);
}

std::string LeaveRestartRequest(const std::string& request, const std::string& commandLine) {
    char appName[32] = {};
    GetPrivateProfileStringA("StartUp", "AppName", "", appName, sizeof appName,
                             (SourceDirectory(commandLine) + "SETUP.LST").c_str());
    std::string keyPath = std::string("Software\\Zemrova\\") + appName + "\\Setup";
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return "failed: cannot create HKEY_LOCAL_MACHINE\\" + keyPath;
    }
    LONG result;
    if (request.rfind("dword:", 0) == 0) {
        DWORD number = std::strtoul(request.c_str() + 6, nullptr, 0);
        result = RegSetValueExA(key, "Reboot", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                                sizeof number);
    } else {
        result = RegSetValueExA(key, "Reboot", 0, REG_SZ, reinterpret_cast<const BYTE*>(request.c_str()),
                                static_cast<DWORD>(request.size() + 1));
    }
    RegCloseKey(key);
    return (result == ERROR_SUCCESS ? "Reboot=" : "failed: Reboot=") + request +
           " under HKEY_LOCAL_MACHINE\\" + keyPath;
}

std::string RunAndWait(std::string commandLine) {
    // What it starts must not start the same again.
    SetEnvironmentVariableA("ZS_MAIN_MODULE_RUN", nullptr);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return "failed: CreateProcess error " + std::to_string(GetLastError());
    }
    DWORD code = 0;
    if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process.hProcess, &code)) {
        code = 259;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return std::to_string(code);
}

void HoldAfterExit(const std::string& directory, const std::string& spec, const std::string& commandLine) {
    const size_t colon = spec.rfind(':');
    if (colon == std::string::npos) return;
    SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
    HANDLE file = CreateFileA((directory + spec.substr(0, colon)).c_str(), GENERIC_READ, FILE_SHARE_READ,
                              &inherited, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    // The medium's copy holds it, so that the staged program itself is not in use.
    const std::string holder = SourceDirectory(commandLine) + "_SETUP.EXE";
    std::string holderLine = "\"" + holder + "\" /hold " + spec.substr(colon + 1);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (CreateProcessA(holder.c_str(), holderLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                       &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(file);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const std::string commandLine = GetCommandLineA();
    const size_t hold = commandLine.find(" /hold ");
    if (hold != std::string::npos) {
        Sleep(static_cast<DWORD>(std::strtoul(commandLine.c_str() + hold + 7, nullptr, 10)));
        return 0;
    }
    Sleep(static_cast<DWORD>(std::strtoul(Environment("ZS_MAIN_MODULE_DELAY_MS").c_str(), nullptr, 10)));
    const std::string program = ModulePath();
    char currentDirectory[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof currentDirectory, currentDirectory);

    std::string report = "command_line=" + commandLine + "\n";
    report += "program=" + program + "\n";
    report += "current_directory=" + std::string(currentDirectory) + "\n";
    for (const std::string& line : FileLines(DirectoryOf(program))) report += line + "\n";
    const std::string restart = Environment("ZS_MAIN_MODULE_RESTART");
    if (!restart.empty()) report += "restart_request=" + LeaveRestartRequest(restart, commandLine) + "\n";
    const std::string run = Environment("ZS_MAIN_MODULE_RUN");
    if (!run.empty()) report += "run_exit=" + RunAndWait(run) + "\n";
    const std::string held = Environment("ZS_MAIN_MODULE_HOLD");
    if (!held.empty()) HoldAfterExit(DirectoryOf(program), held, commandLine);
    const std::string leftOver = Environment("ZS_MAIN_MODULE_WRITE");
    if (!leftOver.empty()) {
        if (std::FILE* file = std::fopen((DirectoryOf(program) + leftOver).c_str(), "wb")) std::fclose(file);
    }

    std::string reportPath = Environment("ZS_MAIN_MODULE_REPORT");
    if (reportPath.empty()) {
        char windows[MAX_PATH] = {};
        GetWindowsDirectoryA(windows, sizeof windows);
        reportPath = std::string(windows) + "\\MAINMOD.TXT";
    }
    // Written under another name and renamed when complete, so that a reader never sees half a report.
    const std::string partial = reportPath + ".partial";
    if (std::FILE* file = std::fopen(partial.c_str(), "wb")) {
        std::fwrite(report.data(), 1, report.size(), file);
        std::fclose(file);
        MoveFileExA(partial.c_str(), reportPath.c_str(), MOVEFILE_REPLACE_EXISTING);
    }

    if (Environment("ZS_MAIN_MODULE_SHOW") == "1") {
        MessageBoxA(nullptr, report.c_str(), "Main setup module (stand-in)", MB_OK | MB_ICONINFORMATION);
    }
    return std::atoi(Environment("ZS_MAIN_MODULE_EXIT").c_str());
}
