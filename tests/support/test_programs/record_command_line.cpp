// record_command_line.exe: a program for setup.exe to start in the end-to-end scenarios. It writes the
// command line it was started with, as one line, to the file named by ZS_TEST_COMMAND_LINE_FILE and ends.
#include <windows.h>

#include <cstdio>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char path[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("ZS_TEST_COMMAND_LINE_FILE", path, sizeof path);
    if (length == 0 || length >= sizeof path) return 2;
    std::FILE* file = std::fopen(path, "wb");
    if (!file) return 3;
    std::fprintf(file, "%s\n", GetCommandLineA());
    std::fclose(file);
    return 0;
}
