#include "framework/dialog_win32.h"

#include "framework/win_app_win32.h"

namespace zs::framework {

void DDX_Control(CDataExchange* exchange, int id, CWnd& control) {
    if (!control.m_hWnd) control.m_hWnd = exchange->m_pDlgWnd->GetDlgItem(id);
}

void DDX_Text(CDataExchange* exchange, int id, std::string& value) {
    if (exchange->m_bSaveAndValidate) {
        CWnd item;
        item.m_hWnd = exchange->m_pDlgWnd->GetDlgItem(id);
        value = item.GetWindowText();
        item.m_hWnd = nullptr;
    } else {
        exchange->m_pDlgWnd->SetDlgItemText(id, value);
    }
}

CDialog::CDialog(UINT templateId, CWnd* parent)
    : m_nIDTemplate(templateId), m_parentWindow(parent ? parent->m_hWnd : nullptr) {}

CDialog::~CDialog() {
    if (m_hWnd && IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
}

INT_PTR CDialog::DoModal() {
    return DialogBoxParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_nIDTemplate), m_parentWindow,
                           DialogProc, reinterpret_cast<LPARAM>(this));
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
    m_nIDTemplate = templateId;
    m_parentWindow = parent ? parent->m_hWnd : nullptr;
    HWND window = CreateDialogParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(templateId), m_parentWindow,
                                     DialogProc, reinterpret_cast<LPARAM>(this));
    return window != nullptr;
}

void CDialog::EndDialog(int result) {
    ::EndDialog(m_hWnd, result);
}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
    CDataExchange exchange(this, saveAndValidate);
    DoDataExchange(&exchange);
    return TRUE;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    UpdateData(TRUE);
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CDialog* dialog;
    if (message == WM_INITDIALOG) {
        dialog = reinterpret_cast<CDialog*>(lParam);
        SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(dialog));
        dialog->m_hWnd = window;
    } else {
        dialog = reinterpret_cast<CDialog*>(GetWindowLongPtrA(window, DWLP_USER));
    }
    // Messages that come before WM_INITDIALOG (the font, for one) get the default processing.
    if (!dialog) return FALSE;
    INT_PTR result = dialog->HandleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, DWLP_USER, 0);
        dialog->m_hWnd = nullptr;
    }
    return result;
}

INT_PTR CDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog();
        case WM_COMMAND: {
            int id = LOWORD(wParam);
            int code = HIWORD(wParam);
            HWND control = reinterpret_cast<HWND>(lParam);
            // Buttons, the Enter and Escape keys and the menu-less accelerators all arrive as BN_CLICKED (0).
            if (code == BN_CLICKED && id == IDOK) {
                OnOK();
                return TRUE;
            }
            if (code == BN_CLICKED && id == IDCANCEL) {
                OnCancel();
                return TRUE;
            }
            return control ? OnControlNotification(id, code) : FALSE;
        }
        case WM_CLOSE:
            OnClose();
            return FALSE;  // the system's dialog procedure turns it into IDCANCEL
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC: {
            HBRUSH brush;
            COLORREF background, text;
            if (!AfxGetDialogColors(brush, background, text)) return FALSE;
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, text);
            SetBkColor(dc, background);
            return reinterpret_cast<INT_PTR>(brush);
        }
        default:
            return FALSE;
    }
}

}  // namespace zs::framework
