// The launcher record in the real WIN.INI: "ExitCode" written and flushed, the section kept for a launcher
// that asked for it and removed otherwise.
#include "setup/launcher_record_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace zs::bootstrap {
namespace {

std::string WinIniValue(const char* key) {
    char value[64] = {};
    GetProfileStringA(kLauncherSection, key, "(none)", value, sizeof value);
    return value;
}

bool SectionExists() {
    char keys[256] = {};
    return GetProfileStringA(kLauncherSection, nullptr, "", keys, sizeof keys) > 0;
}

std::string WinIniFileText() {
    char directory[MAX_PATH] = {};
    GetWindowsDirectoryA(directory, sizeof directory);
    std::string path = std::string(directory) + "\\win.ini";
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string text(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    ReadFile(file, text.data(), static_cast<DWORD>(text.size()), &read, nullptr);
    CloseHandle(file);
    text.resize(read);
    return text;
}

class LauncherRecordTest : public ::testing::Test {
  protected:
    void SetUp() override { WriteProfileStringA(kLauncherSection, nullptr, nullptr); }
    void TearDown() override {
        WriteProfileStringA(kLauncherSection, nullptr, nullptr);
        WriteProfileStringA(nullptr, nullptr, nullptr);
    }
};

TEST_F(LauncherRecordTest, ExitCodeIsWrittenToTheFileAtOnce) {
    EXPECT_EQ(WriteLauncherExitCode(0), 1);
    EXPECT_EQ(WinIniValue(kLauncherExitCodeKey), "0");
    EXPECT_NE(WinIniFileText().find("[ZemStpLauncher]"), std::string::npos);
    EXPECT_NE(WinIniFileText().find("ExitCode=0"), std::string::npos);
    EXPECT_EQ(WriteLauncherExitCode(-12), 1);
    EXPECT_EQ(WinIniValue(kLauncherExitCodeKey), "-12");
}

TEST_F(LauncherRecordTest, SectionWithoutLauncherValueIsRemoved) {
    WriteLauncherExitCode(0);
    // The result is the flush's, which differs between systems (Wine reports 0).
    ReleaseLauncherSection();
    EXPECT_FALSE(SectionExists());
    EXPECT_EQ(WinIniFileText().find("[ZemStpLauncher]"), std::string::npos);
}

TEST_F(LauncherRecordTest, LauncherValueOfZeroOrNotANumberCountsAsNone) {
    for (const char* launcher : {"0", "yes", ""}) {
        WriteProfileStringA(kLauncherSection, kLauncherKeepKey, launcher);
        WriteLauncherExitCode(0);
        ReleaseLauncherSection();
        EXPECT_FALSE(SectionExists()) << "Launcher=" << launcher;
    }
}

TEST_F(LauncherRecordTest, NonZeroLauncherValueKeepsTheSection) {
    WriteProfileStringA(kLauncherSection, kLauncherKeepKey, "1");
    WriteLauncherExitCode(0);
    EXPECT_EQ(ReleaseLauncherSection(), 1);
    EXPECT_EQ(WinIniValue(kLauncherExitCodeKey), "0");
    EXPECT_EQ(WinIniValue(kLauncherKeepKey), "1");

    // Read like atoi: leading digits count.
    WriteProfileStringA(kLauncherSection, kLauncherKeepKey, "42abc");
    EXPECT_EQ(ReleaseLauncherSection(), 42);
    EXPECT_TRUE(SectionExists());
}

}  // namespace
}  // namespace zs::bootstrap
