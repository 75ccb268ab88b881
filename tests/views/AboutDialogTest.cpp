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
// the dialog and after the label; the link's tip is set before it takes its window over.
TEST(AboutDialog, ShowsTheWholeLinkWithItsTipAndTheOkIcon)
{
    AboutDialog dialog;
    UiScript::Run(dialog, {UiScript::Do([&] {
        const HWND window = dialog.m_hWnd;
        EXPECT_EQ(ToolTipTextOf(dialog.GetDlgItem(IDC_WEBSITE_LINK)), "Norvatech site");
        const auto* ok = dynamic_cast<IconButton*>(Window::FromHandle(dialog.GetDlgItem(IDOK)));
        ASSERT_NE(ok, nullptr);
        EXPECT_NE(ok->GetIcon(), nullptr);

        const RECT label = ui::ChildRect(window, dialog.GetDlgItem(IDC_WEBSITE_LABEL));
        const RECT link = ui::ChildRect(window, dialog.GetDlgItem(IDC_WEBSITE_LINK));
        EXPECT_GE(label.right - label.left, TextWidthIn(window, "Web site:"));
        EXPECT_GE(link.left, label.right);
        EXPECT_GT(link.right - link.left, TextWidthIn(window, AboutDialog::kSiteUrl));
        EXPECT_LE(link.right, ui::ChildRect(window, dialog.GetDlgItem(IDOK)).right);
    })});
}

TEST(AboutDialog, OkEscapeAndTheCloseBoxEachCloseIt)
{
    struct Case {
        const char* name;
        void (*close)(HWND dialog);
        INT_PTR result;
    };
    const Case cases[] = {
        {"OK", [](HWND dialog) { ui::PostClick(dialog, IDOK); }, IDOK},
        {"Escape", [](HWND dialog) {
             ::SetFocus(::GetDlgItem(dialog, IDOK));
             ::PostMessageA(::GetDlgItem(dialog, IDOK), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
         }, IDCANCEL},
        {"close box", [](HWND dialog) { ::PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }, IDCANCEL},
    };
    for (const Case& c : cases) {
        AboutDialog dialog;
        EXPECT_EQ(UiScript::Run(dialog, {UiScript::Do([&] { c.close(dialog.m_hWnd); })}, false), c.result)
            << c.name;
    }
}

} // namespace
