#include "window_report.h"

#include <cstdio>
#include <string>
#include <vector>

#include "message_box_icon.h"
#include "window_query.h"

namespace zs::uidriver {

using testsupport::JsonArray;
using testsupport::JsonObject;
using testsupport::JsonString;
using testsupport::Utf8FromWide;

namespace {

std::string HexText(unsigned long long value) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%llx", value);
    return text;
}

bool IsIconControl(HWND control) {
    return HasClass(control, L"Static") && (GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
}

std::string RectJson(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return JsonObject()
        .Number("x", rect.left)
        .Number("y", rect.top)
        .Number("width", rect.right - rect.left)
        .Number("height", rect.bottom - rect.top)
        .Line();
}

std::string ControlJson(HWND control, bool busy) {
    JsonObject json;
    json.Number("id", GetDlgCtrlID(control))
        .Text("class", ClassName(control))
        .Text("text", busy ? StoredText(control) : WindowText(control))
        .Text("style", HexText(static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE))))
        .Bool("visible", IsWindowVisible(control) != FALSE)
        .Bool("enabled", IsWindowEnabled(control) != FALSE);
    if (HasClass(control, L"ListBox")) {
        std::vector<std::string> items;
        for (const std::wstring& item : ListItems(control)) items.push_back(JsonString(Utf8FromWide(item)));
        json.Raw("items", JsonArray(items)).Number("selected", ListSelection(control));
    }
    if (IsIconControl(control)) json.Bool("icon", true);
    return json.Line();
}

std::string MessageBoxJson(HWND window, bool busy) {
    auto text = [busy](HWND control) { return busy ? StoredText(control) : WindowText(control); };
    HWND icon = nullptr;
    std::vector<std::string> buttons;
    for (HWND control : ChildControls(window)) {
        if (IsIconControl(control)) icon = control;
        if (HasClass(control, L"Button") && IsWindowVisible(control)) {
            buttons.push_back(JsonString(Utf8FromWide(WithoutMnemonic(text(control)))));
        }
    }
    return JsonObject()
        .Text("text", text(GetDlgItem(window, kMessageBoxTextId)))
        .Text("icon", IdentifyMessageBoxIcon(icon))
        .Raw("buttons", JsonArray(buttons))
        .Line();
}

}  // namespace

bool IsMessageBox(HWND window) {
    return HasClass(window, L"#32770") && GetDlgItem(window, kMessageBoxTextId) != nullptr;
}

std::string HandleText(HWND window) {
    return HexText(reinterpret_cast<ULONG_PTR>(window));
}

bool DescribeWindow(HWND window, JsonObject& line, bool programWaits) {
    // A busy program's window may go any moment: what needs no answer from it is read first, and then only
    // the texts its windows keep.
    line.Text("hwnd", HandleText(window)).Text("class", ClassName(window)).Raw("rect", RectJson(window));
    const bool busy = programWaits || !Answers(window);
    line.Text("caption", busy ? StoredText(window) : WindowText(window));
    std::vector<std::string> controls;
    for (HWND control : ChildControls(window)) controls.push_back(ControlJson(control, busy));
    line.Raw("controls", JsonArray(controls));
    if (IsMessageBox(window)) line.Raw("message_box", MessageBoxJson(window, busy));
    // A window is hidden before its controls go and it is destroyed: one still shown now was whole
    // throughout.
    return IsWindow(window) && IsWindowVisible(window);
}

}  // namespace zs::uidriver
