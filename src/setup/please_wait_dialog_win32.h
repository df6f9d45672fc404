// The please-wait window (template IDD_WAIT of the resource library): a small modeless window in the chosen
// language that stays on the screen while the start-up files are staged. Its caption is the application name,
// one blank and the language's word for the setup program; its one line says that setup is initialising. It
// has no buttons and no handlers: only the start-up sequence ends it.
#pragma once

#include <string>

#include "framework/dialog_win32.h"

namespace zs::language {

class PleaseWaitDialog : public framework::CDialog {
  public:
    // Constructing creates and shows the window. Its caption is `appName`, " " and the block's word for the
    // setup program.
    PleaseWaitDialog(int languageBase, const std::string& appName, framework::CWnd* parent = nullptr);
    ~PleaseWaitDialog() override;

    const std::string& waitText() const { return waitText_; }

  protected:
    BOOL OnInitDialog() override;

  private:
    std::string waitText_;
    std::string m_strCaption;
};

}  // namespace zs::language
