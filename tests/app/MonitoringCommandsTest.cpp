// Start/Stop, Min and Show, the tray entry's notifications and menu, and Clear, on the real main
// window under Wine with the tray requests captured.
#include "tests/app/MainWindowHarness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <gmock/gmock.h>

#include <vector>

#include "framework/Application.h"
#include "framework/Resources.h"
#include "res/resource.h"
#include "settings/SettingsStore.h"
#include "tests/views/UiScript.h"

using ::testing::ElementsAre;
using ::testing::Pair;

namespace {

HICON ButtonIcon(HWND window, int id)
{
    return static_cast<IconButton*>(Window::FromHandle(GetDlgItem(window, id)))->GetIcon();
}

// The pixels of a 12x12 menu bitmap, to tell which resource a menu item shows.
std::vector<BYTE> PixelsOf(HBITMAP bitmap)
{
    BITMAPINFO info{};
    info.bmiHeader = { sizeof info.bmiHeader, 12, 12, 1, 32, BI_RGB, 0, 0, 0, 0, 0 };
    std::vector<BYTE> pixels(12 * 12 * 4);
    const HDC dc = GetDC(nullptr);
    const int lines = GetDIBits(dc, bitmap, 0, 12, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    return lines == 12 ? pixels : std::vector<BYTE>();
}

void ExpectTrayMenu(const MainDialog& dialog, const char* startStopText, UINT startStopBitmap)
{
    const UniqueMenu menu = dialog.LoadTrayMenu();
    ASSERT_TRUE(menu);
    const HMENU popup = GetSubMenu(menu.get(), 0);
    EXPECT_EQ(GetMenuDefaultItem(popup, FALSE, 0), static_cast<UINT>(IDC_STATS));
    char text[32] = {};
    GetMenuStringA(popup, IDC_STARTSTOP, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, startStopText);

    const std::pair<UINT, UINT> itemBitmaps[] = {
        { ID_SHOW, IDB_MENU_SHOW },       { IDC_STARTSTOP, startStopBitmap }, { IDC_STATS, IDB_MENU_STATS },
        { IDC_OPTIONS, IDB_MENU_OPTIONS }, { IDC_CLEAR, IDB_MENU_CLEAR },     { IDC_ABOUT, IDB_MENU_ABOUT },
        { IDOK, IDB_MENU_EXIT },
    };
    for (const auto& [command, bitmapId] : itemBitmaps) {
        MENUITEMINFOA item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_CHECKMARKS;
        ASSERT_TRUE(GetMenuItemInfoA(popup, command, FALSE, &item)) << command;
        // Shown at the menu's check-mark size.
        const HBITMAP resource = static_cast<HBITMAP>(LoadImageA(
            GetModuleHandleA(nullptr), MAKEINTRESOURCEA(bitmapId), IMAGE_BITMAP,
            GetSystemMetrics(SM_CXMENUCHECK), GetSystemMetrics(SM_CYMENUCHECK), 0));
        const std::vector<BYTE> pixels = PixelsOf(resource);
        DeleteObject(resource);
        ASSERT_FALSE(pixels.empty());
        EXPECT_EQ(PixelsOf(item.hbmpChecked), pixels) << command;
        EXPECT_EQ(item.hbmpUnchecked, item.hbmpChecked) << command;
    }
}

// Closes the popup menu as soon as it is on the screen, noting that it was and which window was
// in the foreground meanwhile.
bool g_menuSeen = false;
HWND g_foregroundWhileTracking = nullptr;
void CALLBACK CloseTrackedMenu(HWND, UINT, UINT_PTR timer, DWORD)
{
    const HWND menuWindow = FindWindowA("#32768", nullptr);
    if (menuWindow == nullptr || !IsWindowVisible(menuWindow))
        return;
    g_menuSeen = true;
    g_foregroundWhileTracking = GetForegroundWindow();
    KillTimer(nullptr, timer);
    EndMenu();
}

} // namespace

// That the one-second timer stops and starts again with the button is checked end to end.
TEST(MonitoringCommands, StopAndStartSwitchTheButtonAndTheTrayEntryAndKeepTheTotals)
{
    MainWindowHarness harness;
    WriteOption(kMonitorAtStartupOption, 1);
    MainDialog dialog(harness.Services());
    RunScripted(dialog, [&](HWND window) {
        const HWND startStop = GetDlgItem(window, IDC_STARTSTOP);
        const HICON stopIcon = ButtonIcon(window, IDC_STARTSTOP);
        SendTimer(window, 1);
        SendTimer(window, 1);
        // While the window is shown there is no entry: nothing is built or sent for it.
        EXPECT_TRUE(harness.tray.empty());
        SendCommand(window, IDCANCEL);
        harness.tray.clear();
        SendCommand(window, IDC_STARTSTOP);
        EXPECT_TRUE(dialog.IsStopped());
        EXPECT_EQ(ui::WindowText(startStop), "S&tart");
        EXPECT_NE(ButtonIcon(window, IDC_STARTSTOP), stopIcon);

        // Start again: the summary comes back at once and the totals go on from there.
        SendCommand(window, IDC_STARTSTOP);
        EXPECT_FALSE(dialog.IsStopped());
        EXPECT_EQ(ui::WindowText(startStop), "S&top");
        EXPECT_EQ(dialog.Store().totalTicks(), 2u);
        ASSERT_EQ(harness.tray.size(), 2u);
        for (const TrayRequest& request : harness.tray)
            EXPECT_EQ(request.message, static_cast<DWORD>(NIM_MODIFY));
        EXPECT_EQ(harness.tray[0].icon, dialog.DisabledIcon());
        EXPECT_EQ(harness.tray[0].tip, "Vantel is disabled.");
        EXPECT_EQ(harness.tray[1].icon, dialog.MainIcon());
        EXPECT_EQ(harness.tray[1].tip.rfind("Total time: 0:00:02\n", 0), 0u);
    });
}

// A notification area that is not there yet (at sign-in) refuses the entry: it is tried again
// every second until taken. After a shell restart the entry is added again.
TEST(MonitoringCommands, TrayEntryIsTriedUntilTakenAndComesBackAfterTheShellRestarts)
{
    MainWindowHarness harness;
    harness.trayAnswer = FALSE;
    MainDialog dialog(harness.Services());
    const auto count = [&](DWORD message) {
        return std::count_if(harness.tray.begin(), harness.tray.end(),
                             [message](const TrayRequest& request) { return request.message == message; });
    };
    RunScripted(dialog, [&](HWND window) {
        SendCommand(window, IDCANCEL);
        Pump(1300);
        EXPECT_GE(count(NIM_ADD), 2) << "refused, then tried again";
        harness.trayAnswer = TRUE;
        harness.tray.clear();
        Pump(2300);
        EXPECT_EQ(count(NIM_ADD), 1) << "taken once, then no more tries";
        EXPECT_EQ(harness.tray.size(), 1u);

        harness.tray.clear();
        SendMessageA(window, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
        ASSERT_EQ(harness.tray.size(), 1u);
        EXPECT_EQ(harness.tray[0].message, static_cast<DWORD>(NIM_ADD));
        EXPECT_EQ(harness.tray[0].tip, "Vantel is disabled.");

        // Shown, with the entry gone, a shell restart adds nothing.
        SendCommand(window, ID_SHOW);
        SendTimer(window, ActivitySampler::kReturnTimerId);
        harness.tray.clear();
        SendMessageA(window, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
        EXPECT_TRUE(harness.tray.empty());
    });
}

// The first time the window goes into the tray, a balloon says where it is: once, for good.
TEST(MonitoringCommands, TheTraysBalloonShowsOnceAndNeverAgain)
{
    MainWindowHarness harness;
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Norvatech\\Vantel", 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
    RegDeleteValueA(key, kTrayHintShownValue);
    RegCloseKey(key);
    const auto balloons = [&] {
        return std::count_if(harness.tray.begin(), harness.tray.end(), [](const TrayRequest& request) {
            return request.flags == NIF_INFO && request.infoFlags == (NIIF_INFO | NIIF_NOSOUND)
                && request.infoTitle == LoadResString(IDS_TRAY_HINT_TITLE);
        });
    };
    for (int start = 0; start < 2; ++start) {
        MainDialog dialog(harness.Services());
        RunScripted(dialog, [&](HWND window) {
            for (int hide = 0; hide < 2; ++hide) {
                SendCommand(window, IDCANCEL);
                SendCommand(window, ID_SHOW);
                SendTimer(window, ActivitySampler::kReturnTimerId);
            }
        });
        EXPECT_EQ(balloons(), 1) << "start " << start;
    }
    EXPECT_EQ(ReadStoredOption(kTrayHintShownValue), 1u);
}

TEST(MonitoringCommands, MinCloseShowAndDoubleClickMoveBetweenWindowAndTray)
{
    MainWindowHarness harness;
    MainDialog dialog(harness.Services());
    const INT_PTR result = RunScripted(dialog, [&](HWND window) {
        // Min while stopped: the disabled entry.
        SendMessageA(GetDlgItem(window, IDCANCEL), BM_CLICK, 0, 0);
        EXPECT_FALSE(IsWindowVisible(window));
        ASSERT_EQ(harness.tray.size(), 1u);
        EXPECT_EQ(harness.tray[0].message, static_cast<DWORD>(NIM_ADD));
        EXPECT_EQ(harness.tray[0].owner, window);
        EXPECT_EQ(harness.tray[0].icon, dialog.DisabledIcon());
        EXPECT_EQ(harness.tray[0].tip, "Vantel is disabled.");

        // Show: visible and in front at once, the entry goes 150 ms later.
        harness.tray.clear();
        SendCommand(window, ID_SHOW);
        EXPECT_TRUE(IsWindowVisible(window));
        EXPECT_EQ(GetForegroundWindow(), window);
        EXPECT_TRUE(harness.tray.empty());
        Pump(400);
        ASSERT_EQ(harness.tray.size(), 1u);
        EXPECT_EQ(harness.tray[0].message, static_cast<DWORD>(NIM_DELETE));

        // The close box hides as Min does; a double-click on the entry brings the window back.
        harness.tray.clear();
        SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        Pump(50);
        EXPECT_FALSE(IsWindowVisible(window));
        ASSERT_EQ(harness.tray.size(), 1u);
        EXPECT_EQ(harness.tray[0].message, static_cast<DWORD>(NIM_ADD));
        SendMessageA(window, WM_USER + 3, 0, WM_LBUTTONDBLCLK);
        EXPECT_TRUE(IsWindowVisible(window));
        Pump(400);
        EXPECT_EQ(harness.tray.back().message, static_cast<DWORD>(NIM_DELETE));

        // Other mouse messages over the entry do nothing, and the handler answers 1.
        harness.tray.clear();
        for (LPARAM mouse : { WM_MOUSEMOVE, WM_LBUTTONDOWN })
            EXPECT_EQ(SendMessageA(window, WM_USER + 3, 0, mouse), 1);
        Pump(200);
        EXPECT_TRUE(harness.tray.empty());

        // Hiding again within 150 ms of a Show keeps the entry of the hidden window.
        SendCommand(window, IDCANCEL);
        SendCommand(window, ID_SHOW);
        SendCommand(window, IDCANCEL);
        Pump(400);
        EXPECT_FALSE(IsWindowVisible(window));
        for (const TrayRequest& request : harness.tray)
            EXPECT_NE(request.message, static_cast<DWORD>(NIM_DELETE));

        // Exit ends the run; destroying the window removes the entry.
        harness.tray.clear();
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, IDOK)));
    });
    EXPECT_EQ(result, IDOK);
    ASSERT_EQ(harness.tray.size(), 1u);
    EXPECT_EQ(harness.tray[0].message, static_cast<DWORD>(NIM_DELETE));
}

TEST(MonitoringCommands, TrayMenuOffersTheCommandsWithBitmapsAndTheStartStopLabelOfTheState)
{
    MainWindowHarness harness;
    WriteOption(kMonitorAtStartupOption, 1);
    MainDialog dialog(harness.Services());
    RunScripted(dialog, [&](HWND window) {
        ExpectTrayMenu(dialog, "&Stop", IDB_MENU_STOP);
        SendCommand(window, IDC_STARTSTOP);
        ExpectTrayMenu(dialog, "S&tart", IDB_MENU_START);

        // A right-button press over the entry tracks the menu until it closes, with the main
        // window in the foreground so that a click elsewhere closes the menu.
        g_menuSeen = false;
        HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10,
                                     nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        SetForegroundWindow(other);
        const UINT_PTR closer = SetTimer(nullptr, 0, 30, CloseTrackedMenu);
        SendMessageA(window, WM_USER + 3, 0, WM_RBUTTONDOWN);
        KillTimer(nullptr, closer);
        DestroyWindow(other);
        EXPECT_TRUE(g_menuSeen);
        EXPECT_EQ(g_foregroundWhileTracking, window);
        const HWND menuWindow = FindWindowA("#32768", nullptr);
        EXPECT_TRUE(menuWindow == nullptr || !IsWindowVisible(menuWindow));
        // Nothing was chosen: still stopped, still shown.
        Pump(50);
        EXPECT_TRUE(dialog.IsStopped());
        EXPECT_TRUE(IsWindowVisible(window));
    });
}

// Clear answered No, which changes nothing, is checked end to end.
TEST(MonitoringCommands, ClearAsksOnceAndOnYesLeavesTheTwoRowsAndANewStartTime)
{
    MainWindowHarness harness;
    HWND other = CreateWindowExA(0, "STATIC", "x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    harness.processes.names = { { 7, "tool.exe" } };
    MainDialog dialog(harness.Services());
    RunScripted(dialog, [&](HWND window) {
        harness.foreground.window = other;
        harness.foreground.processId = 7;
        SendTimer(window, 1);
        SendTimer(window, 1);
        const std::string caption = ui::WindowText(window);
        Pump(1100);   // a later start time shows in the caption

        // Yes, with a second Clear (as from the tray menu) while the box is open: no second box.
        MessageBoxAnswer yes;
        yes.button = IDYES;
        int defaultButton = 0;
        yes.whileOpen = [&] {
            const HWND box = ui::FindDialog(AppTitle());
            for (int button : { IDYES, IDNO }) {
                if (GetWindowLongA(GetDlgItem(box, button), GWL_STYLE) & BS_DEFPUSHBUTTON)
                    defaultButton = button;
            }
            SendCommand(window, IDC_CLEAR);
        };
        AnswerNextMessageBox(window, yes);
        SendCommand(window, IDC_CLEAR);
        EXPECT_TRUE(yes.answered);
        EXPECT_EQ(yes.text, LoadResString(IDS_CLEAR_CONFIRM));
        EXPECT_EQ(yes.caption, AppTitle());
        EXPECT_EQ(yes.seen, 1);
        EXPECT_EQ(defaultButton, IDNO) << "Enter must not clear";
        EXPECT_EQ(dialog.Store().totalTicks(), 0u);
        EXPECT_THAT(RowsOf(dialog), ElementsAre(Pair("", ""), Pair("Total:", "")));
        EXPECT_NE(ui::WindowText(window), caption);
        EXPECT_EQ(ui::WindowText(window), "Vantel:  " + dialog.StartText());

        // The guard is down again, and the next tick starts afresh above the blank row.
        SendTimer(window, 1);
        EXPECT_THAT(RowsOf(dialog), ElementsAre(Pair("tool.exe", "0:00:01"), Pair("", ""),
                                                Pair("Total:", "0:00:01")));
        EXPECT_EQ(dialog.Store().Find("tool.exe")->iconIndex, 0);   // the window gives no icon
        MessageBoxAnswer again;
        again.button = IDNO;
        AnswerNextMessageBox(window, again);
        SendCommand(window, IDC_CLEAR);
        EXPECT_TRUE(again.answered);
    });
    DestroyWindow(other);
}
