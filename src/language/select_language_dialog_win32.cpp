#include "language/select_language_dialog_win32.h"

#include <windows.h>

#include "language/messages.h"
#include "language/resource_strings_win32.h"
#include "reslib/resource_ids.h"

namespace zs::language {
namespace {

std::string EnglishString(int offset) {
    return LoadMessage(CurrentModuleStrings(), IDS_ENGLISH_BASE, offset);
}

}  // namespace

SelectLanguageDialog::SelectLanguageDialog(bool locationMode, std::string supportedLanguages,
                                           const std::string& programDirectory, framework::CWnd* parent)
    : CDialog(IDD_SELECT_LANGUAGE, parent),
      profile(programDirectory),
      locationMode_(locationMode),
      supportedLanguages_(std::move(supportedLanguages)) {}

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
    SetWindowText(EnglishString(locationMode_ ? IDS_SELECT_LOCATION : IDS_SELECT_LANGUAGE));

    std::vector<CatalogueEntry> catalogue = ReadCatalogue(CurrentModuleStrings(), SetupLogSink());
    if (!locationMode_) {
        FillLanguageList(catalogue);
        languageList.SetCurSel(0);
        if (languageList.GetCount() == 1) OnOK();
        return TRUE;
    }

    catalogueEntries = OfferedEntries(catalogue, supportedLanguages_);
    ::ShowWindow(GetDlgItem(IDC_LANGUAGE_LABEL), SW_HIDE);
    if (!FillLocationList()) {
        EndAsCancelled();
        return TRUE;
    }
    languageList.SetCurSel(0);
    return TRUE;
}

void SelectLanguageDialog::FillLanguageList(const std::vector<CatalogueEntry>& catalogue) {
    catalogueEntries = catalogue;
    for (const CatalogueEntry& entry : catalogueEntries) {
        if (IsOffered(entry, supportedLanguages_)) languageList.AddString(entry.name);
    }
}

bool SelectLanguageDialog::FillLocationList() {
    if (!profile.ReadSectionNames()) return false;
    for (const std::string& section : profile.SectionNames()) {
        std::string name = profile.Read(section, kLocationNameKey, "", kLocationValueBufferSize);
        // Every location needs a name to be shown by: one without it fails the whole list.
        if (name.empty()) {
            profile.ReleaseSectionNames();
            return false;
        }
        languageList.AddString(name);
    }
    return true;
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
    if (!locationMode_) {
        // The dialog relabels itself in the highlighted language.
        languageBase = BlockBaseForName(languageList.GetText(index), catalogueEntries);
        SetWindowText(LoadMessage(strings, languageBase, IDS_SELECT_LANGUAGE));
        labelText = LoadMessage(strings, languageBase, IDS_SETUP_LANGUAGE);
        SetDlgItemText(IDC_LANGUAGE_LABEL, labelText);
        return;
    }
    std::string setup =
        profile.Read(profile.SectionName(index), kLocationSetupKey, "English", kLocationValueBufferSize);
    int base = MatchSetupLanguage(setup, catalogueEntries).languageBase;
    SetWindowText(LoadMessage(strings, base, IDS_SELECT_LOCATION));
}

void SelectLanguageDialog::OnOK() {
    int index = languageList.GetCurSel();
    // Nothing to choose (an empty list): the run cannot go on with a language, so the dialog ends as if the
    // user had cancelled it.
    if (languageList.GetCount() <= 0 || index == LB_ERR) {
        OnCancel();
        return;
    }
    if (!locationMode_) {
        languageName = languageList.GetText(index);
        languageBase = BlockBaseForName(languageName, catalogueEntries);
        catalogueEntries.clear();
    } else {
        LanguageSelection chosen = ConfirmLocation(index);
        languageName = chosen.languageName;
        languageBase = chosen.languageBase;
        profile.ReleaseSectionNames();
    }
    CDialog::OnOK();
}

LanguageSelection SelectLanguageDialog::ConfirmLocation(int index) {
    std::string section = profile.SectionName(index);
    WriteProfileStringA(kHandOffSection, kHandOffProfileKey, section.c_str());
    // Each value is read from the location and written before the next one is read.
    std::string messages = profile.Read(section, kLocationMessagesKey, "eng.dll", kLocationValueBufferSize);
    WriteProfileStringA(kHandOffSection, kHandOffMessagesKey, messages.c_str());
    std::string help = profile.Read(section, kLocationHelpKey, "eng.hlp", kLocationHelpBufferSize);
    WriteProfileStringA(kHandOffSection, kHandOffHelpKey, help.c_str());
    std::string licence = profile.Read(section, kLocationLicenceKey, "English", kLocationValueBufferSize);
    WriteProfileStringA(kHandOffSection, kHandOffLicenceKey, licence.c_str());

    std::string setup = profile.Read(section, kLocationSetupKey, "English", kLocationValueBufferSize);
    return MatchSetupLanguage(setup, catalogueEntries);
}

void SelectLanguageDialog::OnCancel() {
    profile.ReleaseSectionNames();
    cancelled = 1;
    catalogueEntries.clear();
    EndDialog(IDCANCEL);
}

void SelectLanguageDialog::OnClose() {
    // The default processing that follows turns Close into Cancel.
    cancelled = 1;
    catalogueEntries.clear();
}

void SelectLanguageDialog::EndAsCancelled() {
    cancelled = 1;
    EndDialog(IDCANCEL);
}

}  // namespace zs::language
