// The setup log against the real Windows directory of the prefix: it is written only while ZEMSETUP.LOG
// exists there, one CR LF line per call, and never created, emptied or written when read-only.

#include "services/setup_log_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "test_files.h"

namespace zs {
namespace {

using test::FileExists;
using test::ReadWholeFile;
using test::WriteWholeFile;

// Takes any log that the prefix already holds out of the way and puts it back afterwards, so that each test
// starts without a log and the prefix ends as it was.
class SetupLogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        logPath_ = test::WindowsDirectory() + "\\ZEMSETUP.LOG";
        ASSERT_GT(logPath_.size(), sizeof "\\ZEMSETUP.LOG");
        hadLog_ = FileExists(logPath_);
        if (hadLog_) {
            savedAttributes_ = GetFileAttributesA(logPath_.c_str());
            savedLog_ = ReadWholeFile(logPath_);
            RemoveLog();
        }
    }

    void TearDown() override {
        RemoveLog();
        if (hadLog_) {
            WriteWholeFile(logPath_, savedLog_);
            SetFileAttributesA(logPath_.c_str(), savedAttributes_);
        }
    }

    void RemoveLog() {
        SetFileAttributesA(logPath_.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(logPath_.c_str());
    }

    std::string logPath_;

  private:
    bool hadLog_ = false;
    DWORD savedAttributes_ = FILE_ATTRIBUTE_NORMAL;
    std::string savedLog_;
};

TEST_F(SetupLogTest, WithoutTheFileNothingIsWrittenAndNoFileIsCreated) {
    WriteSetupLog("Checking list file...");
    WriteSetupLog("Selected language:%s", "English");
    EXPECT_FALSE(FileExists(logPath_));
}

TEST_F(SetupLogTest, WithoutTheFileTheMessageIsNotEvenFormatted) {
    // Formatting would read through this pointer and fault.
    const char* unreadable = reinterpret_cast<const char*>(static_cast<uintptr_t>(16));
    WriteSetupLog("Supported languages:%s", unreadable);
    EXPECT_FALSE(FileExists(logPath_));
}

TEST_F(SetupLogTest, AnEmptyLogReceivesOneCrLfLinePerCall) {
    ASSERT_TRUE(WriteWholeFile(logPath_, ""));
    WriteSetupLog("Checking list file...");
    WriteSetupLog("Number of setup languages:%d", 3);
    WriteSetupLog("CreateProcess failed with error code: %u", 2u);
    EXPECT_EQ(ReadWholeFile(logPath_),
              "Checking list file...\r\n"
              "Number of setup languages:3\r\n"
              "CreateProcess failed with error code: 2\r\n");
}

TEST_F(SetupLogTest, ALaterRunAppendsAfterTheEarlierLines) {
    ASSERT_TRUE(WriteWholeFile(logPath_, "Checking list file...\r\n"));
    WriteSetupLog("Processing command line: %s", "/a");
    WriteSetupLog("Selected language:%s", "Deutsch");
    EXPECT_EQ(ReadWholeFile(logPath_),
              "Checking list file...\r\n"
              "Processing command line: /a\r\n"
              "Selected language:Deutsch\r\n");
}

TEST_F(SetupLogTest, AnotherProcessMayHoldTheLogOpenWhileLinesAreAppended) {
    ASSERT_TRUE(WriteWholeFile(logPath_, ""));
    HANDLE reader =
        CreateFileA(logPath_.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    WriteSetupLog("[workstation] No tmp directory");
    CloseHandle(reader);
    EXPECT_EQ(ReadWholeFile(logPath_), "[workstation] No tmp directory\r\n");
}

TEST_F(SetupLogTest, AReadOnlyLogStaysUnchanged) {
    ASSERT_TRUE(WriteWholeFile(logPath_, "kept\r\n"));
    ASSERT_TRUE(SetFileAttributesA(logPath_.c_str(), FILE_ATTRIBUTE_READONLY));
    WriteSetupLog("Checking available space...");
    EXPECT_EQ(ReadWholeFile(logPath_), "kept\r\n");
    EXPECT_TRUE(GetFileAttributesA(logPath_.c_str()) & FILE_ATTRIBUTE_READONLY);
}

TEST_F(SetupLogTest, EmptyMessagesAndEmptyValuesStillEndTheirLines) {
    ASSERT_TRUE(WriteWholeFile(logPath_, ""));
    WriteSetupLog("%s", "");
    WriteSetupLog("\t\t***%s", "");
    WriteSetupLog("\t%s", "English");
    EXPECT_EQ(ReadWholeFile(logPath_), "\r\n\t\t***\r\n\tEnglish\r\n");
}

TEST_F(SetupLogTest, MessagesAreCutAt510Characters) {
    ASSERT_TRUE(WriteWholeFile(logPath_, ""));
    const std::string fits(510, 'a');
    const std::string tooLong(511, 'b');
    WriteSetupLog("%s", fits.c_str());
    WriteSetupLog("%s", tooLong.c_str());
    WriteSetupLog("CMD:%s", std::string(4000, 'c').c_str());
    EXPECT_EQ(ReadWholeFile(logPath_),
              fits + "\r\n" + std::string(510, 'b') + "\r\n" + "CMD:" + std::string(506, 'c') + "\r\n");
}

}  // namespace
}  // namespace zs
