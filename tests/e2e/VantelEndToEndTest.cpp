// vantel.exe as a user meets it: started from its file, another program put in front, buttons
// clicked with the mouse, the list read back from the running program, a second copy started,
// Exit. Screenshots of the main window go to <build tree>/e2e-screenshots.
#include "tests/e2e/DesktopDriver.h"
#include "tests/e2e/RemoteList.h"

#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <string>

#include "res/resource.h"
#include "settings/SettingsStore.h"

using ::testing::ElementsAre;
using ::testing::Pair;

namespace {

constexpr char kMainClass[] = "VantelMainDialog";
constexpr char kAppClass[] = "VantelE2eForegroundApp";

std::string TimeOfRow(const RemoteList& list, const std::string& label)
{
    for (const auto& row : list.Rows()) {
        if (row.first == label)
            return row.second;
    }
    return "<no row>";
}

int CountRows(const RemoteList& list, const std::string& label)
{
    int count = 0;
    for (const auto& row : list.Rows())
        count += row.first == label ? 1 : 0;
    return count;
}

struct BoxSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK FindOwnedBox(HWND window, LPARAM param)
{
    auto& search = *reinterpret_cast<BoxSearch*>(param);
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (std::string(className) == "#32770" && GetWindow(window, GW_OWNER) == search.owner
        && IsWindowVisible(window)) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

HWND MessageBoxOf(HWND owner)
{
    BoxSearch search{ owner, nullptr };
    EnumWindows(FindOwnedBox, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Waits for the message box of owner and gives it time to settle (activation, focus) as a
// user's eyes would before clicking.
HWND WaitForMessageBox(HWND owner)
{
    HWND box = nullptr;
    if (WaitFor([&] { return (box = MessageBoxOf(owner)) != nullptr; }, 3000))
        Sleep(400);
    return box;
}

class VantelEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(FindWindowA(kMainClass, nullptr), nullptr) << "a copy of Vantel is running";
        WriteOption(kMonitorAtStartupOption, 1);
        WriteOption(kMinToTrayOption, 0);
    }

    // Starts vantel.exe and waits for its main window.
    HWND StartVantel(Program& vantel)
    {
        EXPECT_TRUE(vantel.Started());
        HWND main = nullptr;
        WaitFor([&] { return (main = vantel.Window(kMainClass, "")) != nullptr; }, 10000);
        return main;
    }
};

} // namespace

TEST_F(VantelEndToEnd, CountsTheProgramInFrontAndObeysItsButtons)
{
    Program vantel("vantel.exe", "");
    const HWND main = StartVantel(vantel);
    ASSERT_NE(main, nullptr);
    const RemoteList list(GetDlgItem(main, IDC_MAIN_LIST));
    ASSERT_TRUE(list.IsOpen());

    // Another program in front for a few seconds: its row, its time, the total.
    Program editor("e2e_foreground_app.exe", "First document");
    HWND editorWindow = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (editorWindow = editor.Window(kAppClass, "")) != nullptr; }, 10000));
    SetForegroundWindow(editorWindow);
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == editorWindow; }, 2000));
    const DWORD inFront = GetTickCount();
    ASSERT_TRUE(WaitFor([&] { return Seconds(TimeOfRow(list, "e2e_foreground_app.exe")) >= 1; }, 3000));
    Sleep(3000);
    const std::string editorTime = TimeOfRow(list, "e2e_foreground_app.exe");
    const int elapsed = static_cast<int>((GetTickCount() - inFront) / 1000);
    EXPECT_GE(Seconds(editorTime), elapsed - 1) << editorTime;
    EXPECT_LE(Seconds(editorTime), elapsed + 1) << editorTime;

    auto rows = list.Rows();
    ASSERT_GE(rows.size(), 3u);
    EXPECT_THAT(rows[rows.size() - 2], Pair("", ""));
    EXPECT_EQ(rows.back().first, "Total:");
    int sum = 0;
    for (size_t i = 0; i + 2 < rows.size(); ++i)
        sum += Seconds(rows[i].second);
    EXPECT_EQ(Seconds(rows.back().second), sum);

    // A new title stays in the program's one row.
    SetWindowTextA(editorWindow, "Second document");
    Sleep(2100);
    EXPECT_EQ(CountRows(list, "e2e_foreground_app.exe"), 1);
    EXPECT_GT(Seconds(TimeOfRow(list, "e2e_foreground_app.exe")), Seconds(editorTime));

    // Stop with the mouse: nothing is counted until Start.
    const HWND startStop = GetDlgItem(main, IDC_STARTSTOP);
    ClickOn(vantel, startStop);
    ASSERT_TRUE(WaitFor([&] { return TextOf(startStop) == "S&tart"; }, 3000));
    const int stoppedTotal = Seconds(TimeOfRow(list, "Total:"));
    SetForegroundWindow(editorWindow);
    Sleep(2100);
    EXPECT_EQ(Seconds(TimeOfRow(list, "Total:")), stoppedTotal);

    ClickOn(vantel, startStop);
    ASSERT_TRUE(WaitFor([&] { return TextOf(startStop) == "S&top"; }, 3000));
    EXPECT_TRUE(WaitFor([&] { return Seconds(TimeOfRow(list, "Total:")) > stoppedTotal; }, 3000));

    SetForegroundWindow(editorWindow);
    Sleep(1100);
    EXPECT_TRUE(SaveScreenshot(main, "main-window"));

    // Clear answered No changes nothing; Yes leaves the two rows and a new start time.
    const std::string caption = TextOf(main);
    ClickOn(vantel, GetDlgItem(main, IDC_CLEAR));
    HWND box = WaitForMessageBox(main);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(TextOf(box), "vantel");
    EXPECT_TRUE(SaveScreenshot(box, "clear-confirmation"));
    const int beforeNo = Seconds(TimeOfRow(list, "Total:"));
    ClickOn(vantel, GetDlgItem(box, IDNO));
    ASSERT_TRUE(WaitFor([&] { return MessageBoxOf(main) == nullptr; }, 3000));
    EXPECT_EQ(TextOf(main), caption);
    EXPECT_GE(Seconds(TimeOfRow(list, "Total:")), beforeNo);
    EXPECT_EQ(CountRows(list, "e2e_foreground_app.exe"), 1);

    ClickOn(vantel, GetDlgItem(main, IDC_CLEAR));
    box = WaitForMessageBox(main);
    ASSERT_NE(box, nullptr);
    ClickOn(vantel, GetDlgItem(box, IDYES));
    ASSERT_TRUE(WaitFor([&] { return MessageBoxOf(main) == nullptr; }, 3000));
    rows = list.Rows();
    // A tick may already have come since.
    if (rows.size() == 2) {
        EXPECT_THAT(rows[0], Pair("", ""));
        EXPECT_EQ(rows[1].first, "Total:");
    } else {
        EXPECT_EQ(rows.size(), 3u);
        EXPECT_EQ(Seconds(rows.back().second), 1);
    }
    EXPECT_EQ(CountRows(list, "e2e_foreground_app.exe"), 0);
    EXPECT_NE(TextOf(main), caption);
    EXPECT_EQ(TextOf(startStop), "S&top");

    // Exit ends the program.
    ClickOn(vantel, GetDlgItem(main, IDOK));
    EXPECT_TRUE(vantel.HasEnded(5000));
}

// Hidden in the tray, Vantel never keeps the keyboard: after its menu or a dialog opened from it
// closes, the keys go back to the program that was in front, and that program's time goes on.
TEST_F(VantelEndToEnd, HiddenInTheTrayItNeverKeepsTheKeyboard)
{
    WriteOption(kMinToTrayOption, 1);
    Program vantel("vantel.exe", "");
    ASSERT_TRUE(vantel.Started());
    HWND main = nullptr;
    HWND listWindow = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        main = FindWindowA(kMainClass, nullptr);
        return main != nullptr && (listWindow = GetDlgItem(main, IDC_MAIN_LIST)) != nullptr;
    }, 10000));
    const RemoteList list(listWindow);
    // Initialised (its two rows) and hidden into the tray.
    ASSERT_TRUE(WaitFor([&] { return list.Rows().size() >= 2 && !IsWindowVisible(main); }, 5000));

    Program editor("e2e_foreground_app.exe", "Typing here");
    HWND editorWindow = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (editorWindow = editor.Window(kAppClass, "")) != nullptr; }, 10000));
    SetForegroundWindow(editorWindow);
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == editorWindow; }, 2000));

    const auto menuOpen = [] { return FindWindowA("#32768", nullptr) != nullptr && IsWindowVisible(FindWindowA("#32768", nullptr)); };
    const auto rightClickTrayIcon = [&] {
        PostMessageA(main, WM_USER + 3, 0, WM_RBUTTONDOWN);
        return WaitFor(menuOpen, 3000);
    };
    // E would end Vantel and T stop it, were the hidden window to take them as its buttons'.
    const auto typeExitAndStop = [&] {
        PressKey('E');
        PressKey('T');
        vantel.WaitIdle();
    };
    const auto expectStillCountingTheEditor = [&](const char* after) {
        EXPECT_FALSE(vantel.HasEnded(0)) << after;
        EXPECT_EQ(TextOf(GetDlgItem(main, IDC_STARTSTOP)), "S&top") << after;
        EXPECT_EQ(GetForegroundWindow(), editorWindow) << after;
        const int before = Seconds(TimeOfRow(list, "e2e_foreground_app.exe"));
        EXPECT_TRUE(WaitFor([&] { return Seconds(TimeOfRow(list, "e2e_foreground_app.exe")) >= before + 2; }, 4000))
            << after << " " << ::testing::PrintToString(list.Rows()) << " fg " << GetForegroundWindow();
        EXPECT_EQ(CountRows(list, "vantel.exe"), 0) << after;
    };

    ASSERT_TRUE(rightClickTrayIcon());
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(WaitFor([&] { return !menuOpen(); }, 3000));
    typeExitAndStop();
    expectStillCountingTheEditor("the tray menu closed with Esc");

    // Statistics chosen in the menu by its mnemonic opens in front; Esc closes it.
    ASSERT_TRUE(rightClickTrayIcon());
    PressKey('T');
    const HWND stats = vantel.WaitForWindow("#32770", "Application statistics");
    ASSERT_NE(stats, nullptr);
    EXPECT_EQ(GetForegroundWindow(), stats);
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(stats); }, 3000));
    typeExitAndStop();
    expectStillCountingTheEditor("Statistics from the tray closed");

    PostMessageA(main, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(vantel.HasEnded(5000));
}

TEST_F(VantelEndToEnd, HidesToTheTrayCountsNoWindowAndComesBackForASecondCopy)
{
    Program vantel("vantel.exe", "");
    const HWND main = StartVantel(vantel);
    ASSERT_NE(main, nullptr);
    const RemoteList list(GetDlgItem(main, IDC_MAIN_LIST));

    // The close box hides the window; the program goes on.
    PostMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(main); }, 3000));
    EXPECT_FALSE(vantel.HasEnded(0));

    // With no window left in front the time goes to "No active windows".
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == nullptr; }, 3000));
    EXPECT_TRUE(WaitFor([&] { return Seconds(TimeOfRow(list, "No active windows")) >= 2; }, 4000))
        << TimeOfRow(list, "No active windows");

    // A second copy brings the first one's window to the front, hidden or covered by another
    // program's window, and ends.
    Program editor("e2e_foreground_app.exe", "Covering");
    HWND editorWindow = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (editorWindow = editor.Window(kAppClass, "")) != nullptr; }, 10000));
    RECT mainRect{};
    GetWindowRect(main, &mainRect);
    const POINT middle{(mainRect.left + mainRect.right) / 2, (mainRect.top + mainRect.bottom) / 2};
    for (const char* state : {"hidden", "covered"}) {
        SetWindowPos(editorWindow, HWND_TOP, mainRect.left, mainRect.top,
                     mainRect.right - mainRect.left, mainRect.bottom - mainRect.top, 0);
        SetForegroundWindow(editorWindow);
        ASSERT_TRUE(WaitFor([&] {
            return GetForegroundWindow() == editorWindow
                && GetAncestor(WindowFromPoint(middle), GA_ROOT) == editorWindow;
        }, 2000)) << state;
        Program second("vantel.exe", "");
        ASSERT_TRUE(second.Started());
        EXPECT_TRUE(second.HasEnded(10000));
        EXPECT_EQ(second.Window(kMainClass, ""), nullptr);
        EXPECT_TRUE(WaitFor([&] {
            return IsWindowVisible(main) && GetForegroundWindow() == main
                && GetAncestor(WindowFromPoint(middle), GA_ROOT) == main;
        }, 3000)) << state;
    }

    ClickOn(vantel, GetDlgItem(main, IDOK));
    EXPECT_TRUE(vantel.HasEnded(5000));
}
