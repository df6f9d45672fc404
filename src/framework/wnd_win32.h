// Windows of the framework: CWnd wraps a window handle without owning a window class of its own; CListBox is
// a list-box control of a dialog; CFrameWnd is the frame-window class, of which the program only ever needs
// objects that never get a window.
#pragma once

#include <windows.h>

#include <string>

namespace zs::framework {

class CWnd {
  public:
    CWnd() = default;
    virtual ~CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND GetSafeHwnd() const { return m_hWnd; }

    void SetWindowText(const std::string& text);
    std::string GetWindowText() const;
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    void SetDlgItemText(int id, const std::string& text);
    BOOL ShowWindow(int showCommand) { return ::ShowWindow(m_hWnd, showCommand); }
    virtual BOOL DestroyWindow();

    // Centres the window on its owner or, when it has none, on the work area of the screen (the screen
    // without the task bar).
    void CenterWindow();

    HWND m_hWnd = nullptr;
};

class CListBox : public CWnd {
  public:
    // Index of the new item (the list keeps the order of adding when it is not sorted), or LB_ERR.
    int AddString(const std::string& text);
    int GetCount() const;
    // Index of the selected item, or LB_ERR when none is selected.
    int GetCurSel() const;
    int SetCurSel(int index);
    // The text of item `index`; empty when there is no such item.
    std::string GetText(int index) const;
};

class CFrameWnd : public CWnd {
  public:
    CFrameWnd() = default;
    ~CFrameWnd() override = default;
};

}  // namespace zs::framework
