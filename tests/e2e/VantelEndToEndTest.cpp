// vantel.exe as a user meets it: started from its file, another program put in front, buttons
// clicked with the mouse, the list read back from the running program, a second copy started,
// Exit. Screenshots of the main window go to <build tree>/e2e-screenshots.
#include "tests/e2e/RemoteList.h"

#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "res/resource.h"
#include "settings/SettingsStore.h"

using ::testing::ElementsAre;
using ::testing::Pair;

namespace {

constexpr char kMainClass[] = "VantelMainDialog";
constexpr char kAppClass[] = "VantelE2eForegroundApp";

std::string BinFolder()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(50);
    }
    return true;
}

// A program started by the test; ended by force if the test leaves it running.
class Program {
public:
    Program(const std::string& exe, const std::string& arguments)
    {
        std::string commandLine = "\"" + BinFolder() + exe + "\" " + arguments;
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        m_started = CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                                   BinFolder().c_str(), &startup, &m_info) != FALSE;
    }
    ~Program()
    {
        if (!m_started)
            return;
        if (WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(m_info.hProcess, 1);
        CloseHandle(m_info.hThread);
        CloseHandle(m_info.hProcess);
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool Started() const { return m_started; }
    bool HasEnded(DWORD waitMs) const { return WaitForSingleObject(m_info.hProcess, waitMs) == WAIT_OBJECT_0; }
    DWORD Id() const { return m_info.dwProcessId; }

    // The first top-level window of class className that belongs to this process.
    HWND WindowOfClass(const char* className) const
    {
        for (HWND window = FindWindowExA(nullptr, nullptr, className, nullptr); window != nullptr;
             window = FindWindowExA(nullptr, window, className, nullptr)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == m_info.dwProcessId)
                return window;
        }
        return nullptr;
    }

private:
    bool m_started = false;
    PROCESS_INFORMATION m_info{};
};

std::string TextOf(HWND window)
{
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// h:mm:ss in seconds; -1 for anything else.
int Seconds(const std::string& duration)
{
    int h = 0, m = 0, s = 0;
    char rest = 0;
    if (std::sscanf(duration.c_str(), "%d:%d:%d%c", &h, &m, &s, &rest) != 3)
        return -1;
    return h * 3600 + m * 60 + s;
}

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

// Every event carries its position: the X server reports cursor moves late, and an event without
// one would land wherever the last report left the cursor.
void SendMouse(POINT point, DWORD flags)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(point.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(point.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
}

// A real left click in the middle of window, through the input queue, at a human pace: the
// window under the cursor sees the move before the press.
void ClickOn(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    const POINT centre{ (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2 };
    SendMouse(centre, 0);
    Sleep(150);
    SendMouse(centre, MOUSEEVENTF_LEFTDOWN);
    Sleep(80);
    SendMouse(centre, MOUSEEVENTF_LEFTUP);
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

// The window as it is on the screen, as a 24-bit BMP.
bool SaveScreenshot(HWND window, const std::string& name)
{
    const std::string folder = BinFolder() + "..\\e2e-screenshots\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    RECT rect{};
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, old);

    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    const int stride = (width * 3 + 3) & ~3;
    std::vector<BYTE> pixels(static_cast<size_t>(stride) * height);
    const int lines = GetDIBits(memory, bitmap, 0, height, pixels.data(),
                                reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (lines != height)
        return false;

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    FILE* out = std::fopen((folder + name + ".bmp").c_str(), "wb");
    if (out == nullptr)
        return false;
    std::fwrite(&file, sizeof file, 1, out);
    std::fwrite(&header, sizeof header, 1, out);
    std::fwrite(pixels.data(), 1, pixels.size(), out);
    return std::fclose(out) == 0;
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
        WaitFor([&] { return (main = vantel.WindowOfClass(kMainClass)) != nullptr && IsWindowVisible(main); },
                10000);
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
    ASSERT_TRUE(WaitFor([&] { return (editorWindow = editor.WindowOfClass(kAppClass)) != nullptr; }, 10000));
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
    ClickOn(startStop);
    ASSERT_TRUE(WaitFor([&] { return TextOf(startStop) == "S&tart"; }, 3000));
    const int stoppedTotal = Seconds(TimeOfRow(list, "Total:"));
    SetForegroundWindow(editorWindow);
    Sleep(2100);
    EXPECT_EQ(Seconds(TimeOfRow(list, "Total:")), stoppedTotal);

    ClickOn(startStop);
    ASSERT_TRUE(WaitFor([&] { return TextOf(startStop) == "S&top"; }, 3000));
    EXPECT_TRUE(WaitFor([&] { return Seconds(TimeOfRow(list, "Total:")) > stoppedTotal; }, 3000));

    SetForegroundWindow(editorWindow);
    Sleep(1100);
    EXPECT_TRUE(SaveScreenshot(main, "main-window"));

    // Clear answered No changes nothing; Yes leaves the two rows and a new start time.
    const std::string caption = TextOf(main);
    ClickOn(GetDlgItem(main, IDC_CLEAR));
    HWND box = WaitForMessageBox(main);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(TextOf(box), "vantel");
    EXPECT_TRUE(SaveScreenshot(box, "clear-confirmation"));
    const int beforeNo = Seconds(TimeOfRow(list, "Total:"));
    ClickOn(GetDlgItem(box, IDNO));
    ASSERT_TRUE(WaitFor([&] { return MessageBoxOf(main) == nullptr; }, 3000));
    EXPECT_EQ(TextOf(main), caption);
    EXPECT_GE(Seconds(TimeOfRow(list, "Total:")), beforeNo);
    EXPECT_EQ(CountRows(list, "e2e_foreground_app.exe"), 1);

    ClickOn(GetDlgItem(main, IDC_CLEAR));
    box = WaitForMessageBox(main);
    ASSERT_NE(box, nullptr);
    ClickOn(GetDlgItem(box, IDYES));
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
    ClickOn(GetDlgItem(main, IDOK));
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

    // A second copy shows the first one's window and ends.
    Program second("vantel.exe", "");
    ASSERT_TRUE(second.Started());
    EXPECT_TRUE(second.HasEnded(10000));
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(main) != FALSE; }, 3000));
    EXPECT_EQ(second.WindowOfClass(kMainClass), nullptr);

    ClickOn(GetDlgItem(main, IDOK));
    EXPECT_TRUE(vantel.HasEnded(5000));
}
