#include <gtest/gtest.h>

#include <string>

#include "controls/IconButton.h"
#include "res/resource.h"
#include "tests/views/UiScript.h"
#include "views/AboutDialog.h"

namespace {

struct ToolSearch {
    HWND control;
    std::string text;
};

BOOL CALLBACK FindToolOf(HWND window, LPARAM data)
{
    auto& s = *reinterpret_cast<ToolSearch*>(data);
    char className[64] = {};
    ::GetClassNameA(window, className, sizeof className);
    if (lstrcmpiA(className, TOOLTIPS_CLASSA) != 0)
        return TRUE;
    TTTOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    if (!::SendMessageA(window, TTM_ENUMTOOLSA, 0, reinterpret_cast<LPARAM>(&tool)) || tool.hwnd != s.control)
        return TRUE;
    char text[256] = {};
    tool.lpszText = text;
    ::SendMessageA(window, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    s.text = text;
    return FALSE;
}

// The text of the first tool of the tooltip that serves control.
std::string ToolTipTextOf(HWND control)
{
    ToolSearch search{control, "<no tooltip>"};
    ::EnumThreadWindows(::GetCurrentThreadId(), FindToolOf, reinterpret_cast<LPARAM>(&search));
    return search.text;
}

TEST(AboutDialog, ShowsTheLinkWithItsTipAndTheOkIcon)
{
    AboutDialog dialog;
    std::string caption, tip;
    HICON okIcon = nullptr;
    bool linkIsBound = false;
    UiScript::Run(dialog, {UiScript::Do([&] {
        caption = ui::WindowText(dialog.m_hWnd);
        tip = ToolTipTextOf(dialog.GetDlgItem(IDC_WEBSITE_LINK));
        const auto* ok = dynamic_cast<IconButton*>(Window::FromHandle(dialog.GetDlgItem(IDOK)));
        okIcon = ok != nullptr ? ok->GetIcon() : nullptr;
        linkIsBound = Window::FromHandle(dialog.GetDlgItem(IDC_WEBSITE_LINK)) != nullptr;
    })});

    EXPECT_EQ(caption, "About Vantel");
    EXPECT_EQ(tip, "Norvatech site");
    EXPECT_NE(okIcon, nullptr);
    EXPECT_TRUE(linkIsBound);
}

int TextWidthIn(HWND dialog, const std::string& text)
{
    const HDC dc = ::GetDC(dialog);
    const HGDIOBJ previous = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(dialog, WM_GETFONT, 0, 0)));
    SIZE extent = {};
    ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    ::SelectObject(dc, previous);
    ::ReleaseDC(dialog, dc);
    return extent.cx;
}

// Whatever the dialog font, "Web site:" stays on one line and the whole address shows, inside
// the dialog and after the label.
TEST(AboutDialog, SiteLabelAndLinkFitTheirText)
{
    AboutDialog dialog;
    RECT label = {}, link = {}, ok = {};
    int labelText = 0, linkText = 0;
    UiScript::Run(dialog, {UiScript::Do([&] {
        const HWND window = dialog.m_hWnd;
        label = ui::ChildRect(window, dialog.GetDlgItem(IDC_WEBSITE_LABEL));
        link = ui::ChildRect(window, dialog.GetDlgItem(IDC_WEBSITE_LINK));
        ok = ui::ChildRect(window, dialog.GetDlgItem(IDOK));
        labelText = TextWidthIn(window, "Web site:");
        linkText = TextWidthIn(window, AboutDialog::kSiteUrl);
    })});

    EXPECT_GE(label.right - label.left, labelText);
    EXPECT_GE(link.left, label.right);
    EXPECT_GT(link.right - link.left, linkText);
    EXPECT_LE(link.right, ok.right);
}

TEST(AboutDialog, OkEscapeAndTheCloseBoxEachCloseIt)
{
    {
        AboutDialog dialog;
        EXPECT_EQ(UiScript::Run(dialog, {UiScript::Do([&] { ui::PostClick(dialog.m_hWnd, IDOK); })},
                                false), IDOK);
    }
    {
        AboutDialog dialog;
        const INT_PTR result = UiScript::Run(dialog, {
            UiScript::Do([&] {
                ::SetFocus(dialog.GetDlgItem(IDOK));
                ::PostMessageA(dialog.GetDlgItem(IDOK), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
            })}, false);
        EXPECT_EQ(result, IDCANCEL);
    }
    {
        AboutDialog dialog;
        const INT_PTR result = UiScript::Run(dialog, {UiScript::Do([&] {
            ::PostMessageA(dialog.m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        })}, false);
        EXPECT_EQ(result, IDCANCEL);
    }
}

} // namespace
