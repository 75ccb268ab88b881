// The About box: the program's icon, name and version, the maker's notice, and a link to the
// maker's web site. Fixed size.
#pragma once

#include "controls/HyperlinkCtrl.h"
#include "controls/IconButton.h"
#include "framework/Dialog.h"

class AboutDialog : public Dialog {
public:
    // Owned by the application's main window.
    AboutDialog();

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(DataExchange& exchange) override;

private:
    void FitSiteLine();

    IconButton m_okButton;
    HyperlinkCtrl m_link;
};
