// The dialogs of the running vantel.exe as a user opens them: Stats, a double-click on an
// application's row, Details with nothing selected, About, Options, and Statistics asked again
// from the tray while the dialog is open. What each shows is read back from the other process;
// each is photographed into <build tree>/e2e-screenshots.
#include "tests/e2e/DesktopDriver.h"
#include "tests/e2e/RemoteList.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "settings/SettingsStore.h"

namespace {

constexpr char kMainClass[] = "VantelMainDialog";
constexpr char kAppClass[] = "VantelE2eForegroundApp";
constexpr char kAppName[] = "e2e_foreground_app.exe";

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

    // Options: the stored options shown, the prompt in the description box; Cancel keeps them.
    ClickOn(vantel, GetDlgItem(main, IDC_OPTIONS));
    const HWND options = vantel.WaitForWindow("#32770", "Vantel Options");
    ASSERT_NE(options, nullptr);
    EXPECT_EQ(SendDlgItemMessageA(options, IDC_MIN_TO_TRAY, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendDlgItemMessageA(options, IDC_MONITOR_AT_STARTUP, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(TextOf(GetDlgItem(options, IDC_DESCRIPTION)).rfind("Move mouse cursor", 0), 0u);
    EXPECT_TRUE(SaveScreenshot(options, "options"));
    ClickOn(vantel, GetDlgItem(options, IDCANCEL));
    ASSERT_TRUE(WaitFor([&] { return vantel.Window("#32770", "Vantel Options") == nullptr; }, 3000));

    ClickOn(vantel, GetDlgItem(main, IDOK));
    EXPECT_TRUE(vantel.HasEnded(5000));
}
