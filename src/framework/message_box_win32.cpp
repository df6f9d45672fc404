#include "framework/message_box_win32.h"

#include <string>

#include "framework/strings_win32.h"
#include "framework/win_app_win32.h"

namespace zs::framework {

int AfxMessageBox(const char* text, UINT type) {
    if ((type & MB_ICONMASK) == 0) type |= MB_ICONEXCLAMATION;
    CWinApp* app = AfxGetApp();
    const char* caption = app ? app->m_pszAppName.c_str() : nullptr;
    return MessageBoxA(nullptr, text ? text : "", caption, type);
}

int AfxMessageBox(UINT promptId, UINT type) {
    std::string text;
    AfxLoadString(promptId, text);
    return AfxMessageBox(text.c_str(), type);
}

}  // namespace zs::framework
