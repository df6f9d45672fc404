#include "setup/please_wait_dialog_win32.h"

#include <windows.h>

#include "language/messages.h"
#include "reslib/resource_ids.h"
#include "setup/resource_strings_win32.h"

namespace zs::language {

PleaseWaitDialog::PleaseWaitDialog(int languageBase, const std::string& appName, framework::CWnd* parent)
    : CDialog(IDD_WAIT, parent), m_strCaption(appName) {
    StringLoader strings = CurrentModuleStrings();
    waitText_ = LoadMessage(strings, languageBase, IDS_PLEASE_WAIT);
    AppendSetupWord(m_strCaption, strings, languageBase);
    if (Create(IDD_WAIT, parent)) {
        // Nothing dispatches messages while the files are staged: paint the window now.
        UpdateWindow(m_hWnd);
    }
}

PleaseWaitDialog::~PleaseWaitDialog() {
    DestroyWindow();
}

BOOL PleaseWaitDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    CenterWindow();
    SetWindowText(m_strCaption);
    SetDlgItemText(IDC_WAIT_TEXT, waitText_);
    SetCursor(LoadCursor(nullptr, IDC_WAIT));
    return TRUE;
}

}  // namespace zs::language
