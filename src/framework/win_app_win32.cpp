#include "framework/win_app_win32.h"

namespace zs::framework {
namespace {

CWinApp* g_application = nullptr;
HINSTANCE g_resourceModule = nullptr;

struct DialogColors {
    HBRUSH brush = nullptr;
    COLORREF background = 0;
    COLORREF text = 0;
};
DialogColors g_dialogColors;

// The program file's name without its directory and extension ("C:\\MEDIA\\SETUP.EXE" gives "SETUP").
std::string ProgramFileTitle(HINSTANCE instance) {
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(instance, path, sizeof path);
    if (length == 0 || length >= sizeof path) return std::string();
    std::string name(path, length);
    size_t slash = name.find_last_of("\\/:");
    if (slash != std::string::npos) name.erase(0, slash + 1);
    size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(dot);
    return name;
}

}  // namespace

CWinApp::CWinApp(const char* appName) {
    if (appName) m_pszAppName = appName;
    g_application = this;
}

CWinApp::~CWinApp() {
    if (g_dialogColors.brush) DeleteObject(g_dialogColors.brush);
    g_dialogColors = DialogColors();
    if (g_application == this) g_application = nullptr;
}

void CWinApp::SetDialogBkColor(COLORREF background, COLORREF text) {
    if (g_dialogColors.brush) DeleteObject(g_dialogColors.brush);
    g_dialogColors.brush = CreateSolidBrush(background);
    g_dialogColors.background = background;
    g_dialogColors.text = text;
}

int CWinApp::RunMessageLoop() {
    MSG message;
    BOOL result;
    while ((result = GetMessageA(&message, nullptr, 0, 0)) != 0 && result != -1) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    if (result == 0) m_nQuitCode = static_cast<int>(message.wParam);
    return ExitInstance();
}

CWinApp* AfxGetApp() {
    return g_application;
}

HINSTANCE AfxGetInstanceHandle() {
    return g_application ? g_application->m_hInstance : nullptr;
}

HINSTANCE AfxGetResourceHandle() {
    return g_resourceModule;
}

void AfxSetResourceHandle(HINSTANCE module) {
    g_resourceModule = module;
}

bool AfxGetDialogColors(HBRUSH& background, COLORREF& backgroundColor, COLORREF& textColor) {
    if (!g_dialogColors.brush) return false;
    background = g_dialogColors.brush;
    backgroundColor = g_dialogColors.background;
    textColor = g_dialogColors.text;
    return true;
}

int AfxWinMain(HINSTANCE instance, LPSTR commandLine, int showCommand) {
    CWinApp* app = AfxGetApp();
    if (!app) return -1;
    app->m_hInstance = instance;
    app->m_lpCmdLine = commandLine ? commandLine : "";
    app->m_nCmdShow = showCommand;
    if (app->m_pszAppName.empty()) app->m_pszAppName = ProgramFileTitle(instance);
    AfxSetResourceHandle(instance);

    if (!app->InitInstance()) return app->ExitInstance();
    return app->RunMessageLoop();
}

}  // namespace zs::framework
