// The real main window in the test's thread, with the foreground and the processes played by
// fakes and the tray's requests captured: what it shows,
// how its ticks fill the list, monitoring and the tray, Clear, and the dialogs it opens.
#include "tests/support/MainWindowRun.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "app/Win32Foreground.h"
#include "core/ActivitySampler.h"
#include "framework/Application.h"
#include "framework/Resources.h"
#include "res/resource.h"
#include "settings/SettingsStore.h"

namespace {

using ui::Rows;
using ui::Script;

const UINT kTrayMessage = WM_USER + 3;
const std::string kDisabledTip = "Vantel is disabled.";

HWND List(HWND window) { return GetDlgItem(window, IDC_MAIN_LIST); }

HICON TrayIconResource(UINT id)
{
    return static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_ICON,
                                         GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
}

struct MainWindowTest : ::testing::Test {
    MainWindowRun run;
    MainWindowTest()
    {
        run.processes.processes = {{100, "editor.exe"}, {200, "viewer.exe"}};
        run.processes.paths[100] = ModulePath(nullptr);   // the test program's icon
    }
    size_t Count(DWORD message) const
    {
        return static_cast<size_t>(std::count_if(run.tray.begin(), run.tray.end(),
                                                 [message](const TrayRequest& r) { return r.message == message; }));
    }
    void ExpectLastRequest(DWORD message, UINT icon, const std::string& tipStart) const
    {
        ASSERT_FALSE(run.tray.empty());
        EXPECT_EQ(run.tray.back().message, message);
        EXPECT_EQ(run.tray.back().icon, TrayIconResource(icon));
        EXPECT_EQ(run.tray.back().tip.compare(0, tipStart.size(), tipStart), 0) << run.tray.back().tip;
    }
};

TEST_F(MainWindowTest, OpensWithItsTwoRowsThenTicksFillTheList)
{
    WriteOption(kMonitorAtStartupOption, 1);
    MainDialog dialog(run.Services());
    run.Run(dialog, {Script::Do([&] {
        const HWND window = run.window;
        EXPECT_EQ(run.Rows(), (Rows{{"", ""}, {"Total:", ""}}));
        EXPECT_EQ(ui::Text(window).rfind("Vantel:  Starting at ", 0), 0u) << ui::Text(window);
        EXPECT_EQ(ui::Text(GetDlgItem(window, IDC_STARTSTOP)), "S&top");
        const HMENU system = GetSystemMenu(window, FALSE);
        EXPECT_EQ(GetMenuItemID(system, GetMenuItemCount(system) - 1), static_cast<UINT>(IDC_ABOUT));
        EXPECT_EQ(ui::IconSide(reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, ICON_SMALL, 0))),
                  GetSystemMetrics(SM_CXSMICON));
        RECT client{};
        GetClientRect(List(window), &client);
        EXPECT_EQ(ListView_GetColumnWidth(List(window), 0), client.right * 65 / 100);
        EXPECT_EQ(ListView_GetColumnWidth(List(window), 1), client.right - client.right * 65 / 100);

        run.Tick(100, "a.txt", 2);
        run.Tick(200, "b", 1);
        EXPECT_EQ(run.Rows(), (Rows{{"editor.exe", "0:00:02"}, {"viewer.exe", "0:00:01"}, {"", ""},
                                    {"Total:", "0:00:03"}}));
        // The executable's icon after image 0, the generic one for a program without a path.
        const auto image = [&](int row) {
            LVITEMA item{};
            item.mask = LVIF_IMAGE;
            item.iItem = row;
            return ListView_GetItem(List(window), &item) ? item.iImage : -1;
        };
        EXPECT_EQ(std::make_pair(image(0), image(1)), std::make_pair(1, 0));
        EXPECT_TRUE(run.tray.empty()) << "shown: no entry, nothing for the tray";

        // Taller, never wider: the frame grows down, the buttons stay.
        RECT before[2]{}, after[2]{}, outer{};
        const auto place = [&](RECT* rects) {
            GetWindowRect(GetDlgItem(window, IDC_FRAME), &rects[0]);
            GetWindowRect(GetDlgItem(window, IDC_STATS), &rects[1]);
        };
        place(before);
        GetWindowRect(window, &outer);
        SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left + 80, outer.bottom - outer.top + 50, SWP_NOMOVE | SWP_NOZORDER);
        place(after);
        EXPECT_EQ((std::vector<LONG>{after[0].bottom - before[0].bottom, after[0].right, after[1].left, after[1].top}),
                  (std::vector<LONG>{50, before[0].right, before[1].left, before[1].top}));
    })});
}

TEST_F(MainWindowTest, MonitoringAndTheTrayEntryFollowTheCommands)
{
    MainDialog dialog(run.Services());
    run.Run(dialog, {Script::Do([&] {
        const HWND window = run.window;
        ui::SendCommand(window, IDCANCEL);   // Min while stopped: the disabled entry
        EXPECT_FALSE(IsWindowVisible(window));
        ExpectLastRequest(NIM_ADD, IDI_DISABLED, kDisabledTip);
        ui::SendCommand(window, IDC_STARTSTOP);   // Start from the tray menu: the summary at once
        EXPECT_EQ(ui::Text(GetDlgItem(window, IDC_STARTSTOP)), "S&top");
        ExpectLastRequest(NIM_MODIFY, IDI_MAIN, "Total time: 0:00:00\nTop 3:\n");
        run.Tick(100, "a.txt", 3);   // ticks 1 and 2 refresh the tooltip alone, 3 does not
        EXPECT_EQ(Count(NIM_MODIFY), 3u);
        EXPECT_EQ(run.tray.back().flags, static_cast<UINT>(NIF_TIP));
        ui::SendCommand(window, IDC_STARTSTOP);
        ExpectLastRequest(NIM_MODIFY, IDI_DISABLED, kDisabledTip);

        // Show: visible and in front at once; the entry goes 150 ms later, unless the window
        // hides again first (a double-click on the entry shows it as Show does).
        run.tray.clear();
        SendMessageA(window, kTrayMessage, 0, WM_LBUTTONDBLCLK);
        EXPECT_TRUE(IsWindowVisible(window));
        EXPECT_EQ(GetForegroundWindow(), window);
        SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);   // the close box hides, as Min does
        ui::Pump(400);
        EXPECT_FALSE(IsWindowVisible(window));
        EXPECT_EQ(Count(NIM_DELETE), 0u);
        ui::SendCommand(window, ID_SHOW);
        ui::Pump(400);
        EXPECT_EQ(run.tray.back().message, static_cast<DWORD>(NIM_DELETE));

        // The tray menu, stopped and running: Statistics the default, each item's bitmap.
        for (const char* label : {"S&tart", "&Stop"}) {
            const UniqueMenu menu = dialog.LoadTrayMenu();
            const HMENU popup = GetSubMenu(menu.get(), 0);
            EXPECT_EQ(GetMenuDefaultItem(popup, FALSE, 0), static_cast<UINT>(IDC_STATS));
            char text[16] = {};
            GetMenuStringA(popup, IDC_STARTSTOP, text, sizeof text, MF_BYCOMMAND);
            EXPECT_STREQ(text, label);
            MENUITEMINFOA item{};
            item.cbSize = sizeof item;
            item.fMask = MIIM_CHECKMARKS;
            for (int command : {ID_SHOW, IDC_STARTSTOP, IDC_STATS, IDC_OPTIONS, IDC_CLEAR, IDC_ABOUT, IDOK})
                EXPECT_TRUE(GetMenuItemInfoA(popup, static_cast<UINT>(command), FALSE, &item) && item.hbmpChecked) << command;
            ui::SendCommand(window, IDC_STARTSTOP);
        }
    })});
}

// At sign-in the notification area may not be there yet: the entry is tried again every second
// until taken. After a shell restart it is added again; the first entry ever shows a balloon.
TEST_F(MainWindowTest, TheTrayEntryIsNeverLostAndItsBalloonShowsOnce)
{
    RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\Norvatech\\Vantel", kTrayHintShownValue);   // a first start
    WriteOption(kMinToTrayOption, 1);
    const auto balloons = [&] {
        return std::count_if(run.tray.begin(), run.tray.end(), [](const TrayRequest& r) {
            return r.flags == NIF_INFO && r.infoFlags == (NIIF_INFO | NIIF_NOSOUND) && !r.infoTitle.empty();
        });
    };
    run.trayAnswer = FALSE;
    MainDialog dialog(run.Services());
    run.Run(dialog, {Script::Do([&] {
        ui::Pump(1300);   // hidden into the tray at start, refused, tried again
        EXPECT_FALSE(IsWindowVisible(run.window));
        EXPECT_GE(Count(NIM_ADD), 2u);
        EXPECT_EQ(balloons(), 0);
        run.trayAnswer = TRUE;
        run.tray.clear();
        ui::Pump(2300);
        EXPECT_EQ(Count(NIM_ADD), 1u) << "taken once, then no more tries";
        EXPECT_EQ(balloons(), 1);
        run.tray.clear();
        SendMessageA(run.window, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
        EXPECT_EQ(Count(NIM_ADD), 1u);
        EXPECT_EQ(balloons(), 0);
    })});
    run.tray.clear();
    MainDialog next(run.Services());   // the next start: never again
    run.Run(next, {[&] { return Count(NIM_ADD) == 1; }, Script::Do([&] { EXPECT_EQ(balloons(), 0); })});
}

// (The soak answers Clear both ways with ticks arriving meanwhile.)
TEST_F(MainWindowTest, ClearAsksOnceDefaultsToNoAndOnYesStartsAfresh)
{
    MainDialog dialog(run.Services());
    std::string boxText;
    int defaultButton = 0;
    const auto box = [] { return ui::FindDialog(AppTitle()); };
    run.Run(dialog, {
        Script::Do([&] {
            run.Tick(100, "a.txt", 2);
            SetWindowTextA(run.window, "before");   // the caption's time of start is set afresh
            ui::PostCommand(run.window, IDC_CLEAR);
        }),
        [&] { return box() != nullptr; },
        Script::Do([&] {
            boxText = ui::BoxText(box());
            for (int button : {IDYES, IDNO})
                defaultButton = (GetWindowLongA(GetDlgItem(box(), button), GWL_STYLE) & BS_DEFPUSHBUTTON) ? button : defaultButton;
            ui::PostCommand(run.window, IDC_CLEAR);   // again, as from the tray: no second box
        }),
        Script::Wait(100),
        Script::Do([&] {
            EXPECT_EQ(ui::Dialogs(AppTitle()).size(), 1u);
            PostMessageA(box(), WM_COMMAND, IDYES, 0);
        }),
        [&] { return box() == nullptr; },
        Script::Do([&] {
            EXPECT_EQ(run.Rows(), (Rows{{"", ""}, {"Total:", ""}}));
            EXPECT_EQ(ui::Text(run.window).rfind("Vantel:  Starting at ", 0), 0u);
            run.Tick(100, "a.txt");   // the image list keeps growing: a new icon after Clear
            EXPECT_EQ(run.Rows().front(), (std::vector<std::string>{"editor.exe", "0:00:01"}));
        }),
    });
    EXPECT_EQ(boxText, LoadResString(IDS_CLEAR_CONFIRM));
    EXPECT_EQ(defaultButton, IDNO) << "Enter must not clear";
}

// Details and the double-click open the documents of their row (a message without one); the
// commands keep one dialog each (the system menu's About has its own); from the tray, with the
// window hidden, a dialog opens centred and in front, owns what opens over it, comes forward
// when asked for again, and Exit ends every modal run at once.
TEST_F(MainWindowTest, DialogCommandsOpenTheirDialogsOnceAndExitEndsThemAll)
{
    MainDialog dialog(run.Services());
    std::vector<std::string> seen;
    HWND options = nullptr, about = nullptr;
    RECT work{}, placed{};
    DWORD exitPosted = 0;
    const auto note = [&](const char* what, HWND window) {
        seen.push_back(std::string(what) + ": " + (window ? ui::Text(window) + " " + ui::BoxText(window) : "-"));
    };
    const auto select = [&](int row) {
        ListView_SetItemState(List(run.window), -1, 0, LVIS_SELECTED);
        if (row >= 0)
            ListView_SetItemState(List(run.window), row, LVIS_SELECTED, LVIS_SELECTED);
    };
    const auto doubleClick = [&](int row) {
        RECT rect{};
        ListView_GetItemRect(List(run.window), row, &rect, LVIR_BOUNDS);
        PostMessageA(List(run.window), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(20, (rect.top + rect.bottom) / 2));
    };
    const auto opened = [](const char* caption) { return [caption] { return ui::FindDialog(caption) != nullptr; }; };
    const auto close = [](const char* caption) {
        return Script::Do([caption] { PostMessageA(ui::FindDialog(caption), WM_COMMAND, IDCANCEL, 0); });
    };
    const auto closed = [](const char* caption) { return [caption] { return ui::FindDialog(caption) == nullptr; }; };
    run.Run(dialog, {
        Script::Do([&] {
            run.Tick(100, "a.txt", 2);
            run.Tick(200, "b", 1);
            select(-1);
            ui::PostCommand(run.window, IDC_DETAILS);
        }),
        opened(AppTitle().c_str()),
        Script::Do([&] { note("details", ui::FindDialog(AppTitle())); PostMessageA(ui::FindDialog(AppTitle()), WM_COMMAND, IDOK, 0); }),
        closed(AppTitle().c_str()),
        Script::Do([&] { select(3); ui::PostCommand(run.window, IDC_DETAILS); }),   // "Total:": nothing
        Script::Wait(150),
        Script::Do([&] { note("total", ui::FindDialog("")); doubleClick(0); }),
        opened("Statistics for"),
        Script::Do([&] { note("row", ui::FindDialog("Statistics for")); }),
        close("Statistics for"),
        closed("Statistics for"),
        // Statistics asked for twice keeps one; About from the system menu opens its own box.
        Script::Do([&] { ui::PostCommand(run.window, IDC_STATS); ui::PostCommand(run.window, IDC_STATS); }),
        opened("Application statistics"),
        Script::Wait(150),
        close("Application statistics"),
        closed("Application statistics"),
        Script::Do([&] { PostMessageA(run.window, WM_SYSCOMMAND, IDC_ABOUT, 0); }),
        opened("About Vantel"),
        Script::Do([&] { ui::PostCommand(run.window, IDC_ABOUT); }),
        Script::Wait(200),
        Script::Do([&] { EXPECT_EQ(ui::Dialogs("About Vantel").size(), 2u); }),
        close("About Vantel"), close("About Vantel"),
        closed("About Vantel"),
        // From the tray.
        Script::Do([&] { ui::SendCommand(run.window, IDCANCEL); ui::PostCommand(run.window, IDC_OPTIONS); }),
        opened("Vantel Options"),
        Script::Do([&] {
            options = ui::FindDialog("Vantel Options");
            EXPECT_EQ(GetForegroundWindow(), options);
            SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
            GetWindowRect(options, &placed);
            const HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, placed.left, placed.top,
                                               placed.right - placed.left, placed.bottom - placed.top, nullptr,
                                               nullptr, nullptr, nullptr);
            SetForegroundWindow(other);
            ui::PostCommand(run.window, IDC_OPTIONS);
        }),
        Script::Wait(150),
        Script::Do([&] {
            EXPECT_EQ(GetForegroundWindow(), options) << "asked again, it comes forward";
            ui::PostCommand(run.window, IDC_ABOUT);
        }),
        opened("About Vantel"),
        Script::Do([&] {
            about = ui::FindDialog("About Vantel");
            EXPECT_EQ(GetWindow(about, GW_OWNER), options);
            ui::PostCommand(run.window, IDC_CLEAR);
        }),
        opened(AppTitle().c_str()),
        Script::Do([&] {
            EXPECT_EQ(GetWindow(ui::FindDialog(AppTitle()), GW_OWNER), about);
            exitPosted = GetTickCount();
            ui::PostCommand(run.window, IDOK);
        }),
    }, false);
    EXPECT_LT(GetTickCount() - exitPosted, 1000u);
    EXPECT_FALSE(IsWindow(options) || IsWindow(about));
    EXPECT_NEAR((placed.left + placed.right) / 2, (work.left + work.right) / 2, 1);
    EXPECT_NEAR((placed.top + placed.bottom) / 2, (work.top + work.bottom) / 2, 1);
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "details: " + AppTitle() + " " + LoadResString(IDS_NO_SELECTION),
                        "total: -",
                        "row: Statistics for 'editor.exe'. 66% from total time "}));
}

// Real windows titled in Cyrillic (two titles of one length), Chinese and with an emoji beyond the
// Basic Multilingual Plane come to the front in turn: separate documents, in byte order, read back
// exactly through the list's wide-character messages.
TEST_F(MainWindowTest, TitlesInEveryScriptAreSeparateDocumentsShownExactly)
{
    const std::wstring titles[] = {L"Notes \U0001F600", L"\u041f\u0438\u0441\u044c\u043c\u043e \u043c\u0430\u043c\u0435",
                                   L"\u041f\u0438\u0441\u044c\u043c\u043e \u043f\u0430\u043f\u0435", L"\u9879\u76ee\u8ba1\u5212"};
    run.processes.processes = {{GetCurrentProcessId(), "editor.exe"}};
    Win32Foreground foreground;
    MainDialogServices services = run.Services();
    services.foreground = &foreground;
    MainDialog dialog(services);
    std::vector<Script::Step> steps;
    for (const std::wstring& title : titles) {
        const HWND window = CreateWindowExW(0, L"STATIC", title.c_str(), WS_POPUP | WS_VISIBLE, 600, 600, 50, 50,
                                            nullptr, nullptr, nullptr, nullptr);
        steps.push_back(Script::Do([window] { SetForegroundWindow(window); }));
        steps.push_back([window] { return GetForegroundWindow() == window; });
        steps.push_back(Script::Do([&] { ui::SendTimer(run.window, ActivitySampler::kSamplingTimerId); }));
    }
    std::vector<std::wstring> documents;
    steps.push_back(Script::Do([&] {
        ListView_SetItemState(List(run.window), 0, LVIS_SELECTED, LVIS_SELECTED);
        ui::PostCommand(run.window, IDC_DETAILS);
    }));
    steps.push_back([] { return ui::FindDialog("Statistics for") != nullptr; });
    steps.push_back(Script::Do([&] {
        const HWND list = GetDlgItem(ui::FindDialog("Statistics for"), IDC_DOCUMENTS_LIST);
        for (int row = 0; row < ListView_GetItemCount(list); ++row) {
            wchar_t text[64] = {};
            LVITEMW item{};
            item.pszText = text;
            item.cchTextMax = 64;
            SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
            documents.push_back(text);
        }
        PostMessageA(ui::FindDialog("Statistics for"), WM_COMMAND, IDCANCEL, 0);
    }));
    run.Run(dialog, steps);
    EXPECT_EQ(documents, (std::vector<std::wstring>{titles[0], titles[1], titles[2], titles[3], L"", L"Total:"}));
}

} // namespace
