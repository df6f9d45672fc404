// dialog_viewer: shows the two dialog templates of ZSRES.DLL, or a message box, and writes to a report file
// what was done with them, so that the end-to-end tools can be tried on real dialogs.
//
//   dialog_viewer REPORT wait CAPTION TEXT      template 103, modeless, with CAPTION and TEXT in control 1000
//   dialog_viewer REPORT language ITEM...       template 105, modal, with ITEMs in list 1002 (item 0
//   selected) dialog_viewer REPORT message ICON CAPTION TEXT
//                                               a message box with OK; ICON: stop exclamation information
//                                               question none
//
// The report is one JSON object: the dialog, the notifications it received in order ("selchange 1 Deutsch",
// "dblclk 2 Magyar", "ok", "cancel", "close"), and how it ended. ZSRES.DLL is loaded from the viewer's own
// directory. Exit status: 0 shown and closed, 2 usage error, 3 ZSRES.DLL not loaded, 4 dialog not created.

#include <windows.h>

#include <cstdio>
#include <cstdlib>  // __argc, __argv
#include <string>
#include <vector>

#include "json_line.h"
#include "reslib/resource_ids.h"

namespace {

using zs::testsupport::JsonArray;
using zs::testsupport::JsonObject;
using zs::testsupport::JsonString;
using zs::testsupport::Utf8FromAnsi;

enum ExitStatus { kShown = 0, kUsageError = 2, kNoLibrary = 3, kNoDialog = 4 };

struct ViewerState {
    const char* caption = "";
    const char* text = "";
    std::vector<std::string> items;
    std::vector<std::string> events;
    int selected = -1;
    std::string selectedText;
};

ViewerState* StateOf(HWND dialog) {
    return reinterpret_cast<ViewerState*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

ViewerState* AttachState(HWND dialog, LPARAM initParam) {
    SetWindowLongPtrA(dialog, DWLP_USER, initParam);
    return reinterpret_cast<ViewerState*>(initParam);
}

HMODULE LoadResourceLibrary() {
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string directory(path, length);
    directory.erase(directory.find_last_of('\\') + 1);
    return LoadLibraryA((directory + "ZSRES.DLL").c_str());
}

std::string ListItemText(HWND list, int index) {
    LRESULT length = SendMessageA(list, LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR) return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    SendMessageA(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return text;
}

INT_PTR CALLBACK WaitDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            ViewerState* state = AttachState(dialog, lParam);
            SetWindowTextA(dialog, state->caption);
            SetDlgItemTextA(dialog, IDC_WAIT_TEXT, state->text);
            return TRUE;
        }
        case WM_CLOSE:
            // The dialog manager's default then sends IDCANCEL.
            StateOf(dialog)->events.push_back("close");
            return FALSE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDCANCEL) {
                StateOf(dialog)->events.push_back("cancel");
                DestroyWindow(dialog);
                return TRUE;
            }
            return FALSE;
        case WM_DESTROY:
            PostQuitMessage(0);
            return FALSE;
    }
    return FALSE;
}

void AcceptLanguage(HWND dialog, ViewerState* state) {
    HWND list = GetDlgItem(dialog, IDC_LANGUAGE_LIST);
    state->selected = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
    state->selectedText = ListItemText(list, state->selected);
    EndDialog(dialog, IDOK);
}

INT_PTR CALLBACK LanguageDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            ViewerState* state = AttachState(dialog, lParam);
            HWND list = GetDlgItem(dialog, IDC_LANGUAGE_LIST);
            for (const std::string& item : state->items) {
                SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
            }
            SendMessageA(list, LB_SETCURSEL, 0, 0);
            return TRUE;
        }
        case WM_CLOSE:
            StateOf(dialog)->events.push_back("close");
            return FALSE;
        case WM_COMMAND: {
            ViewerState* state = StateOf(dialog);
            HWND list = GetDlgItem(dialog, IDC_LANGUAGE_LIST);
            if (LOWORD(wParam) == IDC_LANGUAGE_LIST) {
                const char* name = HIWORD(wParam) == LBN_SELCHANGE ? "selchange"
                                   : HIWORD(wParam) == LBN_DBLCLK  ? "dblclk"
                                                                   : nullptr;
                if (name == nullptr) return FALSE;
                int index = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
                state->events.push_back(std::string(name) + " " + std::to_string(index) + " " +
                                        ListItemText(list, index));
                // A double click chooses the item, as OK does.
                if (HIWORD(wParam) == LBN_DBLCLK) AcceptLanguage(dialog, state);
                return TRUE;
            }
            if (LOWORD(wParam) == IDOK) {
                state->events.push_back("ok");
                AcceptLanguage(dialog, state);
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                state->events.push_back("cancel");
                EndDialog(dialog, IDCANCEL);
                return TRUE;
            }
            return FALSE;
        }
    }
    return FALSE;
}

UINT IconStyle(const std::string& name) {
    if (name == "stop") return MB_ICONSTOP;
    if (name == "exclamation") return MB_ICONEXCLAMATION;
    if (name == "information") return MB_ICONINFORMATION;
    if (name == "question") return MB_ICONQUESTION;
    return 0;
}

const char* ResultName(INT_PTR result) {
    switch (result) {
        case IDOK:
            return "ok";
        case IDCANCEL:
            return "cancel";
        default:
            return "other";
    }
}

std::vector<std::string> Quoted(const std::vector<std::string>& texts) {
    std::vector<std::string> json;
    for (const std::string& text : texts) json.push_back(JsonString(Utf8FromAnsi(text)));
    return json;
}

bool WriteReport(const char* path, const JsonObject& report) {
    FILE* file = std::fopen(path, "wb");
    if (file == nullptr) return false;
    std::string line = report.Line() + "\n";
    std::fwrite(line.data(), 1, line.size(), file);
    return std::fclose(file) == 0;
}

int RunWaitDialog(HMODULE library, ViewerState& state, JsonObject& report) {
    HWND dialog = CreateDialogParamA(library, MAKEINTRESOURCEA(IDD_WAIT), nullptr, WaitDialogProc,
                                     reinterpret_cast<LPARAM>(&state));
    if (dialog == nullptr) return kNoDialog;
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageA(dialog, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    report.Text("dialog", "wait");
    return kShown;
}

int RunLanguageDialog(HMODULE library, ViewerState& state, JsonObject& report) {
    INT_PTR result = DialogBoxParamA(library, MAKEINTRESOURCEA(IDD_SELECT_LANGUAGE), nullptr,
                                     LanguageDialogProc, reinterpret_cast<LPARAM>(&state));
    if (result <= 0) return kNoDialog;
    report.Text("dialog", "language")
        .Text("result", ResultName(result))
        .Number("selected", state.selected)
        .Text("selected_text", Utf8FromAnsi(state.selectedText));
    return kShown;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const int argc = __argc;
    char** argv = __argv;
    if (argc < 3) return kUsageError;
    const char* reportPath = argv[1];
    const std::string mode = argv[2];
    ViewerState state;
    JsonObject report;
    int status = kUsageError;

    if (mode == "message" && argc == 6) {
        INT_PTR result = MessageBoxA(nullptr, argv[5], argv[4], MB_OK | IconStyle(argv[3]));
        report.Text("dialog", "message").Text("result", ResultName(result));
        status = kShown;
    } else if ((mode == "wait" && argc == 5) || (mode == "language" && argc >= 4)) {
        HMODULE library = LoadResourceLibrary();
        if (library == nullptr) return kNoLibrary;
        if (mode == "wait") {
            state.caption = argv[3];
            state.text = argv[4];
            status = RunWaitDialog(library, state, report);
        } else {
            state.items.assign(argv + 3, argv + argc);
            status = RunLanguageDialog(library, state, report);
        }
        FreeLibrary(library);
    }
    if (status != kShown) return status;
    report.Raw("events", JsonArray(Quoted(state.events)));
    WriteReport(reportPath, report);
    return kShown;
}
