// vantel.exe as a user meets it: started from its file, another program put in front, buttons
// clicked with the mouse, keys typed, the list read back from the running program, the tray's
// menu, further copies started, Exit.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "res/resource.h"
#include "settings/SettingsStore.h"
#include "tests/support/Ui.h"

namespace {

constexpr char kMainClass[] = "VantelMainDialog";
constexpr char kAppClass[] = "VantelTestProgram";

// The seconds counted in the row labelled label of a list view in another process, -1 when there
// is none: the item and its text buffer live in that process's memory, filled there by
// LVM_GETITEMTEXTA and read back.
int SecondsOf(HWND list, const std::string& label)
{
    DWORD id = 0;
    GetWindowThreadProcessId(list, &id);
    const HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, id);
    auto* remote = static_cast<char*>(VirtualAllocEx(process, nullptr, sizeof(LVITEMA) + 256, MEM_COMMIT, PAGE_READWRITE));
    const auto cell = [&](int row, int column) {
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = remote + sizeof item;
        item.cchTextMax = 256;
        char text[256] = {};
        DWORD_PTR length = 0;
        WriteProcessMemory(process, remote, &item, sizeof item, nullptr);
        if (SendMessageTimeoutA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote),
                                SMTO_ABORTIFHUNG, 2000, &length))
            ReadProcessMemory(process, remote + sizeof item, text, length, nullptr);
        return std::string(text, length);
    };
    int seconds = -1, h = 0, m = 0, s = 0;
    for (int row = 0; row < ListView_GetItemCount(list) && seconds < 0; ++row)
        if (cell(row, 0) == label && std::sscanf(cell(row, 1).c_str(), "%d:%d:%d", &h, &m, &s) == 3)
            seconds = h * 3600 + m * 60 + s;
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return seconds;
}

// Real input through the system's queue, at a human pace: a click in the middle of window, a key.
void ClickOn(const ui::Program& target, HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    INPUT input[2]{};
    for (INPUT& event : input) {
        event.type = INPUT_MOUSE;
        event.mi.dx = MulDiv((rect.left + rect.right) / 2, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
        event.mi.dy = MulDiv((rect.top + rect.bottom) / 2, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
        event.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    }
    SendInput(1, input, sizeof input[0]);
    Sleep(150);
    input[0].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
    SendInput(2, input, sizeof input[0]);
    Sleep(100);
    target.WaitIdle();
}

void PressKey(WORD key)
{
    INPUT input[2]{};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = key;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof input[0]);
    Sleep(50);
}

struct VantelEndToEnd : ::testing::Test {
    std::optional<ui::Program> vantel, editorProgram;
    HWND main = nullptr;
    HWND editor = nullptr;

    // Starts vantel.exe (shown or hidden in the tray) and another program, which comes in front.
    void Start(DWORD minToTray)
    {
        ASSERT_EQ(FindWindowA(kMainClass, nullptr), nullptr) << "a copy of Vantel is running";
        WriteOption(kMonitorAtStartupOption, 1);
        WriteOption(kMinToTrayOption, minToTray);
        vantel.emplace(ui::BinFolder() + "vantel.exe", "");
        ASSERT_TRUE(ui::WaitFor([&] {
            main = FindWindowA(kMainClass, nullptr);
            return main != nullptr && ListView_GetItemCount(GetDlgItem(main, IDC_MAIN_LIST)) >= 2
                && (IsWindowVisible(main) != FALSE) == (minToTray == 0);
        }, 10000));
        editorProgram.emplace(ui::BinFolder() + "test_program.exe", "window First document");
        ASSERT_TRUE(ui::WaitFor([&] { return (editor = FindWindowA(kAppClass, nullptr)) != nullptr; }, 10000));
        SetForegroundWindow(editor);
        ASSERT_TRUE(ui::WaitFor([&] { return GetForegroundWindow() == editor; }));
    }
    void TearDown() override
    {
        if (vantel && !vantel->HasEnded(0))
            PostMessageA(main, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(!vantel || vantel->HasEnded(5000));
    }
    HWND List() const { return GetDlgItem(main, IDC_MAIN_LIST); }
};

TEST_F(VantelEndToEnd, CountsTheProgramInFrontAndObeysItsButtons)
{
    Start(0);
    ASSERT_TRUE(ui::WaitFor([&] { return SecondsOf(List(), "test_program.exe") >= 1; }));
    const DWORD since = GetTickCount() - 1000;
    Sleep(3000);
    const int counted = SecondsOf(List(), "test_program.exe");
    EXPECT_NEAR(counted, static_cast<int>(GetTickCount() - since) / 1000, 1);

    // Stop with the mouse: nothing is counted until Start.
    const HWND startStop = GetDlgItem(main, IDC_STARTSTOP);
    ClickOn(*vantel, startStop);
    ASSERT_TRUE(ui::WaitFor([&] { return ui::Text(startStop) == "S&tart"; }));
    const int stopped = SecondsOf(List(), "Total:");
    SetForegroundWindow(editor);
    Sleep(2100);
    EXPECT_EQ(SecondsOf(List(), "Total:"), stopped);
    ClickOn(*vantel, startStop);
    EXPECT_TRUE(ui::WaitFor([&] { return SecondsOf(List(), "Total:") > stopped; }, 3000));

    ClickOn(*vantel, GetDlgItem(main, IDOK));   // Exit ends the program
    EXPECT_TRUE(vantel->HasEnded(5000));
}

// Hidden in the tray, Vantel never keeps the keyboard: after its menu or a dialog opened from it
// closes, the keys go back to the program that was in front, and that program's time goes on.
TEST_F(VantelEndToEnd, HiddenInTheTrayItNeverKeepsTheKeyboard)
{
    Start(1);
    const auto menuOpen = [] { return IsWindowVisible(FindWindowA("#32768", nullptr)) != FALSE; };
    const auto expectTheEditorKeepsTheKeys = [&](const char* after) {
        PressKey('E');   // the hidden window's Exit and Stop, were it to take them
        PressKey('T');
        vantel->WaitIdle();
        EXPECT_FALSE(vantel->HasEnded(0)) << after;
        EXPECT_EQ(ui::Text(GetDlgItem(main, IDC_STARTSTOP)), "S&top") << after;
        EXPECT_EQ(GetForegroundWindow(), editor) << after;
        const int before = SecondsOf(List(), "test_program.exe");
        EXPECT_TRUE(ui::WaitFor([&] { return SecondsOf(List(), "test_program.exe") >= before + 2; }, 6000)) << after;
        EXPECT_EQ(SecondsOf(List(), "vantel.exe"), -1) << after;
    };
    PostMessageA(main, WM_USER + 3, 0, WM_RBUTTONDOWN);
    ASSERT_TRUE(ui::WaitFor(menuOpen));
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(ui::WaitFor([&] { return !menuOpen(); }));
    expectTheEditorKeepsTheKeys("the tray menu closed with Esc");

    PostMessageA(main, WM_USER + 3, 0, WM_RBUTTONDOWN);   // Statistics by its mnemonic, in front
    ASSERT_TRUE(ui::WaitFor(menuOpen));
    PressKey('T');
    HWND stats = nullptr;
    ASSERT_TRUE(ui::WaitFor([&] { return (stats = FindWindowA("#32770", "Application statistics")) != nullptr; }));
    EXPECT_TRUE(ui::WaitFor([&] { return GetForegroundWindow() == stats; }));
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(ui::WaitFor([&] { return !IsWindow(stats); }));
    expectTheEditorKeepsTheKeys("Statistics from the tray closed");
}

// Another start brings the running copy's window to the front, hidden or covered by another
// program's window, and ends.
TEST_F(VantelEndToEnd, AnotherStartBringsTheWindowForward)
{
    Start(1);
    RECT rect{};
    GetWindowRect(main, &rect);
    const POINT middle{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    for (const char* state : {"hidden", "covered"}) {
        // Raised again until it stays: the running copy may still be handling the last call to
        // come forward.
        ASSERT_TRUE(ui::WaitFor([&] {
            SetWindowPos(editor, HWND_TOP, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, 0);
            SetForegroundWindow(editor);
            return GetAncestor(WindowFromPoint(middle), GA_ROOT) == editor;
        })) << state;
        ui::Program second(ui::BinFolder() + "vantel.exe", "");
        EXPECT_TRUE(second.HasEnded(10000)) << state;
        EXPECT_TRUE(ui::WaitFor([&] {
            return IsWindowVisible(main) && GetForegroundWindow() == main
                && GetAncestor(WindowFromPoint(middle), GA_ROOT) == main;
        })) << state;
    }
}

} // namespace
