// Dialogs from the templates of the current resource module (win_app.h), run modally (DoModal) or modeless
// (Create), with the message handling the program's dialogs use:
// - WM_INITDIALOG calls OnInitDialog, whose default exchanges the data into the controls;
// - the OK button (IDOK, also Enter) calls OnOK, whose default takes the data back and ends with IDOK;
// - Cancel (IDCANCEL: the Escape key) calls OnCancel, which ends with IDCANCEL;
// - WM_CLOSE calls OnClose; afterwards the system's default processing turns it into IDCANCEL;
// - other WM_COMMAND notifications of controls go to OnControlNotification (for example LBN_SELCHANGE and
//   LBN_DBLCLK of a list box);
// - with dialog colours set (CWinApp::SetDialogBkColor) the dialog and its static texts are painted in them.
// Data exchange binds controls to members (DDX_Control) and exchanges the texts of controls (DDX_Text).
#pragma once

#include <windows.h>

#include <string>

#include "framework/wnd_win32.h"

namespace zs::framework {

class CDialog;

class CDataExchange {
  public:
    CDataExchange(CDialog* dialog, BOOL saveAndValidate)
        : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}
    CDialog* m_pDlgWnd;
    // TRUE: from the controls into the members; FALSE: from the members into the controls.
    BOOL m_bSaveAndValidate;
};

// Binds the control with the given ID to `control` (the first exchange attaches it).
void DDX_Control(CDataExchange* exchange, int id, CWnd& control);
// Exchanges the text of the control with the given ID with `value`.
void DDX_Text(CDataExchange* exchange, int id, std::string& value);

class CDialog : public CWnd {
  public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    // Ends a modeless dialog's window if it still exists.
    ~CDialog() override;

    // Runs the dialog modally; returns the value given to EndDialog, or -1 when the dialog could not be
    // created (for example when the resource module has no such template).
    virtual INT_PTR DoModal();
    // Creates the dialog modeless; its template's visible style shows it at once.
    BOOL Create(UINT templateId, CWnd* parent = nullptr);
    void EndDialog(int result);

    // TRUE: controls into members; FALSE: members into controls.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

  protected:
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void OnClose() {}
    virtual void DoDataExchange(CDataExchange*) {}
    // A WM_COMMAND notification of a control other than the OK and Cancel buttons; returns TRUE when handled.
    virtual BOOL OnControlNotification(int /*controlId*/, int /*notificationCode*/) { return FALSE; }

    UINT m_nIDTemplate;  // the template's ID

  private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_parentWindow;
};

}  // namespace zs::framework
