// The framework pieces that the start-up sequence relies on, against the real system: the file object's
// modes, sharing and results, the scoped handles, and strings and templates taken from the current resource
// module (the real ZSRES.DLL, built beside this test).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>

#include "framework/dialog_win32.h"
#include "framework/file_win32.h"
#include "framework/scoped_handle_win32.h"
#include "framework/strings_win32.h"
#include "framework/win_app_win32.h"
#include "temp_directory.h"

namespace zs::framework {
namespace {

TEST(FileTest, ReadModeOpensExistingFilesOnly) {
    test::TempDirectory directory;
    CFile file;
    EXPECT_FALSE(file.Open((directory.path() + "MISSING.DLL").c_str(), CFile::modeRead));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(file.IsOpen());

    std::string path = directory.WriteFile("A.DLL", "abc");
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead));
    EXPECT_TRUE(file.IsOpen());
    EXPECT_EQ(GetFileSize(file.m_hFile.get(), nullptr), 3u);
    EXPECT_TRUE(file.Close());
    EXPECT_FALSE(file.IsOpen());
}

TEST(FileTest, CreateModeEmptiesAnExistingFile) {
    test::TempDirectory directory;
    std::string path = directory.WriteFile("B.DLL", "old contents");
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
    EXPECT_EQ(GetFileSize(file.m_hFile.get(), nullptr), 0u);
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(file.m_hFile.get(), "new", 3, &written, nullptr));
    // Write-only: the handle cannot read.
    char buffer[4];
    DWORD read = 0;
    EXPECT_FALSE(ReadFile(file.m_hFile.get(), buffer, 1, &read, nullptr));
    file.Close();
}

TEST(FileTest, OpenFilesAreNotShared) {
    test::TempDirectory directory;
    std::string path = directory.WriteFile("C.DLL", "x");
    CFile first;
    ASSERT_TRUE(first.Open(path.c_str(), CFile::modeRead));
    CFile second;
    EXPECT_FALSE(second.Open(path.c_str(), CFile::modeRead | CFile::shareExclusive));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    HANDLE other = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(other, INVALID_HANDLE_VALUE);
    if (other != INVALID_HANDLE_VALUE) CloseHandle(other);
    first.Abort();
    EXPECT_TRUE(second.Open(path.c_str(), CFile::modeRead));
}

TEST(FileTest, CloseReportsWhatTheSystemReports) {
    CFile file;
    file.Abort();
    file.Abort();
    EXPECT_TRUE(file.Close());  // nothing open: nothing fails
    // A handle that the system does not know: the close fails, and the object is closed all the same.
    file.m_hFile.reset(reinterpret_cast<HANDLE>(static_cast<intptr_t>(0x7FFF0000)));
    EXPECT_FALSE(file.Close());
    EXPECT_FALSE(file.IsOpen());
}

TEST(ScopedHandleTest, OwnsOneHandleAndTakesBothEmptyValuesForNone) {
    EXPECT_FALSE(ScopedHandle(nullptr));
    EXPECT_FALSE(ScopedHandle(INVALID_HANDLE_VALUE));
    EXPECT_TRUE(ScopedHandle(INVALID_HANDLE_VALUE).Close());  // nothing held: nothing fails

    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    ScopedHandle first(event);
    ScopedHandle second(std::move(first));
    EXPECT_FALSE(first);
    EXPECT_EQ(second.get(), event);
    HANDLE released = second.release();
    EXPECT_FALSE(second);
    DWORD flags = 0;
    EXPECT_TRUE(GetHandleInformation(released, &flags));  // given up, not closed
    second.reset(released);
    EXPECT_TRUE(second.Close());
    EXPECT_FALSE(GetHandleInformation(released, &flags));
}

// Makes the real resource library the current resource module for one test.
class ResourceLibraryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char path[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, path, sizeof path);
        std::string directory(path);
        directory.erase(directory.rfind('\\') + 1);
        library = LoadLibraryA((directory + "ZSRES.DLL").c_str());
        ASSERT_NE(library, nullptr) << "ZSRES.DLL must be built beside the test";
        saved = AfxGetResourceHandle();
        AfxSetResourceHandle(library);
    }
    void TearDown() override {
        AfxSetResourceHandle(saved);
        if (library) FreeLibrary(library);
    }
    HMODULE library = nullptr;
    HINSTANCE saved = nullptr;
};

TEST_F(ResourceLibraryTest, StringsComeFromTheCurrentModuleInTheAnsiCodePage) {
    std::string text;
    EXPECT_TRUE(AfxLoadString(107, text));
    EXPECT_EQ(text, "SETUP.LST is corrupted.");
    EXPECT_TRUE(AfxLoadString(213, text));
    EXPECT_EQ(text, "Land w\xe4hlen");  // code page 1252
    EXPECT_FALSE(AfxLoadString(114, text));
    EXPECT_EQ(text, "");
    EXPECT_FALSE(AfxLoadStringOrNothing(14).has_value());
    // The longest message (the Polish restart question) is not cut.
    EXPECT_GT(AfxLoadStringOrNothing(1612).value_or("").size(), 170u);
}

TEST_F(ResourceLibraryTest, FormatString1FillsTheMessage) {
    std::string text;
    AfxFormatString1(text, 104, "SETUP.LST");
    EXPECT_EQ(text, "Could not find required initialization file:\nSETUP.LST");
    AfxFormatString1(text, 106, "1024");
    EXPECT_EQ(text,
              "Setup needs about 1024 KB free space to initialize.\nPlease free some space on drive C:.");
    AfxFormatString1(text, 304, "A.DLL");
    EXPECT_EQ(text,
              "A(z) \nA.DLL inicializ\xe1"
              "ci\xf3s f\xe1jl nem tal\xe1lhat\xf3.");
}

// A dialog of the current module, run modally and ended from its initialisation.
class EndingDialog : public CDialog {
  public:
    EndingDialog() : CDialog(105) {}
    std::string label;
    std::string templateLabel;
    std::string shownLabel;
    std::string caption;

  protected:
    BOOL OnInitDialog() override {
        UpdateData(TRUE);
        templateLabel = label;
        label = "Replaced";
        CDialog::OnInitDialog();  // exchanges the members into the controls
        CWnd item;
        item.m_hWnd = GetDlgItem(1005);
        shownLabel = item.GetWindowText();
        item.m_hWnd = nullptr;
        caption = GetWindowText();
        EndDialog(42);
        return TRUE;
    }
    void DoDataExchange(CDataExchange* exchange) override { DDX_Text(exchange, 1005, label); }
};

TEST_F(ResourceLibraryTest, DialogsComeFromTheCurrentModule) {
    EndingDialog dialog;
    EXPECT_EQ(dialog.DoModal(), 42);
    EXPECT_EQ(dialog.caption, "Select Language");
    EXPECT_EQ(dialog.templateLabel, "Setup Language:");
    EXPECT_EQ(dialog.shownLabel, "Replaced");

    // A template that the module does not hold: the dialog cannot be created.
    CDialog missing(999);
    EXPECT_EQ(missing.DoModal(), -1);
}

}  // namespace
}  // namespace zs::framework
