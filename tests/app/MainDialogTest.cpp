// The real main window under Wine: its start-up state, the sampling tick wired to its list and
// tray entry, and its layout. Long runs of ticks (names differing in case, no window in front,
// windows without icons, the tooltip's cadence) are checked against a model in tests/soak.
#include "tests/app/MainWindowHarness.h"

#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <ctime>

#include "res/resource.h"
#include "settings/SettingsStore.h"
#include "tests/views/UiScript.h"

using ::testing::ElementsAre;
using ::testing::MatchesRegex;
using ::testing::Pair;

namespace {

struct OtherWindow {
    HWND handle = CreateWindowExA(0, "STATIC", "other", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ~OtherWindow() { DestroyWindow(handle); }
};

// The background custom draw gives the cells of row.
COLORREF Background(const ReportListCtrl& list, int row)
{
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    ListView_GetItem(list.GetSafeHwnd(), &item);
    NMLVCUSTOMDRAW draw{};
    draw.nmcd.hdr = {list.GetSafeHwnd(), static_cast<UINT_PTR>(GetDlgCtrlID(list.GetSafeHwnd())), NM_CUSTOMDRAW};
    draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT | CDDS_SUBITEM;
    draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(row);
    draw.nmcd.lItemlParam = item.lParam;
    draw.iSubItem = 1;
    SendMessageA(GetParent(list.GetSafeHwnd()), WM_NOTIFY, draw.nmcd.hdr.idFrom, reinterpret_cast<LPARAM>(&draw));
    return draw.clrTextBk;
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
    WriteOption(kMonitorAtStartupOption, 1);
    MainDialog dialog(harness.Services());
    EXPECT_FALSE(dialog.IsStopped());

    const INT_PTR result = RunScripted(dialog, [&](HWND window) {
        EXPECT_EQ(FindWindowA(kMainWindowClass, nullptr), window);
        EXPECT_TRUE(IsWindowVisible(window));

        // Right after start: exactly the blank row and "Total:", whose time is still empty.
        EXPECT_THAT(RowsOf(dialog), ElementsAre(Pair("", ""), Pair("Total:", "")));
        // ... and "Total:" already in its own colour.
        EXPECT_EQ(Background(dialog.List(), 1), RGB(185, 200, 216));
        EXPECT_EQ(ui::ImageOf(dialog.List().GetSafeHwnd(), 0), -1);

        // "%c" of the C locale: mm/dd/yy hh:mm:ss, today.
        const std::string caption = ui::WindowText(window);
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
        EXPECT_EQ(ui::WindowText(GetDlgItem(window, IDC_STARTSTOP)), "S&top");

        // The program's icon, large and at the small size of the window's DPI.
        const HICON large = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_MAIN));
        EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, ICON_BIG, 0)), large);
        EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(window, WM_QUERYDRAGICON, 0, 0)), large);
        ICONINFO small{};
        ASSERT_TRUE(GetIconInfo(reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, ICON_SMALL, 0)), &small));
        BITMAP colour{};
        GetObjectA(small.hbmColor, sizeof colour, &colour);
        EXPECT_EQ(colour.bmWidth, GetSystemMetrics(SM_CXSMICON));
        DeleteObject(small.hbmColor);
        DeleteObject(small.hbmMask);

        // The system menu ends with "&About Vantel...".
        const HMENU systemMenu = GetSystemMenu(window, FALSE);
        char item[64] = {};
        GetMenuStringA(systemMenu, IDC_ABOUT, item, sizeof item, MF_BYCOMMAND);
        EXPECT_STREQ(item, "&About Vantel...");
        EXPECT_EQ(GetMenuItemID(systemMenu, GetMenuItemCount(systemMenu) - 1), static_cast<UINT>(IDC_ABOUT));

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
    harness.processes.names = { { 100, "editor.exe" } };
    char ownPath[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, ownPath, MAX_PATH);
    harness.processes.paths[100] = ownPath;   // carries the program's icons
    MainDialog dialog(harness.Services());

    RunScripted(dialog, [&](HWND window) {
        harness.foreground.window = editor.handle;
        harness.foreground.processId = 100;
        harness.foreground.title = "a.txt";
        SendCommand(window, IDCANCEL);   // into the tray, whose tooltip the ticks refresh
        harness.tray.clear();
        for (int i = 0; i < 3; ++i)
            SendTimer(window, 1);
        EXPECT_THAT(RowsOf(dialog), ElementsAre(Pair("editor.exe", "0:00:03"), Pair("", ""),
                                                Pair("Total:", "0:00:03")));
        // The executable's icon was appended after image 0.
        EXPECT_EQ(ui::ImageOf(dialog.List().GetSafeHwnd(), 0), 1);
        EXPECT_EQ(ImageList_GetImageCount(dialog.ImageList()), 2);

        // The tooltip alone is refreshed after totals 1 and 2, not 3.
        ASSERT_EQ(harness.tray.size(), 2u);
        EXPECT_EQ(harness.tray[0].message, static_cast<DWORD>(NIM_MODIFY));
        EXPECT_EQ(harness.tray[0].owner, window);
        EXPECT_EQ(harness.tray[0].flags, static_cast<UINT>(NIF_TIP));
        EXPECT_EQ(harness.tray[1].tip, "Total time: 0:00:02\nTop 3:\neditor.exe  0:00:02  100%\n");

        // A new title stays in the application's row.
        harness.foreground.title = "b.txt";
        SendTimer(window, 1);
        EXPECT_THAT(RowsOf(dialog), ElementsAre(Pair("editor.exe", "0:00:04"), Pair("", ""),
                                                Pair("Total:", "0:00:04")));
        EXPECT_EQ(dialog.Store().Find("editor.exe")->documents.size(), 2u);
    });
}

// A tick that adds an application colours only its new row; every row still has, cell by cell,
// the colour a full recolouring of as many rows gives.
TEST(MainDialog, RowsAddedByTicksHaveTheColoursOfAFullRecolouring)
{
    MainWindowHarness harness;
    OtherWindow other;
    for (std::uint32_t process = 1; process <= 6; ++process)
        harness.processes.names[process] = "app" + std::to_string(process) + ".exe";
    harness.foreground.window = other.handle;
    MainDialog dialog(harness.Services());
    RunScripted(dialog, [&](HWND window) {
        StripedReportListCtrl recoloured;
        const RECT corner = { 0, 0, 10, 10 };
        ASSERT_TRUE(recoloured.Create(window, 0, &corner, 0));
        recoloured.InsertColumn(0, "Processes");
        recoloured.InsertColumn(1, "Duration");
        const StripedReportListCtrl& shown = dialog.List();
        for (std::uint32_t process : { 1, 2, 1, 3, 4, 2, 5, 6 }) {
            harness.foreground.processId = process;
            SendTimer(window, 1);
            while (recoloured.GetRowCount() < shown.GetRowCount())
                recoloured.InsertItem(0, "");
            recoloured.RecolorRows();
            for (int row = 0; row < shown.GetRowCount(); ++row)
                EXPECT_EQ(Background(shown, row), Background(recoloured, row))
                    << "row " << row << " after a tick of process " << process;
        }
        EXPECT_EQ(shown.GetRowCount(), 8);
    });
}

TEST(MainDialog, GrowsOnlyDownwardsWithTheListAndFrameWhileTheButtonsStay)
{
    MainWindowHarness harness;
    MainDialog dialog(harness.Services());
    RunScripted(dialog, [&](HWND window) {
        const SIZE before = ui::WindowSize(window);
        auto childBox = [&](int id) { return ui::BoxOf(ui::ChildRect(window, GetDlgItem(window, id))); };
        const auto list = childBox(IDC_MAIN_LIST), frame = childBox(IDC_FRAME), exit = childBox(IDOK);

        ui::Resize(window, before.cx + 80, before.cy + 60);
        Pump(50);
        EXPECT_EQ(ui::WindowSize(window).cx, before.cx);
        EXPECT_EQ(ui::WindowSize(window).cy, before.cy + 60);
        EXPECT_EQ(childBox(IDC_MAIN_LIST), (decltype(list){ list[0], list[1], list[2], list[3] + 60 }));
        EXPECT_EQ(childBox(IDC_FRAME)[3], frame[3] + 60);
        EXPECT_EQ(childBox(IDOK), exit);

        // Never smaller than it opened.
        ui::Resize(window, 100, 100);
        Pump(50);
        EXPECT_EQ(ui::WindowSize(window).cy, before.cy);
    });
}

TEST(MainDialog, HidesToTheTrayAtStartWhenMinToTrayIsOn)
{
    MainWindowHarness harness;
    WriteOption(kMinToTrayOption, 1);
    MainDialog dialog(harness.Services());
    EXPECT_TRUE(dialog.IsStopped());
    RunScripted(dialog, [&](HWND window) {
        Pump(50);
        EXPECT_FALSE(IsWindowVisible(window));
        ASSERT_EQ(harness.tray.size(), 1u);
        EXPECT_EQ(harness.tray[0].message, static_cast<DWORD>(NIM_ADD));
        EXPECT_EQ(harness.tray[0].icon, dialog.DisabledIcon());
        EXPECT_EQ(harness.tray[0].tip, "Vantel is disabled.");
        EXPECT_EQ(ui::WindowText(GetDlgItem(window, IDC_STARTSTOP)), "S&tart");
    });
}
