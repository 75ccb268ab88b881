#include "views/AboutDialog.h"

#include <algorithm>
#include <string>

#include "res/resource.h"

namespace {

// The maker's site: the link's text and target, as written in the template.
constexpr char kSiteUrl[] = "https://www.norvatech.example/";
constexpr char kSiteToolTip[] = "Norvatech site";

RECT ChildRect(HWND dialog, HWND child)
{
    RECT rect = {};
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

int TextWidth(HDC dc, const std::string& text)
{
    SIZE extent = {};
    ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    return extent.cx;
}

} // namespace

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
    FitSiteLine();
    // Set before the link takes its window over, so its tooltip starts with this text.
    m_link.SetLinkText(kSiteUrl);
    m_link.SetLinkUrl(kSiteUrl);
    m_link.SetToolTipText(kSiteToolTip);
    Dialog::OnInitDialog();
    m_okButton.SetIcon(IDI_OK);
    return TRUE;
}

// The template sizes the "Web site:" label and the link for the fonts it was drawn with; with a
// wider dialog font the label wraps after "Web" and the address is cut off. Both are widened to
// their text on one line, the link right after the label, ending at most under the OK button's
// right edge. Done before the link is taken over, so that its tooltip covers its new size.
void AboutDialog::FitSiteLine()
{
    const HWND label = GetDlgItem(IDC_WEBSITE_LABEL);
    const HWND link = GetDlgItem(IDC_WEBSITE_LINK);
    const HWND ok = GetDlgItem(IDOK);
    if (label == nullptr || link == nullptr || ok == nullptr)
        return;

    const HDC dc = ::GetDC(m_hWnd);
    const HGDIOBJ previousFont = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(m_hWnd, WM_GETFONT, 0, 0)));
    char labelText[64] = {};
    ::GetWindowTextA(label, labelText, sizeof labelText);
    const int labelWidth = TextWidth(dc, labelText);
    const int linkWidth = TextWidth(dc, kSiteUrl) + 4 * ::GetSystemMetrics(SM_CXEDGE);
    ::SelectObject(dc, previousFont);
    ::ReleaseDC(m_hWnd, dc);

    RECT labelRect = ChildRect(m_hWnd, label);
    labelRect.right = std::max(labelRect.right, labelRect.left + labelWidth);
    RECT linkRect = ChildRect(m_hWnd, link);
    linkRect.left = std::max(linkRect.left, labelRect.right);
    linkRect.right = std::min(std::max(linkRect.right, linkRect.left + linkWidth),
                              ChildRect(m_hWnd, ok).right);
    ::MoveWindow(label, labelRect.left, labelRect.top, labelRect.right - labelRect.left,
                 labelRect.bottom - labelRect.top, FALSE);
    ::MoveWindow(link, linkRect.left, linkRect.top, linkRect.right - linkRect.left,
                 linkRect.bottom - linkRect.top, FALSE);
}
