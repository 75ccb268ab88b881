// The real main window under Wine: its start-up state, the sampling tick wired to its list and
// tray entry, and its layout.
#include "tests/app/MainWindowHarness.h"

#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <ctime>

#include "res/resource.h"

using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::MatchesRegex;
using ::testing::Pair;

namespace {

struct OtherWindow {
    HWND handle = CreateWindowExA(0, "STATIC", "other", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ~OtherWindow() { DestroyWindow(handle); }
};

std::string ClassOf(HWND window)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string TextOf(HWND window)
{
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

int ImageOfRow(HWND list, int row)
{
    LVITEMA item{};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return item.iImage;
}

RECT ChildRect(HWND dialog, int id)
{
    RECT rect{};
    GetWindowRect(GetDlgItem(dialog, id), &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::string TodayText()
{
    const std::time_t now = std::time(nullptr);
    char text[16] = {};
    std::strftime(text, sizeof text, "%m/%d/%y", std::localtime(&now));
    return text;
}

} // namespace

TEST(MainDialog, OpensWithTheBlankAndTotalRowsAStartTimeAndItsControlsSetUp)
{
    MainWindowHarness harness;
    harness.options["MonitorAtStartup"] = 1;
    MainDialog dialog(harness.Services());
    EXPECT_FALSE(dialog.IsStopped());
    EXPECT_THAT(harness.optionsRead, ElementsAre("MonitorAtStartup"));

    const INT_PTR result = RunScripted(dialog, [&](HWND window) {
        EXPECT_EQ(ClassOf(window), kMainWindowClass);
        EXPECT_TRUE(IsWindowVisible(window));
        EXPECT_THAT(harness.optionsRead, ElementsAre("MonitorAtStartup", "MinToTray"));

        // Right after start: exactly the blank row and "Total:", whose time is still empty.
        EXPECT_THAT(RowsOf(dialog), ElementsAre(Pair("", ""), Pair("Total:", "")));
        // ... and "Total:" already in its own colour.
        const CellColors* total = dialog.List().GetCellColors(1);
        ASSERT_NE(total, nullptr);
        EXPECT_THAT(total->backColors, Each(RGB(185, 200, 216)));
        EXPECT_EQ(ImageOfRow(dialog.List().GetSafeHwnd(), 0), -1);

        // "%c" of the C locale: mm/dd/yy hh:mm:ss, today.
        const std::string caption = TextOf(window);
        EXPECT_THAT(caption, MatchesRegex("Vantel:  Starting at \\d\\d/\\d\\d/\\d\\d "
                                          "\\d\\d:\\d\\d:\\d\\d"));
        EXPECT_EQ(caption.substr(21, 8), TodayText());
        EXPECT_EQ(caption, "Vantel:  " + dialog.StartText());

        // Columns share the list's client width 65 : 35, and the header does not sort.
        const HWND list = dialog.List().GetSafeHwnd();
        RECT client{};
        GetClientRect(list, &client);
        const int labelWidth = static_cast<int>(client.right * 0.65);
        EXPECT_EQ(SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0), labelWidth);
        EXPECT_EQ(SendMessageA(list, LVM_GETCOLUMNWIDTH, 1, 0), client.right - labelWidth);
        EXPECT_FALSE(dialog.List().IsSortEnabled());
        char heading[32] = {};
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT;
        column.pszText = heading;
        column.cchTextMax = sizeof heading;
        SendMessageA(list, LVM_GETCOLUMNA, 1, reinterpret_cast<LPARAM>(&column));
        EXPECT_STREQ(heading, "Duration");
        EXPECT_EQ(dialog.List().m_stripeColor, RGB(232, 232, 243));
        EXPECT_EQ(dialog.List().m_lastRowColor, RGB(185, 200, 216));

        // Image 0 is the generic application icon.
        EXPECT_EQ(dialog.List().GetImageList(), dialog.ImageList());
        EXPECT_EQ(ImageList_GetImageCount(dialog.ImageList()), 1);

        // Every button has its icon; Start/Stop reads "S&top" while monitoring runs.
        for (int id : { IDC_STATS, IDCANCEL, IDOK, IDC_STARTSTOP, IDC_ABOUT, IDC_OPTIONS,
                        IDC_DETAILS, IDC_CLEAR }) {
            auto* button = static_cast<IconButton*>(Window::FromHandle(GetDlgItem(window, id)));
            ASSERT_NE(button, nullptr) << id;
            EXPECT_NE(button->GetIcon(), nullptr) << id;
        }
        EXPECT_EQ(TextOf(GetDlgItem(window, IDC_STARTSTOP)), "S&top");

        EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, ICON_BIG, 0)), dialog.MainIcon());
        EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, ICON_SMALL, 0)), dialog.MainIcon());
        EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(window, WM_QUERYDRAGICON, 0, 0)), dialog.MainIcon());

        // The system menu ends with a separator and "&About Vantel..." (command 16).
        const HMENU systemMenu = GetSystemMenu(window, FALSE);
        const int items = GetMenuItemCount(systemMenu);
        ASSERT_GE(items, 2);
        EXPECT_EQ(GetMenuItemID(systemMenu, items - 1), static_cast<UINT>(IDC_ABOUT));
        char item[64] = {};
        GetMenuStringA(systemMenu, items - 1, item, sizeof item, MF_BYPOSITION);
        EXPECT_STREQ(item, "&About Vantel...");
        EXPECT_EQ(GetMenuState(systemMenu, items - 2, MF_BYPOSITION) & MF_SEPARATOR,
                  static_cast<UINT>(MF_SEPARATOR));

        EXPECT_TRUE(harness.tray.empty());
    });
    EXPECT_EQ(result, IDABORT);

    // Leaving the run removed the tray entry, and the image list outlived the list view.
    ASSERT_FALSE(harness.tray.empty());
    EXPECT_EQ(harness.tray.back().message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_EQ(ImageList_GetImageCount(dialog.ImageList()), 1);
}

TEST(MainDialog, TicksCountTheForegroundApplicationInItsRowAndRefreshTheTooltip)
{
    MainWindowHarness harness;
    OtherWindow editor;
    harness.processes.names = { { 100, "editor.exe" }, { 200, "Editor.exe" } };
    char ownPath[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, ownPath, MAX_PATH);
    harness.processes.paths[100] = ownPath;   // carries the program's icons
    MainDialog dialog(harness.Services());

    RunScripted(dialog, [&](HWND window) {
        harness.foreground.window = editor.handle;
        harness.foreground.processId = 100;
        harness.foreground.title = "a.txt";
        for (int i = 0; i < 3; ++i)
            SendTimer(window, 1);
        EXPECT_THAT(RowsOf(dialog), ElementsAre(Pair("editor.exe", "0:00:03"), Pair("", ""),
                                                Pair("Total:", "0:00:03")));
        // The executable's icon was appended after image 0.
        EXPECT_EQ(ImageOfRow(dialog.List().GetSafeHwnd(), 0), 1);
        EXPECT_EQ(ImageList_GetImageCount(dialog.ImageList()), 2);

        // The tooltip is refreshed after totals 1 and 2, not 3, with the main icon.
        ASSERT_EQ(harness.tray.size(), 2u);
        EXPECT_EQ(harness.tray[0].message, static_cast<DWORD>(NIM_MODIFY));
        EXPECT_EQ(harness.tray[0].owner, window);
        EXPECT_EQ(harness.tray[0].icon, dialog.MainIcon());
        EXPECT_EQ(harness.tray[1].tip, "Total time: 0:00:02\nTop 3:\neditor.exe  0:00:02  100%\n");

        // A new title stays in the application's row.
        harness.foreground.title = "b.txt";
        SendTimer(window, 1);
        SendTimer(window, 1);
        EXPECT_THAT(RowsOf(dialog), ElementsAre(Pair("editor.exe", "0:00:05"), Pair("", ""),
                                                Pair("Total:", "0:00:05")));
        EXPECT_EQ(dialog.Store().Find("editor.exe")->documents.size(), 2u);

        // A name that differs only in case gets its own row, and each row keeps its own time.
        harness.foreground.processId = 200;
        SendTimer(window, 1);
        harness.foreground.processId = 100;
        SendTimer(window, 1);
        // Nothing in front; then timer 2, which counts nothing.
        harness.foreground.window = nullptr;
        SendTimer(window, 1);
        SendTimer(window, 2);
        EXPECT_THAT(RowsOf(dialog),
                    ElementsAre(Pair("editor.exe", "0:00:06"), Pair("Editor.exe", "0:00:01"),
                                Pair("No active windows", "0:00:01"), Pair("", ""),
                                Pair("Total:", "0:00:08")));
        // A window that gives no icon gets image 0.
        EXPECT_EQ(ImageOfRow(dialog.List().GetSafeHwnd(), 2), 0);
        EXPECT_EQ(dialog.Store().totalTicks(), 8u);
        EXPECT_EQ(harness.tray.back().message, static_cast<DWORD>(NIM_DELETE));
    });
}

TEST(MainDialog, GrowsOnlyDownwardsWithTheListAndFrameWhileTheButtonsStay)
{
    MainWindowHarness harness;
    MainDialog dialog(harness.Services());
    RunScripted(dialog, [&](HWND window) {
        RECT before{};
        GetWindowRect(window, &before);
        const RECT list = ChildRect(window, IDC_MAIN_LIST);
        const RECT frame = ChildRect(window, IDC_FRAME);
        const RECT exitButton = ChildRect(window, IDOK);

        SetWindowPos(window, nullptr, 0, 0, before.right - before.left + 80,
                     before.bottom - before.top + 60, SWP_NOMOVE | SWP_NOZORDER);
        Pump(50);
        RECT after{};
        GetWindowRect(window, &after);
        EXPECT_EQ(after.right - after.left, before.right - before.left);
        EXPECT_EQ(after.bottom - after.top, before.bottom - before.top + 60);

        const RECT grownList = ChildRect(window, IDC_MAIN_LIST);
        EXPECT_EQ(grownList.top, list.top);
        EXPECT_EQ(grownList.right, list.right);
        EXPECT_EQ(grownList.bottom, list.bottom + 60);
        EXPECT_EQ(ChildRect(window, IDC_FRAME).bottom, frame.bottom + 60);
        EXPECT_EQ(ChildRect(window, IDOK).top, exitButton.top);

        // Never smaller than it opened.
        SetWindowPos(window, nullptr, 0, 0, 100, 100, SWP_NOMOVE | SWP_NOZORDER);
        Pump(50);
        GetWindowRect(window, &after);
        EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
    });
}

TEST(MainDialog, HidesToTheTrayAtStartWhenMinToTrayIsOn)
{
    MainWindowHarness harness;
    harness.options["MinToTray"] = 1;
    MainDialog dialog(harness.Services());
    EXPECT_TRUE(dialog.IsStopped());
    RunScripted(dialog, [&](HWND window) {
        Pump(50);
        EXPECT_FALSE(IsWindowVisible(window));
        ASSERT_EQ(harness.tray.size(), 1u);
        EXPECT_EQ(harness.tray[0].message, static_cast<DWORD>(NIM_ADD));
        EXPECT_EQ(harness.tray[0].icon, dialog.DisabledIcon());
        EXPECT_EQ(harness.tray[0].tip, "Vantel is disabled.");
        EXPECT_EQ(TextOf(GetDlgItem(window, IDC_STARTSTOP)), "S&tart");
    });
}
