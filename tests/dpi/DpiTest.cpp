// Every window of the program drawn for the DPI it runs at (96, 144 or 192: run-at-dpi.sh sets the
// prefix's LogPixels): icons at the small-icon size of that DPI, no text cut off, and a picture
// of each window. A DPI change while running (WM_DPICHANGED) rescales the main window.
#include "tests/app/MainWindowHarness.h"

#include <gtest/gtest.h>

#include <string>

#include "controls/IconButton.h"
#include "framework/Dpi.h"
#include "res/resource.h"
#include "tests/e2e/DesktopDriver.h"
#include "tests/views/UiScript.h"

namespace {

using Step = UiScript::Step;

int IconSide(HICON icon)
{
    ICONINFO info{};
    if (!GetIconInfo(icon, &info))
        return 0;
    BITMAP bitmap{};
    GetObjectA(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

std::string ClassOf(HWND window)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

// The room text needs in window's font: one line, or wrapped to width.
SIZE TextExtent(HWND window, const std::string& text, int wrapWidth = 0)
{
    const HDC dc = GetDC(window);
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(window, WM_GETFONT, 0, 0)));
    RECT rect{0, 0, wrapWidth, 0};
    DrawTextA(dc, text.c_str(), -1, &rect, DT_CALCRECT | (wrapWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE));
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

// Every icon button shows its icon at the DPI's small-icon size, crisp (the image of that size);
// every text of the dialog fits its control.
void ExpectDrawnForDpi(HWND dialog, UINT dpi)
{
    const int iconSize = SmallIconSize(dpi);
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child))
            continue;
        const std::string text = ui::WindowText(child);
        RECT client{};
        GetClientRect(child, &client);
        const DWORD style = static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE));
        const std::string what = ui::WindowText(dialog) + ": " + text;
        if (auto* button = dynamic_cast<IconButton*>(Window::FromHandle(child))) {
            EXPECT_EQ(IconSide(button->GetIcon()), iconSize) << what;
            EXPECT_LE(TextExtent(child, text).cx + iconSize, client.right) << what;
        } else if (ClassOf(child) == "Static" && (style & SS_TYPEMASK) <= SS_RIGHT && !text.empty()) {
            EXPECT_LE(TextExtent(child, text, client.right).cy, client.bottom) << what;
        } else if (ClassOf(child) == "Button" && !text.empty()) {
            const int box = (style & BS_TYPEMASK) == BS_AUTOCHECKBOX ? MetricForDpi(SM_CXMENUCHECK, dpi) : 0;
            EXPECT_LE(TextExtent(child, text).cx + box, client.right) << what;
        } else if (ClassOf(child) == WC_LISTVIEWA) {
            int width = 0, height = 0;
            ImageList_GetIconSize(ListView_GetImageList(child, LVSIL_SMALL), &width, &height);
            EXPECT_EQ(width, iconSize) << what << " list images";
        }
    }
}

std::string PictureName(const char* window, UINT dpi)
{
    return std::string(window) + "-" + std::to_string(dpi);
}

struct DpiTest : ::testing::Test {
    MainWindowHarness harness;
    HWND main = nullptr;
    UINT dpi = 0;

    DpiTest()
    {
        harness.processes.names = { { 100, "editor.exe" }, { 200, "browser.exe" } };
        harness.processes.paths[100] = BinFolder() + "app_dpi_tests.exe";
    }
    ~DpiTest() override { SetAppMainWindow(nullptr); }

    Step Start(MainDialog& dialog)
    {
        return UiScript::Do([this, &dialog] {
            main = dialog.m_hWnd;
            dpi = dialog.Dpi();
            SetAppMainWindow(&dialog);
            HWND window = CreateWindowExA(0, "STATIC", "x", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
            harness.foreground.window = window;
            for (auto [process, title] : { std::pair(100u, "report.txt"), std::pair(200u, "News"), std::pair(100u, "notes.txt") }) {
                harness.foreground.processId = process;
                harness.foreground.title = title;
                SendTimer(main, 1);
            }
        });
    }
    // The dialog with this caption opened by posting command to the main window, checked and
    // photographed as picture, then closed.
    std::vector<Step> Look(UINT command, const std::string& caption, const char* picture)
    {
        return { UiScript::Do([this, command] { PostMessageA(main, WM_COMMAND, command, 0); }),
                 [caption] { return ui::FindDialog(caption) != nullptr; },
                 UiScript::Wait(300),
                 UiScript::Do([this, caption, picture] {
                     const HWND dialog = ui::FindDialog(caption);
                     ExpectDrawnForDpi(dialog, dpi);
                     EXPECT_TRUE(SaveScreenshot(dialog, PictureName(picture, dpi)));
                     PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
                 }),
                 [caption] { return ui::FindDialog(caption) == nullptr; } };
    }
};

TEST_F(DpiTest, EveryWindowIsDrawnForTheDpiItRunsAt)
{
    MainDialog dialog(harness.Services());
    std::vector<Step> steps = {
        Start(dialog),
        UiScript::Wait(300),
        UiScript::Do([&] {
            ExpectDrawnForDpi(main, dpi);
            EXPECT_TRUE(SaveScreenshot(main, PictureName("main-window", dpi)));
        }),
    };
    for (const auto& look : { Look(IDC_STATS, "Application statistics", "statistics"),
                              Look(IDC_OPTIONS, "Vantel Options", "options"),
                              Look(IDC_ABOUT, "About Vantel", "about") })
        steps.insert(steps.end(), look.begin(), look.end());
    // The documents of the first row, from the main window's Details.
    steps.push_back(UiScript::Do([&] { ListView_SetItemState(GetDlgItem(main, IDC_MAIN_LIST), 0, LVIS_SELECTED, LVIS_SELECTED); }));
    const auto documents = Look(IDC_DETAILS, "Statistics for 'editor.exe'", "documents");
    steps.insert(steps.end(), documents.begin(), documents.end());
    UiScript::Run(dialog, steps);
}

// Moved to a monitor of twice the DPI: the window takes the rectangle the system suggests, and
// its icons, images, columns, size grip and smallest size follow.
TEST_F(DpiTest, ADpiChangeWhileRunningRescalesTheMainWindow)
{
    MainDialog dialog(harness.Services());
    UiScript::Run(dialog, {
        Start(dialog),
        UiScript::Do([&] {
            const HWND list = GetDlgItem(main, IDC_MAIN_LIST);
            const int columnBefore = ListView_GetColumnWidth(list, 0);
            MINMAXINFO before{};
            SendMessageA(main, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&before));
            RECT grip{}, gripBefore{};
            GetWindowRect(GetDlgItem(main, 0xFFFF), &gripBefore);
            RECT suggested{};
            GetWindowRect(main, &suggested);
            suggested.right = suggested.left + 2 * (suggested.right - suggested.left);
            suggested.bottom = suggested.top + 2 * (suggested.bottom - suggested.top);

            const UINT doubled = 2 * dpi;
            SendMessageA(main, WM_DPICHANGED, MAKEWPARAM(doubled, doubled), reinterpret_cast<LPARAM>(&suggested));
            RECT now{};
            GetWindowRect(main, &now);
            EXPECT_TRUE(EqualRect(&now, &suggested));
            EXPECT_EQ(dialog.Dpi(), doubled);
            auto* stats = static_cast<IconButton*>(Window::FromHandle(GetDlgItem(main, IDC_STATS)));
            EXPECT_EQ(IconSide(stats->GetIcon()), SmallIconSize(doubled));
            int width = 0, height = 0;
            ImageList_GetIconSize(dialog.ImageList(), &width, &height);
            EXPECT_EQ(width, SmallIconSize(doubled));
            EXPECT_EQ(ImageList_GetImageCount(dialog.ImageList()), 2) << "every image kept";
            EXPECT_NEAR(ListView_GetColumnWidth(list, 0), 2 * columnBefore, 1);
            MINMAXINFO after{};
            SendMessageA(main, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&after));
            EXPECT_NEAR(after.ptMinTrackSize.x, 2 * before.ptMinTrackSize.x, 1);
            GetWindowRect(GetDlgItem(main, 0xFFFF), &grip);
            EXPECT_NEAR(grip.right - grip.left, 2 * (gripBefore.right - gripBefore.left), 1);
            RECT client{};
            GetClientRect(main, &client);
            POINT corner{client.right, client.bottom};
            ClientToScreen(main, &corner);
            EXPECT_EQ(grip.right, corner.x) << "the grip stays in the corner";
            EXPECT_EQ(grip.bottom, corner.y);
        }),
    });
}

} // namespace
