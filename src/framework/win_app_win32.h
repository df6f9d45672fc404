// The application object of the framework and the state it keeps for the whole process: the current resource
// module, from which every dialog template and string ID is loaded, and the dialog colours.
//
// Exactly one object of a class derived from CWinApp exists while the program runs: the program's WinMain
// constructs it and then calls the framework's WinMain (AfxWinMain), which fills in the instance, the command
// line and the application's name, then calls InitInstance. When that returns false the program ends with the
// value of ExitInstance; otherwise the framework runs a message loop until WM_QUIT and then ends the same
// way.
#pragma once

#include <windows.h>

#include <string>

namespace zs::framework {

class CWinApp {
  public:
    // appName: the name used as message-box caption; nullptr names the application after the program file
    // (its file name without the extension).
    explicit CWinApp(const char* appName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance() { return TRUE; }
    // The process's exit status.
    virtual int ExitInstance() { return m_nQuitCode; }

    // Light-grey dialogs with black text are the framework's classic look; dialogs created afterwards paint
    // their background and static texts in these colours.
    void SetDialogBkColor(COLORREF background = RGB(192, 192, 192), COLORREF text = RGB(0, 0, 0));

    HINSTANCE m_hInstance = nullptr;
    // The command line after the program name, as WinMain receives it.
    const char* m_lpCmdLine = "";
    int m_nCmdShow = SW_SHOWNORMAL;
    std::string m_pszAppName;

  protected:
    int m_nQuitCode = 0;

  private:
    friend int AfxWinMain(HINSTANCE, LPSTR, int);
    int RunMessageLoop();
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();

// The module that dialog templates and strings are loaded from; the program itself until changed.
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE module);

// The dialog colours set by SetDialogBkColor: returns false when none were set.
bool AfxGetDialogColors(HBRUSH& background, COLORREF& backgroundColor, COLORREF& textColor);

// The body of the program's WinMain.
int AfxWinMain(HINSTANCE instance, LPSTR commandLine, int showCommand);

}  // namespace zs::framework
