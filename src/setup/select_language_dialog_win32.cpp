#include "setup/select_language_dialog_win32.h"

#include <windows.h>

#include "language/messages.h"
#include "reslib/resource_ids.h"
#include "setup/resource_strings_win32.h"

namespace zs::language {
namespace {

std::string EnglishString(int offset) {
    return LoadMessage(CurrentModuleStrings(), IDS_ENGLISH_BASE, offset);
}

}  // namespace

SelectLanguageDialog::SelectLanguageDialog(const LanguageChoices& choices, HandOff handOff,
                                           framework::CWnd* parent)
    : CDialog(IDD_SELECT_LANGUAGE, parent), choices_(choices), handOff_(std::move(handOff)) {}

INT_PTR SelectLanguageDialog::DoModal() {
    INT_PTR result = CDialog::DoModal();
    // Without its template the dialog never ran: nothing was chosen.
    if (result == -1 || result == 0) cancelled = 1;
    return result;
}

void SelectLanguageDialog::DoDataExchange(framework::CDataExchange* exchange) {
    framework::DDX_Control(exchange, IDC_LANGUAGE_LIST, languageList);
    framework::DDX_Text(exchange, IDC_LANGUAGE_LABEL, labelText);
}

BOOL SelectLanguageDialog::OnInitDialog() {
    labelText = EnglishString(IDS_SETUP_LANGUAGE);
    CDialog::OnInitDialog();
    CenterWindow();
    const bool locationMode = choices_.locationMode();
    SetWindowText(EnglishString(locationMode ? IDS_SELECT_LOCATION : IDS_SELECT_LANGUAGE));
    if (locationMode) ::ShowWindow(GetDlgItem(IDC_LANGUAGE_LABEL), SW_HIDE);
    for (const std::string& item : choices_.items()) languageList.AddString(item);
    languageList.SetCurSel(0);
    if (!locationMode && languageList.GetCount() == 1) OnOK();
    return TRUE;
}

BOOL SelectLanguageDialog::OnControlNotification(int controlId, int notificationCode) {
    if (controlId != IDC_LANGUAGE_LIST) return FALSE;
    if (notificationCode == LBN_SELCHANGE) {
        OnSelectionChange();
        return TRUE;
    }
    if (notificationCode == LBN_DBLCLK) {
        OnOK();
        return TRUE;
    }
    return FALSE;
}

void SelectLanguageDialog::OnSelectionChange() {
    int index = languageList.GetCurSel();
    if (index == LB_ERR) return;
    StringLoader strings = CurrentModuleStrings();
    if (!choices_.locationMode()) {
        // The dialog relabels itself in the highlighted language.
        languageBase = choices_.BlockBaseOf(static_cast<size_t>(index));
        SetWindowText(LoadMessage(strings, languageBase, IDS_SELECT_LANGUAGE));
        labelText = LoadMessage(strings, languageBase, IDS_SETUP_LANGUAGE);
        SetDlgItemText(IDC_LANGUAGE_LABEL, labelText);
        return;
    }
    SetWindowText(
        LoadMessage(strings, choices_.BlockBaseOf(static_cast<size_t>(index)), IDS_SELECT_LOCATION));
}

void SelectLanguageDialog::OnOK() {
    int index = languageList.GetCurSel();
    // Nothing to choose (an empty list): the run cannot go on with a language, so the dialog ends as if the
    // user had cancelled it.
    if (languageList.GetCount() <= 0 || index == LB_ERR) {
        OnCancel();
        return;
    }
    LanguageSelection chosen = choices_.Choose(static_cast<size_t>(index), handOff_);
    languageName = chosen.languageName;
    languageBase = chosen.languageBase;
    CDialog::OnOK();
}

void SelectLanguageDialog::OnCancel() {
    cancelled = 1;
    EndDialog(IDCANCEL);
}

void SelectLanguageDialog::OnClose() {
    // The default processing that follows turns Close into Cancel.
    cancelled = 1;
}

}  // namespace zs::language
