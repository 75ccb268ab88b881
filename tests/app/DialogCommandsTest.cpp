// The main window's dialog commands on the real window under Wine: Stats, Details and the list's
// double-click, About from the button, the tray menu and the system menu, Options, each with its
// single-open guard, while sampling goes on.
#include "tests/app/MainWindowHarness.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/Resources.h"
#include "res/resource.h"
#include "tests/views/UiScript.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

constexpr char kStatsCaption[] = "Application statistics";
constexpr char kDocumentsCaption[] = "Statistics for '";
constexpr char kAboutCaption[] = "About Vantel";
constexpr char kOptionsCaption[] = "Vantel Options";

struct OtherWindow {
    HWND handle = ::CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 600, 600, 50, 50,
                                    nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    ~OtherWindow() { ::DestroyWindow(handle); }
};

// A main window whose sampler sees editor.exe (process 100) in front with the given title.
struct DialogCommandsTest : ::testing::Test {
    MainWindowHarness harness;
    OtherWindow editor;

    DialogCommandsTest()
    {
        harness.processes.names = {{100, "editor.exe"}, {200, "browser.exe"}};
        harness.foreground.window = editor.handle;
        harness.foreground.processId = 100;
        harness.foreground.title = "notes.txt";
    }

    // ticks of the application of process id with the window title title.
    void Tick(HWND window, std::uint32_t processId, const std::string& title, int ticks)
    {
        harness.foreground.processId = processId;
        harness.foreground.title = title;
        for (int i = 0; i < ticks; ++i)
            SendTimer(window, 1);
    }
};

int CountDialogs(const std::string& caption)
{
    int count = 0;
    for (HWND window : ui::OwnedWindows(nullptr))
        count += ui::WindowText(window) == caption ? 1 : 0;
    return count;
}

UiScript::Step Appears(const std::string& prefix)
{
    return [prefix] { return ui::FindDialog(prefix) != nullptr; };
}

UiScript::Step Gone(const std::string& prefix)
{
    return [prefix] { return ui::FindDialog(prefix) == nullptr; };
}

UiScript::Step Close(const std::string& prefix)
{
    return UiScript::Do([prefix] { ::PostMessageA(ui::FindDialog(prefix), WM_COMMAND, IDCANCEL, 0); });
}

void PostCommand(HWND window, UINT id)
{
    ::PostMessageA(window, WM_COMMAND, id, 0);   // as the tray menu sends it
}

HWND MainList(HWND window)
{
    return ::GetDlgItem(window, IDC_MAIN_LIST);
}

TEST_F(DialogCommandsTest, StatsAgainWhileOpenBringsTheOpenDialogForward)
{
    MainDialog dialog(harness.Services());
    HWND main = nullptr;
    Rows rows;
    HWND foregroundAfter = nullptr;
    HWND stats = nullptr;
    int statsAfter = 0;
    UiScript::Run(dialog, {
        UiScript::Do([&] {
            main = dialog.m_hWnd;
            Tick(main, 100, "notes.txt", 3);
            Tick(main, 200, "News", 1);
            ui::PostClick(main, IDC_STATS);
        }),
        Appears(kStatsCaption),
        UiScript::Do([&] {
            stats = ui::FindDialog(kStatsCaption);
            rows = ui::Rows(::GetDlgItem(stats, IDC_APPSTATS_LIST));
            ::SetForegroundWindow(editor.handle);
        }),
        UiScript::Wait(100),
        UiScript::Do([&] { PostCommand(main, IDC_STATS); }),
        UiScript::Wait(200),
        UiScript::Do([&] {
            foregroundAfter = ::GetForegroundWindow();
            statsAfter = CountDialogs(kStatsCaption);
        }),
        Close(kStatsCaption),
        Gone(kStatsCaption),
    });

    EXPECT_EQ(rows, (Rows{{"editor.exe", "0:00:03", "75%"},
                          {"browser.exe", "0:00:01", "25%"},
                          {"", "", ""},
                          {"Total:", "0:00:04", "100%"}}));
    EXPECT_EQ(statsAfter, 1);
    EXPECT_EQ(foregroundAfter, stats);
    // The statistics list showed the main window's images; they are still there.
    EXPECT_GE(::ImageList_GetImageCount(dialog.ImageList()), 1);
}

TEST_F(DialogCommandsTest, OptionsAgainWhileOpenBringsTheMainWindowForward)
{
    MainDialog dialog(harness.Services());
    HWND main = nullptr;
    HWND foregroundAfter = nullptr;
    int optionsAfter = 0;
    UiScript::Run(dialog, {
        UiScript::Do([&] {
            main = dialog.m_hWnd;
            ui::PostClick(main, IDC_OPTIONS);
        }),
        Appears(kOptionsCaption),
        UiScript::Do([&] { ::SetForegroundWindow(editor.handle); }),
        UiScript::Wait(100),
        UiScript::Do([&] { PostCommand(main, IDC_OPTIONS); }),
        UiScript::Wait(200),
        UiScript::Do([&] {
            foregroundAfter = ::GetForegroundWindow();
            optionsAfter = CountDialogs(kOptionsCaption);
        }),
        Close(kOptionsCaption),
        Gone(kOptionsCaption),
    });

    EXPECT_EQ(optionsAfter, 1);
    EXPECT_EQ(foregroundAfter, main);
}

// The button's About keeps one box; the system menu's About opens its own beside it.
TEST_F(DialogCommandsTest, AboutIsGuardedButTheSystemMenuOpensItsOwnBox)
{
    MainDialog dialog(harness.Services());
    HWND main = nullptr;
    int afterSystemMenu = 0, afterTray = 0, afterSecondTray = 0;
    UiScript::Run(dialog, {
        UiScript::Do([&] {
            main = dialog.m_hWnd;
            ::PostMessageA(main, WM_SYSCOMMAND, IDC_ABOUT | 0x3, 0);
        }),
        Appears(kAboutCaption),
        UiScript::Do([&] {
            afterSystemMenu = CountDialogs(kAboutCaption);
            PostCommand(main, IDC_ABOUT);
        }),
        [] { return CountDialogs(kAboutCaption) == 2; },
        UiScript::Do([&] {
            afterTray = CountDialogs(kAboutCaption);
            PostCommand(main, IDC_ABOUT);
        }),
        UiScript::Wait(200),
        UiScript::Do([&] { afterSecondTray = CountDialogs(kAboutCaption); }),
        Close(kAboutCaption),
        [] { return CountDialogs(kAboutCaption) == 1; },
        Close(kAboutCaption),
        Gone(kAboutCaption),
    });

    EXPECT_EQ(afterSystemMenu, 1);
    EXPECT_EQ(afterTray, 2);
    EXPECT_EQ(afterSecondTray, 2);
}

TEST_F(DialogCommandsTest, DetailsAndDoubleClickOpenTheDocumentsOfAnApplicationRowOnly)
{
    MainDialog dialog(harness.Services());
    HWND main = nullptr;
    std::vector<ui::MessageBoxContent> boxes;
    std::vector<HWND> boxOwners;
    std::vector<int> openedByBlankAndTotal;
    std::string byDetails, byDoubleClick;
    Rows documents;
    const auto readBox = std::vector<UiScript::Step>{
        Appears(AppTitle()),
        UiScript::Do([&] {
            const HWND box = ui::FindDialog(AppTitle());
            boxes.push_back(ui::ReadMessageBox(box));
            boxOwners.push_back(::GetWindow(box, GW_OWNER));
            ::PostMessageA(box, WM_COMMAND, IDOK, 0);
        }),
        Gone(AppTitle()),
    };
    const auto noteOpened = UiScript::Do([&] {
        openedByBlankAndTotal.push_back(static_cast<int>(ui::OwnedWindows(main).size()));
    });
    std::vector<UiScript::Step> steps = {
        UiScript::Do([&] {
            main = dialog.m_hWnd;
            Tick(main, 100, "notes.txt", 2);
            Tick(main, 200, "News", 2);
            Tick(main, 100, "draft.txt", 1);
            ui::PostClick(main, IDC_DETAILS);   // nothing selected
        }),
    };
    steps.insert(steps.end(), readBox.begin(), readBox.end());
    steps.push_back(UiScript::Do([&] { ui::PostDoubleClick(MainList(main), -1); }));
    steps.insert(steps.end(), readBox.begin(), readBox.end());
    for (int row : {2, 3}) {   // the blank row and "Total:"
        steps.push_back(UiScript::Do([&, row] { ui::Select(MainList(main), {row}); ui::PostClick(main, IDC_DETAILS); }));
        steps.push_back(UiScript::Wait(150));
        steps.push_back(noteOpened);
        steps.push_back(UiScript::Do([&, row] { ui::PostDoubleClick(MainList(main), row); }));
        steps.push_back(UiScript::Wait(150));
        steps.push_back(noteOpened);
    }
    steps.insert(steps.end(), {
        UiScript::Do([&] { ui::Select(MainList(main), {1, 0}); ui::PostClick(main, IDC_DETAILS); }),
        Appears(kDocumentsCaption),
        UiScript::Do([&] { byDetails = ui::WindowText(ui::FindDialog(kDocumentsCaption)); }),
        Close(kDocumentsCaption),
        Gone(kDocumentsCaption),
        UiScript::Do([&] { ui::PostDoubleClick(MainList(main), 1); }),
        Appears(kDocumentsCaption),
        UiScript::Do([&] {
            const HWND window = ui::FindDialog(kDocumentsCaption);
            byDoubleClick = ui::WindowText(window);
            documents = ui::Rows(::GetDlgItem(window, IDC_DOCUMENTS_LIST));
        }),
        Close(kDocumentsCaption),
        Gone(kDocumentsCaption),
    });
    UiScript::Run(dialog, steps);

    ASSERT_EQ(boxes.size(), 2u);
    for (size_t i = 0; i < boxes.size(); ++i) {
        EXPECT_EQ(boxes[i].text, LoadResString(IDS_NO_SELECTION));
        EXPECT_EQ(boxes[i].icon, ::LoadIconA(nullptr, IDI_HAND));
        EXPECT_EQ(boxOwners[i], main);
    }
    EXPECT_EQ(openedByBlankAndTotal, (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(byDetails, "Statistics for 'editor.exe'. 60% from total time");
    EXPECT_EQ(byDoubleClick, "Statistics for 'browser.exe'. 40% from total time");
    EXPECT_EQ(documents, (Rows{{"News", "0:00:02"}, {"", ""}, {"Total:", "0:00:02"}}));
}

// A Clear chosen from the tray while a documents dialog is open empties the main window's list
// but leaves the dialog as it opened.
TEST_F(DialogCommandsTest, ClearFromTheTrayLeavesAnOpenDocumentsDialogAlone)
{
    MainDialog dialog(harness.Services());
    HWND main = nullptr;
    Rows before, after;
    std::string confirmation;
    std::vector<std::pair<std::string, std::string>> mainRows;
    bool stillOpen = false;
    UiScript::Run(dialog, {
        UiScript::Do([&] {
            main = dialog.m_hWnd;
            Tick(main, 100, "notes.txt", 2);
            ui::PostDoubleClick(MainList(main), 0);
        }),
        Appears(kDocumentsCaption),
        UiScript::Do([&] {
            before = ui::Rows(::GetDlgItem(ui::FindDialog(kDocumentsCaption), IDC_DOCUMENTS_LIST));
            PostCommand(main, IDC_CLEAR);
        }),
        Appears(AppTitle()),
        UiScript::Do([&] {
            const HWND box = ui::FindDialog(AppTitle());
            confirmation = ui::ReadMessageBox(box).text;
            ::PostMessageA(box, WM_COMMAND, IDYES, 0);
        }),
        Gone(AppTitle()),
        UiScript::Wait(100),
        UiScript::Do([&] {
            const HWND documents = ui::FindDialog(kDocumentsCaption);
            stillOpen = documents != nullptr;
            after = ui::Rows(::GetDlgItem(documents, IDC_DOCUMENTS_LIST));
            mainRows = RowsOf(dialog);
        }),
        Close(kDocumentsCaption),
        Gone(kDocumentsCaption),
    });

    EXPECT_EQ(confirmation, LoadResString(IDS_CLEAR_CONFIRM));
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(before, (Rows{{"notes.txt", "0:00:02"}, {"", ""}, {"Total:", "0:00:02"}}));
    EXPECT_EQ(after, before);
    EXPECT_EQ(mainRows, (std::vector<std::pair<std::string, std::string>>{{"", ""}, {"Total:", ""}}));
    EXPECT_EQ(dialog.Store().totalTicks(), 0u);
}

// Monitoring on: the one-second timer keeps counting with statistics, documents, About and
// Options all open at once, one inside the other.
TEST_F(DialogCommandsTest, SamplingGoesOnWhileEveryDialogIsOpen)
{
    harness.options["MonitorAtStartup"] = 1;
    MainDialog dialog(harness.Services());
    HWND main = nullptr;
    std::uint32_t ticksWhenAllOpen = 0, ticksAfterWaiting = 0;
    UiScript::Run(dialog, {
        [&] {
            main = dialog.m_hWnd;
            return dialog.Store().totalTicks() >= 1;   // the first real tick
        },
        UiScript::Do([&] { ui::PostClick(main, IDC_STATS); }),
        Appears(kStatsCaption),
        UiScript::Do([&] { ui::PostDoubleClick(::GetDlgItem(ui::FindDialog(kStatsCaption), IDC_APPSTATS_LIST), 0); }),
        Appears(kDocumentsCaption),
        UiScript::Do([&] { PostCommand(main, IDC_ABOUT); }),
        Appears(kAboutCaption),
        UiScript::Do([&] { PostCommand(main, IDC_OPTIONS); }),
        Appears(kOptionsCaption),
        UiScript::Do([&] { ticksWhenAllOpen = dialog.Store().totalTicks(); }),
        UiScript::Wait(2600),
        UiScript::Do([&] { ticksAfterWaiting = dialog.Store().totalTicks(); }),
        Close(kOptionsCaption), Gone(kOptionsCaption),
        Close(kAboutCaption), Gone(kAboutCaption),
        Close(kDocumentsCaption), Gone(kDocumentsCaption),
        Close(kStatsCaption), Gone(kStatsCaption),
    }, true, 30000);

    EXPECT_GE(ticksAfterWaiting, ticksWhenAllOpen + 2);
    EXPECT_TRUE(dialog.Store().Find("editor.exe") != nullptr);
}

} // namespace
