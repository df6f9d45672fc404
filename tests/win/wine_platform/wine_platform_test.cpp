// Checks that the Windows-side tests reach the real Win32 services under Wine, as the Win32 layer will use
// them: files on drive C:, WIN.INI through the profile functions, and the registry. Each test removes what it
// made, since the prefix is shared by every test run.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "test_files.h"

namespace {

using zs::test::ReadWholeFile;
using zs::test::WindowsDirectory;

class RegistryKey {
  public:
    RegistryKey(HKEY root, const char* path) {
        created_ = RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
    }
    ~RegistryKey() {
        if (created_ == ERROR_SUCCESS) RegCloseKey(key_);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    LONG created() const { return created_; }
    HKEY get() const { return key_; }

  private:
    HKEY key_ = nullptr;
    LONG created_ = ERROR_INVALID_HANDLE;
};

TEST(FileSystem, WritesReadsAndDeletesAFileInTheTemporaryDirectory) {
    char tempDir[MAX_PATH] = {};
    ASSERT_NE(GetTempPathA(sizeof tempDir, tempDir), 0u);
    char path[MAX_PATH] = {};
    ASSERT_NE(GetTempFileNameA(tempDir, "zst", 0, path), 0u);

    const std::string content = "first line\r\nsecond line\r\n";
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr));
    EXPECT_EQ(written, content.size());
    CloseHandle(file);

    EXPECT_EQ(ReadWholeFile(path), content);
    EXPECT_TRUE(DeleteFileA(path));
    EXPECT_EQ(GetFileAttributesA(path), INVALID_FILE_ATTRIBUTES);
}

TEST(FileSystem, DriveCIsTheWindowsDriveAndReportsFreeSpace) {
    std::string windowsDir = WindowsDirectory();
    CharUpperA(windowsDir.data());
    EXPECT_EQ(windowsDir, "C:\\WINDOWS");
    ULARGE_INTEGER freeToCaller = {}, total = {}, totalFree = {};
    ASSERT_TRUE(GetDiskFreeSpaceExA("C:\\", &freeToCaller, &total, &totalFree));
    EXPECT_GT(freeToCaller.QuadPart, 0u);
}

TEST(WinIni, WriteProfileStringLandsInWinIniOfTheWindowsDirectory) {
    const char* section = "ZsHarnessCheck";
    ASSERT_TRUE(WriteProfileStringA(section, "Greeting", "two words"));

    char value[64] = {};
    GetProfileStringA(section, "Greeting", "", value, sizeof value);
    EXPECT_STREQ(value, "two words");

    const std::string winIni = WindowsDirectory() + "\\win.ini";
    GetPrivateProfileStringA(section, "Greeting", "", value, sizeof value, winIni.c_str());
    EXPECT_STREQ(value, "two words");
    EXPECT_NE(ReadWholeFile(winIni).find("[ZsHarnessCheck]"), std::string::npos);

    ASSERT_TRUE(WriteProfileStringA(section, nullptr, nullptr));
    GetProfileStringA(section, "Greeting", "gone", value, sizeof value);
    EXPECT_STREQ(value, "gone");
}

TEST(WinIni, KeepsCodePage1252TextByteForByte) {
    // The product writes ANSI texts of the chosen language; the scenario tests read win.ini as code page
    // 1252.
    ASSERT_EQ(GetACP(), 1252u);
    const char* section = "ZsHarnessCheck";
    const char* text =
        "Telep\xED"
        "t\xF5 w\xE4hlen";
    ASSERT_TRUE(WriteProfileStringA(section, "Word", text));

    char value[64] = {};
    GetProfileStringA(section, "Word", "", value, sizeof value);
    EXPECT_STREQ(value, text);
    EXPECT_NE(ReadWholeFile(WindowsDirectory() + "\\win.ini").find(std::string("Word=") + text),
              std::string::npos);

    WriteProfileStringA(section, nullptr, nullptr);
}

TEST(Registry, CreatesQueriesAndDeletesKeysInBothHives) {
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        SCOPED_TRACE(root == HKEY_CURRENT_USER ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE");
        {
            RegistryKey key(root, "Software\\ZemsetupTests\\Harness");
            ASSERT_EQ(key.created(), ERROR_SUCCESS);
            const char text[] = "value";
            DWORD number = 1;
            ASSERT_EQ(RegSetValueExA(key.get(), "Text", 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                                     sizeof text),
                      ERROR_SUCCESS);
            ASSERT_EQ(RegSetValueExA(key.get(), "Number", 0, REG_DWORD,
                                     reinterpret_cast<const BYTE*>(&number), sizeof number),
                      ERROR_SUCCESS);
        }

        HKEY key = nullptr;
        ASSERT_EQ(RegOpenKeyExA(root, "Software\\ZemsetupTests\\Harness", 0, KEY_READ, &key), ERROR_SUCCESS);
        char text[16] = {};
        DWORD type = 0, size = sizeof text;
        EXPECT_EQ(RegQueryValueExA(key, "Text", nullptr, &type, reinterpret_cast<BYTE*>(text), &size),
                  ERROR_SUCCESS);
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
        EXPECT_STREQ(text, "value");
        DWORD number = 0;
        size = sizeof number;
        EXPECT_EQ(RegQueryValueExA(key, "Number", nullptr, &type, reinterpret_cast<BYTE*>(&number), &size),
                  ERROR_SUCCESS);
        EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
        EXPECT_EQ(number, 1u);
        RegCloseKey(key);

        EXPECT_EQ(RegDeleteKeyA(root, "Software\\ZemsetupTests\\Harness"), ERROR_SUCCESS);
        EXPECT_EQ(RegDeleteKeyA(root, "Software\\ZemsetupTests"), ERROR_SUCCESS);
        EXPECT_EQ(RegOpenKeyExA(root, "Software\\ZemsetupTests", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    }
}

}  // namespace
