// Every window drawn for the DPI it runs at (96, 144 or 192: run-at-dpi.sh sets the prefix's
// LogPixels): icons at the small-icon size of that DPI, no text cut off, a picture of each. A DPI
// change while running (WM_DPICHANGED) rescales the main window.
#include "tests/support/MainWindowRun.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include "controls/IconButton.h"
#include "framework/Application.h"
#include "framework/Dpi.h"
#include "res/resource.h"

namespace {

using ui::Script;

SIZE TextExtent(HWND window, const std::string& text, int wrapWidth)
{
    const HDC dc = GetDC(window);
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(window, WM_GETFONT, 0, 0)));
    RECT rect{0, 0, wrapWidth, 0};
    DrawTextA(dc, text.c_str(), -1, &rect, DT_CALCRECT | (wrapWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE));
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return {rect.right, rect.bottom};
}

// Icon buttons show their icon crisp at the DPI's small-icon size, list images have that size,
// and every text fits its control. A picture of the dialog goes to name-<dpi>.bmp.
void ExpectDrawnForDpi(HWND dialog, const char* name)
{
    const UINT dpi = DpiOf(dialog);
    const int iconSize = SmallIconSize(dpi);
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        char className[32] = {};
        GetClassNameA(child, className, sizeof className);
        const std::string text = ui::Text(child), what = std::string(name) + ": " + text;
        const DWORD style = static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE));
        RECT client{};
        GetClientRect(child, &client);
        if (auto* button = dynamic_cast<IconButton*>(Window::FromHandle(child))) {
            EXPECT_EQ(ui::IconSide(button->GetIcon()), iconSize) << what;
            EXPECT_LE(TextExtent(child, text, 0).cx + iconSize, client.right) << what;
        } else if (std::string(className) == WC_LISTVIEWA) {
            int width = 0, height = 0;
            ImageList_GetIconSize(ListView_GetImageList(child, LVSIL_SMALL), &width, &height);
            EXPECT_EQ(width, iconSize) << what;
        } else if (IsWindowVisible(child) && !text.empty()) {
            const bool check = std::string(className) == "Button" && (style & BS_TYPEMASK) == BS_AUTOCHECKBOX;
            const int wrap = std::string(className) == "Static" ? client.right : 0;
            const SIZE need = TextExtent(child, text, wrap);
            EXPECT_LE(wrap ? need.cy : need.cx + (check ? MetricForDpi(SM_CXMENUCHECK, dpi) : 0),
                      wrap ? client.bottom : client.right) << what;
        }
    }
    EXPECT_TRUE(ui::SaveScreenshot(dialog, std::string(name) + "-" + std::to_string(dpi)));
}

struct DpiTest : ::testing::Test {
    MainWindowRun run;
    DpiTest()
    {
        run.processes.processes = {{100, "editor.exe"}, {200, "browser.exe"}};
        run.processes.paths[100] = ModulePath(nullptr);
    }
    Script::Step Ticks()
    {
        return Script::Do([this] { run.Tick(100, "report.txt", 2); run.Tick(200, "News"); });
    }
    // The dialog with this caption, opened by posting command to the main window, checked and
    // photographed, then closed.
    std::vector<Script::Step> Look(int command, const std::string& caption, const char* name)
    {
        return {Script::Do([this, command] { ui::PostCommand(run.window, command); }),
                [caption] { return ui::FindDialog(caption) != nullptr; }, Script::Wait(300),
                Script::Do([caption, name] {
                    ExpectDrawnForDpi(ui::FindDialog(caption), name);
                    PostMessageA(ui::FindDialog(caption), WM_COMMAND, IDCANCEL, 0);
                }),
                [caption] { return ui::FindDialog(caption) == nullptr; }};
    }
};

TEST_F(DpiTest, EveryWindowIsDrawnForTheDpiItRunsAt)
{
    MainDialog dialog(run.Services());
    std::vector<Script::Step> steps = {Ticks(), Script::Wait(300), Script::Do([&] {
        ExpectDrawnForDpi(run.window, "main-window");
        ListView_SetItemState(GetDlgItem(run.window, IDC_MAIN_LIST), 0, LVIS_SELECTED, LVIS_SELECTED);
    })};
    for (const auto& look : {Look(IDC_STATS, "Application statistics", "statistics"),
                             Look(IDC_DETAILS, "Statistics for", "documents"),
                             Look(IDC_OPTIONS, "Vantel Options", "options"), Look(IDC_ABOUT, "About Vantel", "about")})
        steps.insert(steps.end(), look.begin(), look.end());
    run.Run(dialog, steps);
}

// Moved to a monitor of twice the DPI: the window takes the rectangle the system suggests, and
// its icons, images (all of them kept), columns, size grip and smallest size follow.
TEST_F(DpiTest, ADpiChangeWhileRunningRescalesTheMainWindow)
{
    MainDialog dialog(run.Services());
    run.Run(dialog, {Ticks(), Script::Do([&] {
        const HWND window = run.window, list = GetDlgItem(window, IDC_MAIN_LIST), grip = GetDlgItem(window, 0xFFFF);
        const int column = ListView_GetColumnWidth(list, 0);
        MINMAXINFO before{}, after{};
        SendMessageA(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&before));
        RECT suggested{}, gripBefore{}, gripAfter{}, now{};
        GetWindowRect(grip, &gripBefore);
        GetWindowRect(window, &suggested);
        suggested.right += suggested.right - suggested.left;
        suggested.bottom += suggested.bottom - suggested.top;
        const UINT doubled = 2 * DpiOf(window);
        SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(doubled, doubled), reinterpret_cast<LPARAM>(&suggested));
        GetWindowRect(window, &now);
        EXPECT_TRUE(EqualRect(&now, &suggested));
        EXPECT_EQ(ui::IconSide(static_cast<IconButton*>(Window::FromHandle(GetDlgItem(window, IDC_STATS)))->GetIcon()),
                  SmallIconSize(doubled));
        int width = 0, height = 0;
        const HIMAGELIST images = ListView_GetImageList(list, LVSIL_SMALL);
        ImageList_GetIconSize(images, &width, &height);
        EXPECT_EQ(width, SmallIconSize(doubled));
        EXPECT_EQ(ImageList_GetImageCount(images), 2);
        EXPECT_NEAR(ListView_GetColumnWidth(list, 0), 2 * column, 1);
        SendMessageA(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&after));
        EXPECT_NEAR(after.ptMinTrackSize.x, 2 * before.ptMinTrackSize.x, 1);
        GetWindowRect(GetDlgItem(window, 0xFFFF), &gripAfter);
        EXPECT_NEAR(gripAfter.right - gripAfter.left, 2 * (gripBefore.right - gripBefore.left), 1);
        RECT client{};
        GetClientRect(window, &client);
        POINT corner{client.right, client.bottom};
        ClientToScreen(window, &corner);
        EXPECT_EQ(gripAfter.right, corner.x) << "the grip stays in the corner";
    })});
}

} // namespace
