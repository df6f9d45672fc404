// setup.exe is built without exceptions: what the C++ runtime would throw (memory that runs out, a string or
// vector past its maximum size, an index out of range) ends the process at once with the stopped status, and
// a nothrow allocation still returns nothing. Run in runtime_failure.exe, linked with setup.exe's
// replacements.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "startup/exit_status.h"

namespace zs::bootstrap {
namespace {

// The exit status of runtime_failure.exe (beside this test) run with `what`; -1 when it does not start.
long RunFailure(const std::string& what) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string program(path);
    program.erase(program.rfind('\\') + 1);
    program += "runtime_failure.exe";
    std::string commandLine = "runtime_failure.exe " + what;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return -1;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 0;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<long>(status);
}

TEST(RuntimeFailureTest, EndsTheProcessWithTheStoppedStatus) {
    const struct {
        const char* what;
        long status;
    } cases[] = {
        {"new", kExitStopped},           {"new[]", kExitStopped},        {"string-length", kExitStopped},
        {"vector-length", kExitStopped}, {"out-of-range", kExitStopped}, {"nothrow", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(RunFailure(c.what), c.status) << c.what;
}

}  // namespace
}  // namespace zs::bootstrap
