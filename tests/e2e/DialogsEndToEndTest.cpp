// The dialogs of the running vantel.exe as a user opens them: Stats, a double-click on an
// application's row, Details with nothing selected, About, and Statistics asked again from the
// tray while the dialog is open. What each shows is read back from the other process; each is
// photographed into <build tree>/e2e-screenshots.
#include "tests/e2e/RemoteList.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "res/resource.h"
#include "settings/SettingsStore.h"

namespace {

constexpr char kMainClass[] = "VantelMainDialog";
constexpr char kAppClass[] = "VantelE2eForegroundApp";
constexpr char kAppName[] = "e2e_foreground_app.exe";

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

struct WindowSearch {
    DWORD processId;
    const std::string& className;
    const std::string& prefix;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM data)
{
    auto& search = *reinterpret_cast<WindowSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char name[64] = {};
    char caption[256] = {};
    GetClassNameA(window, name, sizeof name);
    GetWindowTextA(window, caption, sizeof caption);
    if (owner == search.processId && IsWindowVisible(window) && search.className == name
        && std::string(caption).compare(0, search.prefix.size(), search.prefix) == 0)
        search.found.push_back(window);
    return TRUE;
}

// A program started by the test, ended by force if the test leaves it running.
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
    // Waits until the program has handled its input and waits for more.
    void WaitIdle() const { WaitForInputIdle(m_info.hProcess, 3000); }
    bool HasEnded(DWORD waitMs) const { return WaitForSingleObject(m_info.hProcess, waitMs) == WAIT_OBJECT_0; }

    // The visible top-level windows of this process whose class and caption begin as given.
    std::vector<HWND> Windows(const std::string& className, const std::string& captionPrefix) const
    {
        WindowSearch search{m_info.dwProcessId, className, captionPrefix, {}};
        EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
        return search.found;
    }
    HWND Window(const std::string& className, const std::string& captionPrefix) const
    {
        const std::vector<HWND> found = Windows(className, captionPrefix);
        return found.empty() ? nullptr : found.front();
    }
    HWND WaitForWindow(const std::string& className, const std::string& captionPrefix) const
    {
        HWND window = nullptr;
        if (WaitFor([&] { return (window = Window(className, captionPrefix)) != nullptr; }, 5000))
            Sleep(400);   // settled: activated and painted
        return window;
    }

private:
    bool m_started = false;
    PROCESS_INFORMATION m_info{};
};

std::string TextOf(HWND window)
{
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

int Seconds(const std::string& duration)
{
    int h = 0, m = 0, s = 0;
    char rest = 0;
    if (std::sscanf(duration.c_str(), "%d:%d:%d%c", &h, &m, &s, &rest) != 3)
        return -1;
    return h * 3600 + m * 60 + s;
}

// Every cell of a list of another process.
std::vector<std::vector<std::string>> CellsOf(HWND list, int columns)
{
    const RemoteList remote(list);
    std::vector<std::vector<std::string>> rows;
    for (int row = 0; row < remote.RowCount(); ++row) {
        std::vector<std::string> cells;
        for (int column = 0; column < columns; ++column)
            cells.push_back(remote.Text(row, column));
        rows.push_back(cells);
    }
    return rows;
}

int RowOf(const std::vector<std::vector<std::string>>& rows, const std::string& label)
{
    for (size_t row = 0; row < rows.size(); ++row) {
        if (rows[row][0] == label)
            return static_cast<int>(row);
    }
    return -1;
}

// The screen rectangle of a row of a list of another process.
RECT RowOnScreen(HWND list, int row)
{
    RECT rect{};
    DWORD processId = 0;
    GetWindowThreadProcessId(list, &processId);
    const HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (process == nullptr)
        return rect;
    void* remote = VirtualAllocEx(process, nullptr, sizeof rect, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    rect.left = LVIR_BOUNDS;
    DWORD_PTR answer = 0;
    if (remote != nullptr && WriteProcessMemory(process, remote, &rect, sizeof rect, nullptr)
        && SendMessageTimeoutA(list, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                               reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, 2000, &answer)
        && answer != 0)
        ReadProcessMemory(process, remote, &rect, sizeof rect, nullptr);
    else
        rect = RECT{};
    if (remote != nullptr)
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// A mouse event at a screen point: the position travels with the event, so a late pointer
// motion from the display cannot move a click elsewhere.
void SendMouseAt(POINT point, DWORD flags)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(point.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(point.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
}

// Real clicks in the middle of a screen rectangle, through the input queue, at a human pace;
// returns once target has handled them (the machine may be busy: clicks must not overtake).
void ClickAt(const Program& target, const RECT& rect, int clicks = 1)
{
    const POINT point{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    target.WaitIdle();
    SendMouseAt(point, 0);
    Sleep(150);
    target.WaitIdle();
    for (int i = 0; i < clicks; ++i) {
        SendMouseAt(point, MOUSEEVENTF_LEFTDOWN);
        Sleep(40);
        SendMouseAt(point, MOUSEEVENTF_LEFTUP);
        Sleep(40);
    }
    Sleep(100);
    target.WaitIdle();
}

void ClickOn(const Program& target, HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    ClickAt(target, rect);
}

// The window as it is on the screen, as a 24-bit BMP in <build tree>/e2e-screenshots.
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

// The text of a message box's static text (its only non-empty static).
std::string MessageBoxText(HWND box)
{
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        char name[16] = {};
        GetClassNameA(child, name, sizeof name);
        if (lstrcmpiA(name, "Static") == 0 && !TextOf(child).empty())
            return TextOf(child);
    }
    return "";
}

} // namespace

TEST(VantelDialogsEndToEnd, StatisticsDocumentsAndAboutAsAUserOpensThem)
{
    ASSERT_EQ(FindWindowA(kMainClass, nullptr), nullptr) << "a copy of Vantel is running";
    WriteOption(kMonitorAtStartupOption, 1);
    WriteOption(kMinToTrayOption, 0);

    Program vantel("vantel.exe", "");
    ASSERT_TRUE(vantel.Started());
    HWND main = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (main = vantel.Window(kMainClass, "")) != nullptr; }, 10000));

    // Two documents of another program in front: about three and two seconds.
    Program editor("e2e_foreground_app.exe", "Report.txt - Editor");
    HWND editorWindow = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (editorWindow = editor.Window(kAppClass, "")) != nullptr; }, 10000));
    SetForegroundWindow(editorWindow);
    Sleep(3200);
    SetWindowTextA(editorWindow, "Notes.txt - Editor");
    Sleep(2200);
    SetForegroundWindow(main);
    Sleep(300);

    // Stats: every application, the largest first, then the blank row and "Total:" at 100%.
    ClickOn(vantel, GetDlgItem(main, IDC_STATS));
    const HWND stats = vantel.WaitForWindow("#32770", "Application statistics");
    ASSERT_NE(stats, nullptr);
    const HWND statsList = GetDlgItem(stats, IDC_APPSTATS_LIST);
    const auto statsRows = CellsOf(statsList, 3);
    ASSERT_GE(statsRows.size(), 3u);
    EXPECT_EQ(statsRows[statsRows.size() - 2], (std::vector<std::string>{"", "", ""}));
    EXPECT_EQ(statsRows.back()[0], "Total:");
    EXPECT_EQ(statsRows.back()[2], "100%");
    const int editorRow = RowOf(statsRows, kAppName);
    ASSERT_GE(editorRow, 0);
    EXPECT_GE(Seconds(statsRows[editorRow][1]), 4);
    int sum = 0;
    for (size_t row = 0; row + 2 < statsRows.size(); ++row) {
        sum += Seconds(statsRows[row][1]);
        if (row > 0) {
            EXPECT_GE(Seconds(statsRows[row - 1][1]), Seconds(statsRows[row][1]));
        }
    }
    EXPECT_EQ(Seconds(statsRows.back()[1]), sum);
    EXPECT_TRUE(SaveScreenshot(stats, "statistics"));

    // Sampling goes on meanwhile: the main window's total keeps growing.
    const RemoteList mainList(GetDlgItem(main, IDC_MAIN_LIST));
    const int totalWithStatsOpen = Seconds(mainList.Text(mainList.RowCount() - 1, 1));
    EXPECT_TRUE(WaitFor([&] { return Seconds(mainList.Text(mainList.RowCount() - 1, 1)) >= totalWithStatsOpen + 2; }, 4000));

    // Statistics again (as from the tray menu) with another program in front: the open dialog
    // comes forward and no second one opens.
    SetForegroundWindow(editorWindow);
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == editorWindow; }, 2000));
    PostMessageA(main, WM_COMMAND, IDC_STATS, 0);
    EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == stats; }, 3000));
    Sleep(300);
    EXPECT_EQ(vantel.Windows("#32770", "Application statistics").size(), 1u);

    // A double-click on the program's row: its documents in title order, their sum, the share.
    ClickAt(vantel, RowOnScreen(statsList, editorRow), 2);
    const HWND documents = vantel.WaitForWindow("#32770", "Statistics for '");
    ASSERT_NE(documents, nullptr);
    const std::string caption = TextOf(documents);
    EXPECT_EQ(caption.rfind(std::string("Statistics for '") + kAppName + "'. ", 0), 0u) << caption;
    EXPECT_NE(caption.find("% from total time"), std::string::npos) << caption;
    const auto documentRows = CellsOf(GetDlgItem(documents, IDC_DOCUMENTS_LIST), 2);
    ASSERT_EQ(documentRows.size(), 4u);
    EXPECT_EQ(documentRows[0][0], "Notes.txt - Editor");
    EXPECT_EQ(documentRows[1][0], "Report.txt - Editor");
    EXPECT_EQ(documentRows[2], (std::vector<std::string>{"", ""}));
    EXPECT_EQ(documentRows[3][0], "Total:");
    EXPECT_EQ(Seconds(documentRows[3][1]), Seconds(documentRows[0][1]) + Seconds(documentRows[1][1]));
    EXPECT_EQ(Seconds(documentRows[3][1]), Seconds(statsRows[editorRow][1]));
    EXPECT_TRUE(SaveScreenshot(documents, "documents"));
    ClickOn(vantel, GetDlgItem(documents, IDOK));
    ASSERT_TRUE(WaitFor([&] { return vantel.Window("#32770", "Statistics for '") == nullptr; }, 3000));

    // Details on the blank row and on "Total:" opens nothing; with nothing selected (a click below
    // the rows) it shows message 102, and the statistics stay open.
    for (int row : {static_cast<int>(statsRows.size()) - 2, static_cast<int>(statsRows.size()) - 1}) {
        ClickAt(vantel, RowOnScreen(statsList, row));
        Sleep(200);
        ClickOn(vantel, GetDlgItem(stats, IDC_DETAILS));
        Sleep(500);
        EXPECT_EQ(vantel.Window("#32770", "Statistics for '"), nullptr) << "row " << row << " opened documents";
        EXPECT_EQ(vantel.Window("#32770", "vantel"), nullptr) << "row " << row << " showed a message";
    }
    RECT below = RowOnScreen(statsList, static_cast<int>(statsRows.size()) - 1);
    OffsetRect(&below, 0, 3 * (below.bottom - below.top));
    ClickAt(vantel, below);
    Sleep(200);
    ASSERT_EQ(SendMessageA(statsList, LVM_GETSELECTEDCOUNT, 0, 0), 0);
    ClickOn(vantel, GetDlgItem(stats, IDC_DETAILS));
    const HWND box = vantel.WaitForWindow("#32770", "vantel");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(GetWindow(box, GW_OWNER), stats);
    EXPECT_EQ(MessageBoxText(box).rfind("No application was selected.", 0), 0u) << MessageBoxText(box);
    EXPECT_TRUE(SaveScreenshot(box, "no-selection"));
    ClickOn(vantel, GetDlgItem(box, IDOK));
    ASSERT_TRUE(WaitFor([&] { return vantel.Window("#32770", "vantel") == nullptr; }, 3000));
    EXPECT_TRUE(IsWindowVisible(stats));

    ClickOn(vantel, GetDlgItem(stats, IDOK));
    ASSERT_TRUE(WaitFor([&] { return vantel.Window("#32770", "Application statistics") == nullptr; }, 3000));

    // About: the box, then OK.
    ClickOn(vantel, GetDlgItem(main, IDC_ABOUT));
    const HWND about = vantel.WaitForWindow("#32770", "About Vantel");
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(SaveScreenshot(about, "about"));
    ClickOn(vantel, GetDlgItem(about, IDOK));
    ASSERT_TRUE(WaitFor([&] { return vantel.Window("#32770", "About Vantel") == nullptr; }, 3000));

    ClickOn(vantel, GetDlgItem(main, IDOK));
    EXPECT_TRUE(vantel.HasEnded(5000));
}
