#include "services/setup_log_win32.h"

#include <windows.h>
#include <io.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace zs {
namespace {

constexpr char kLogFileName[] = "ZEMSETUP.LOG";
constexpr UINT kWindowsDirectorySize = MAX_PATH;
// Room for the longest Windows directory, the backslash and the file name with its NUL.
constexpr size_t kLogPathSize = kWindowsDirectorySize + 1 + sizeof kLogFileName;

// The log's full path: the Windows directory, a backslash unless it already ends with one, and the file name.
// Built anew on every call. False when the system does not report the Windows directory.
bool GetLogFilePath(char (&path)[kLogPathSize]) {
    UINT length = GetWindowsDirectoryA(path, kWindowsDirectorySize);
    if (length == 0 || length >= kWindowsDirectorySize) return false;
    if (path[length - 1] != '\\') path[length++] = '\\';
    std::memcpy(path + length, kLogFileName, sizeof kLogFileName);
    return true;
}

// The log file an unattended run named; empty while the log is ZEMSETUP.LOG.
char g_logFileOfRun[MAX_PATH];
// The run named a log file that may not be used: it has no log at all.
bool g_logOff = false;

}  // namespace

bool SetSetupLogFile(const char* path) {
    const size_t length = std::strlen(path);
    g_logOff = length == 0 || length >= sizeof g_logFileOfRun;
    if (g_logOff) return length == 0;
    std::memcpy(g_logFileOfRun, path, length + 1);
    if (FILE* log = std::fopen(g_logFileOfRun, "a")) std::fclose(log);
    return true;
}

void WriteSetupLog(const char* format, ...) {
    if (g_logOff) return;
    char path[kLogPathSize];
    if (g_logFileOfRun[0] != '\0') {
        std::memcpy(path, g_logFileOfRun, sizeof g_logFileOfRun);
    } else {
        if (!GetLogFilePath(path)) return;
        // Tracing is on only while the file exists; the message is not even formatted otherwise.
        if (_access(path, 0) != 0) return;
    }
    // A log marked read-only is left as it is, also where the file system would let this account write it.
    // The run's own log file is created when missing: its directory may be one the run has only just created.
    if (_access(path, 0) == 0 && _access(path, 2) != 0) return;

    char line[kLogLineBufferSize];
    va_list args;
    va_start(args, format);
    size_t length = FormatLogLineV(line, format, args);
    va_end(args);

    // Text mode (the runtime's default translation is never switched to binary), so the line feed reaches the
    // disk as CR LF. Opened and closed for every line: nothing stays open between two calls.
    FILE* log = std::fopen(path, "a");
    if (!log) return;
    std::fwrite(line, length, 1, log);
    std::fclose(log);
}

}  // namespace zs
