#include "window_query.h"

namespace zs::uidriver {

bool SendWithLimit(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD limitMs, LRESULT* result) {
    DWORD_PTR answer = 0;
    bool answered = SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG | SMTO_BLOCK,
                                        limitMs, &answer) != 0;
    if (result != nullptr) *result = answered ? static_cast<LRESULT>(answer) : 0;
    return answered;
}

namespace {

struct WindowSearch {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindowOfProcess(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<WindowSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window)) search->found.push_back(window);
    return TRUE;
}

}  // namespace

std::vector<HWND> VisibleTopLevelWindows(DWORD processId) {
    WindowSearch search{processId, {}};
    EnumWindows(CollectWindowOfProcess, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<HWND> ChildControls(HWND dialog) {
    std::vector<HWND> controls;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        controls.push_back(child);
    }
    return controls;
}

bool Answers(HWND window) {
    return SendWithLimit(window, WM_NULL, 0, 0, kBusyReplyLimitMs, nullptr);
}

std::wstring StoredText(HWND window) {
    wchar_t stored[1024] = {};
    int length = InternalGetWindowText(window, stored, 1024);
    return std::wstring(stored, length > 0 ? static_cast<size_t>(length) : 0);
}

std::wstring WindowText(HWND window) {
    LRESULT length = 0;
    // A program busy with its work (staging files behind the please-wait window) answers no message; the text
    // its window keeps can be read without one.
    if (!SendWithLimit(window, WM_GETTEXTLENGTH, 0, 0, kBusyReplyLimitMs, &length)) return StoredText(window);
    if (length <= 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    LRESULT copied = 0;
    SendWithLimit(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), kReplyLimitMs,
                  &copied);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

std::wstring ClassName(HWND window) {
    wchar_t name[256] = {};
    int length = GetClassNameW(window, name, 256);
    return std::wstring(name, length > 0 ? length : 0);
}

bool HasClass(HWND window, const wchar_t* className) {
    return lstrcmpiW(ClassName(window).c_str(), className) == 0;
}

std::vector<std::wstring> ListItems(HWND list) {
    std::vector<std::wstring> items;
    LRESULT count = 0;
    if (!SendWithLimit(list, LB_GETCOUNT, 0, 0, kReplyLimitMs, &count)) return items;
    for (LRESULT i = 0; i < count; ++i) {
        LRESULT length = 0;
        SendWithLimit(list, LB_GETTEXTLEN, i, 0, kReplyLimitMs, &length);
        std::wstring item(length > 0 ? static_cast<size_t>(length) + 1 : 1, L'\0');
        LRESULT copied = 0;
        SendWithLimit(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(item.data()), kReplyLimitMs, &copied);
        item.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
        items.push_back(item);
    }
    return items;
}

int ListSelection(HWND list) {
    LRESULT selection = LB_ERR;
    if (!SendWithLimit(list, LB_GETCURSEL, 0, 0, kReplyLimitMs, &selection)) return -1;
    return selection == LB_ERR ? -1 : static_cast<int>(selection);
}

std::wstring WithoutMnemonic(const std::wstring& text) {
    std::wstring plain;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&' && i + 1 < text.size()) ++i;
        plain += text[i];
    }
    return plain;
}

}  // namespace zs::uidriver
