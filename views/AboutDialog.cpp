#include "views/AboutDialog.h"

#include "res/resource.h"

AboutDialog::AboutDialog() : Dialog(IDD_ABOUTBOX, nullptr)
{
}

void AboutDialog::DoDataExchange(DataExchange& exchange)
{
    Dialog::DoDataExchange(exchange);
    DDX_Control(exchange, IDOK, m_okButton);
    DDX_Control(exchange, IDC_WEBSITE_LINK, m_link);
}

BOOL AboutDialog::OnInitDialog()
{
    // Set before the link takes its window over, so its tooltip starts with this text.
    m_link.SetLinkText(kSiteUrl);
    m_link.SetLinkUrl(kSiteUrl);
    m_link.SetToolTipText(kSiteToolTip);
    Dialog::OnInitDialog();
    m_okButton.SetIcon(IDI_OK, 16, 16);
    return TRUE;
}
