// The Select Language dialog (template IDD_SELECT_LANGUAGE of the resource library): the one modal dialog of
// setup.exe. It shows the choices that the start-up sequence prepared (language_choices.h) and yields a
// LanguageSelection:
// - language mode: the caption and label start in English and follow the highlighted language; with exactly
//   one language the dialog ends at once with it, without waiting for the user;
// - location mode: the label is hidden and the caption follows the highlighted location's language;
//   confirming hands the location's settings on through the hand-off callback.
// The dialog has no Cancel button: Escape and Close cancel. OK with an empty list (nothing to choose) ends
// the dialog as cancelled, as does a dialog that cannot be created.
#pragma once

#include <string>

#include "framework/dialog_win32.h"
#include "language/language_choices.h"
#include "language/language_selection.h"

namespace zs::language {

class SelectLanguageDialog : public framework::CDialog {
  public:
    // `choices` must outlive the dialog.
    SelectLanguageDialog(const LanguageChoices& choices, HandOff handOff, framework::CWnd* parent = nullptr);

    INT_PTR DoModal() override;

    // The result, once the modal run has ended.
    LanguageSelection Selection() const { return {languageName, languageBase, cancelled != 0}; }

  protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void OnClose() override;
    void DoDataExchange(framework::CDataExchange* exchange) override;
    BOOL OnControlNotification(int controlId, int notificationCode) override;

  private:
    void OnSelectionChange();

    framework::CListBox languageList;
    std::string labelText;
    int languageBase = 0;
    std::string languageName;
    int cancelled = 0;

    const LanguageChoices& choices_;
    HandOff handOff_;
};

}  // namespace zs::language
