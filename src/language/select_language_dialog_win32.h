// The Select Language dialog (template IDD_SELECT_LANGUAGE of the resource library): the one modal dialog of
// setup.exe. It yields a LanguageSelection and works in one of two modes, fixed when it is constructed:
// - language mode: the list shows the catalogue languages that the list file enables; choosing one picks the
//   language. The caption and label start in English and follow the highlighted language. With exactly one
//   language the dialog ends at once with it, without waiting for the user.
// - location mode: the list shows the locations of ZSPROFIL.INI beside the program; choosing one picks the
//   language that the location names and hands the location's settings to the main setup module through
//   WIN.INI. The caption follows the highlighted location's language.
// The dialog has no Cancel button: Escape and Close cancel. OK with an empty list (nothing to choose) ends
// the dialog as cancelled, as does a location list that cannot be filled and a dialog that cannot be created.
#pragma once

#include <string>
#include <vector>

#include "framework/dialog_win32.h"
#include "language/catalogue.h"
#include "language/language_selection.h"
#include "language/location_profile_win32.h"

namespace zs::language {

// WIN.INI section and keys through which a confirmed location reaches the main setup module.
inline constexpr char kHandOffSection[] = "Zemsetup32";
inline constexpr char kHandOffProfileKey[] = "StdProfile";
inline constexpr char kHandOffMessagesKey[] = "StdMessages";
inline constexpr char kHandOffHelpKey[] = "StdHelp";
inline constexpr char kHandOffLicenceKey[] = "StdLicencLang";

class SelectLanguageDialog : public framework::CDialog {
  public:
    // supportedLanguages: the names of the languages that the list file enables, concatenated.
    // programDirectory: the running program's directory with its trailing backslash.
    SelectLanguageDialog(bool locationMode, std::string supportedLanguages,
                         const std::string& programDirectory, framework::CWnd* parent = nullptr);

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
    void FillLanguageList(const std::vector<CatalogueEntry>& catalogue);
    bool FillLocationList();
    void OnSelectionChange();
    // Writes the chosen location's values to WIN.INI and returns the language it names.
    LanguageSelection ConfirmLocation(int index);
    void EndAsCancelled();

    framework::CListBox languageList;
    std::string labelText;
    int languageBase = 0;
    std::string languageName;
    int cancelled = 0;
    // Language mode: the whole catalogue; location mode: the offered entries only.
    std::vector<CatalogueEntry> catalogueEntries;
    LocationProfile profile;

    bool locationMode_;
    std::string supportedLanguages_;
};

}  // namespace zs::language
