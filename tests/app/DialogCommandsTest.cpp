// The main window's dialog commands on the real window under Wine: Details and the list's
// double-click, About from the button, the tray menu and the system menu, Options, each with its
// single-open guard, while sampling goes on.
#include "tests/app/MainWindowHarness.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/Win32Foreground.h"
#include "framework/Application.h"
#include "framework/Resources.h"
#include "res/resource.h"
#include "settings/SettingsStore.h"
#include "tests/views/UiScript.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;
using Step = UiScript::Step;

constexpr char kStatsCaption[] = "Application statistics";
constexpr char kDocumentsCaption[] = "Statistics for '";
constexpr char kAboutCaption[] = "About Vantel";
constexpr char kOptionsCaption[] = "Vantel Options";

struct OtherWindow {
    HWND handle = ::CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 600, 600, 50, 50,
                                    nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    ~OtherWindow() { ::DestroyWindow(handle); }
};

// A main window whose sampler sees editor.exe (process 100) or browser.exe (200) in front.
struct DialogCommandsTest : ::testing::Test {
    MainWindowHarness harness;
    OtherWindow editor;
    HWND main = nullptr;

    DialogCommandsTest()
    {
        harness.processes.names = { { 100, "editor.exe" }, { 200, "browser.exe" } };
        harness.foreground.window = editor.handle;
        harness.foreground.processId = 100;
    }
    ~DialogCommandsTest() override { SetAppMainWindow(nullptr); }

    // ticks of the application of process id with the window title title.
    void Tick(std::uint32_t processId, const std::string& title, int ticks)
    {
        harness.foreground.processId = processId;
        harness.foreground.title = title;
        for (int i = 0; i < ticks; ++i)
            SendTimer(main, 1);
    }

    // A first step that notes the main window, then does action.
    Step Start(MainDialog& dialog, std::function<void()> action = [] {})
    {
        return UiScript::Do([this, &dialog, action] {
            main = dialog.m_hWnd;
            SetAppMainWindow(&dialog);
            action();
        });
    }

    HWND MainList() const { return ::GetDlgItem(main, IDC_MAIN_LIST); }
};

int CountDialogs(const std::string& caption)
{
    int count = 0;
    for (HWND window : ui::OwnedWindows(nullptr))
        count += ui::WindowText(window) == caption ? 1 : 0;
    return count;
}

Step Appears(const std::string& prefix)
{
    return [prefix] { return ui::FindDialog(prefix) != nullptr; };
}

Step Gone(const std::string& prefix)
{
    return [prefix] { return ui::FindDialog(prefix) == nullptr; };
}

Step Close(const std::string& prefix, UINT button = IDCANCEL)
{
    return UiScript::Do([prefix, button] { ::PostMessageA(ui::FindDialog(prefix), WM_COMMAND, button, 0); });
}

// action, then the dialog whose caption begins with prefix: whileOpen reads it, and button closes it.
std::vector<Step> OpenReadAndClose(std::function<void()> action, const std::string& prefix,
                                   std::function<void(HWND)> whileOpen, UINT button = IDCANCEL)
{
    return { UiScript::Do(action), Appears(prefix),
             UiScript::Do([prefix, whileOpen] { whileOpen(ui::FindDialog(prefix)); }),
             Close(prefix, button), Gone(prefix) };
}

void Append(std::vector<Step>& steps, const std::vector<Step>& more)
{
    steps.insert(steps.end(), more.begin(), more.end());
}

void PostCommand(HWND window, UINT id)
{
    ::PostMessageA(window, WM_COMMAND, id, 0);   // as the tray menu sends it
}

// From the tray, with the main window hidden: a dialog opens centred on the work area and in
// front, comes forward again when asked for while covered, owns what is opened over it, and Exit
// ends every modal run at once.
TEST_F(DialogCommandsTest, FromTheTrayDialogsComeForwardStackAndEndWithExit)
{
    MainDialog dialog(harness.Services());
    HWND options = nullptr, about = nullptr, box = nullptr;
    RECT work{}, placed{};
    HWND foregroundAtOpen = nullptr, foregroundAgain = nullptr, aboutOwner = nullptr, boxOwner = nullptr;
    int copies = 0;
    DWORD exitPosted = 0;
    const INT_PTR result = UiScript::Run(dialog, {
        Start(dialog, [&] {
            Tick(100, "notes.txt", 2);
            SendCommand(main, IDCANCEL);
            PostCommand(main, IDC_OPTIONS);
        }),
        Appears(kOptionsCaption),
        UiScript::Do([&] {
            options = ui::FindDialog(kOptionsCaption);
            foregroundAtOpen = ::GetForegroundWindow();
            ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
            ::GetWindowRect(options, &placed);
            ::SetWindowPos(editor.handle, HWND_TOP, placed.left, placed.top, placed.right - placed.left,
                           placed.bottom - placed.top, SWP_SHOWWINDOW);
            ::SetForegroundWindow(editor.handle);
        }),
        UiScript::Wait(100),
        UiScript::Do([&] { PostCommand(main, IDC_OPTIONS); }),
        UiScript::Wait(200),
        UiScript::Do([&] {
            foregroundAgain = ::GetForegroundWindow();
            copies = CountDialogs(kOptionsCaption);
            PostCommand(main, IDC_ABOUT);
        }),
        Appears(kAboutCaption),
        UiScript::Do([&] {
            about = ui::FindDialog(kAboutCaption);
            aboutOwner = ::GetWindow(about, GW_OWNER);
            PostCommand(main, IDC_CLEAR);
        }),
        Appears(AppTitle()),
        UiScript::Do([&] {
            box = ui::FindDialog(AppTitle());
            boxOwner = ::GetWindow(box, GW_OWNER);
            exitPosted = ::GetTickCount();
            PostCommand(main, IDOK);
        }),
    }, false);
    const DWORD exitTook = ::GetTickCount() - exitPosted;

    EXPECT_EQ(foregroundAtOpen, options);
    EXPECT_NEAR((placed.left + placed.right) / 2, (work.left + work.right) / 2, 1);
    EXPECT_NEAR((placed.top + placed.bottom) / 2, (work.top + work.bottom) / 2, 1);
    EXPECT_EQ(foregroundAgain, options);
    EXPECT_EQ(copies, 1);
    EXPECT_EQ(aboutOwner, options);
    EXPECT_EQ(boxOwner, about);
    EXPECT_EQ(result, IDOK);
    EXPECT_LT(exitTook, 1000u);
    EXPECT_FALSE(::IsWindow(options) || ::IsWindow(about) || ::IsWindow(box));
    EXPECT_EQ(dialog.Store().totalTicks(), 2u) << "the Clear box ended without a Yes";
}

// The button's About keeps one box; the system menu's About opens its own beside it.
TEST_F(DialogCommandsTest, AboutIsGuardedButTheSystemMenuOpensItsOwnBox)
{
    MainDialog dialog(harness.Services());
    int afterSystemMenu = 0, afterTray = 0, afterSecondTray = 0;
    UiScript::Run(dialog, {
        Start(dialog, [&] { ::PostMessageA(main, WM_SYSCOMMAND, IDC_ABOUT | 0x3, 0); }),
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

// Which rows name no application (blank, "Total:") is checked with the statistics dialog, which
// shares the code; here: Details takes the selected row, a double-click the row under the mouse.
TEST_F(DialogCommandsTest, DetailsAndDoubleClickOpenTheDocumentsOfTheirRow)
{
    MainDialog dialog(harness.Services());
    std::vector<std::pair<ui::MessageBoxContent, HWND>> boxes;   // with their owners
    const auto readBox = [&](HWND box) { boxes.push_back({ ui::ReadMessageBox(box), ::GetWindow(box, GW_OWNER) }); };
    std::vector<std::string> captions;
    Rows documents;
    const auto readDocuments = [&](HWND window) {
        captions.push_back(ui::WindowText(window));
        documents = ui::Rows(::GetDlgItem(window, IDC_DOCUMENTS_LIST));
    };
    size_t openedByTotal = 1;
    std::vector<Step> steps = { Start(dialog, [&] {
        Tick(100, "notes.txt", 2);
        Tick(200, "News", 2);
        Tick(100, "draft.txt", 1);
    }) };
    Append(steps, OpenReadAndClose([&] { ui::PostClick(main, IDC_DETAILS); }, AppTitle(), readBox, IDOK));
    Append(steps, OpenReadAndClose([&] { ui::PostDoubleClick(MainList(), -1); }, AppTitle(), readBox, IDOK));
    Append(steps, { UiScript::Do([&] { ui::Select(MainList(), { 3 }); ui::PostClick(main, IDC_DETAILS); }),
                    UiScript::Wait(150),
                    UiScript::Do([&] { openedByTotal = ui::OwnedWindows(main).size(); }) });
    Append(steps, OpenReadAndClose([&] { ui::Select(MainList(), { 1, 0 }); ui::PostClick(main, IDC_DETAILS); },
                                   kDocumentsCaption, readDocuments));
    Append(steps, OpenReadAndClose([&] { ui::PostDoubleClick(MainList(), 1); }, kDocumentsCaption, readDocuments));
    UiScript::Run(dialog, steps);

    ASSERT_EQ(boxes.size(), 2u);   // nothing selected; a double-click below the rows
    for (const auto& [box, owner] : boxes) {
        EXPECT_EQ(box.text, LoadResString(IDS_NO_SELECTION));
        EXPECT_EQ(box.icon, ::LoadIconA(nullptr, IDI_HAND));
        EXPECT_EQ(owner, main);
    }
    EXPECT_EQ(openedByTotal, 0u);
    EXPECT_EQ(captions, (std::vector<std::string>{ "Statistics for 'editor.exe'. 60% from total time",
                                                   "Statistics for 'browser.exe'. 40% from total time" }));
    EXPECT_EQ(documents, (Rows{ { "News", "0:00:02" }, { "", "" }, { "Total:", "0:00:02" } }));
}

// A Clear chosen from the tray while a documents dialog is open empties the main window's list
// but leaves the dialog as it opened.
TEST_F(DialogCommandsTest, ClearFromTheTrayLeavesAnOpenDocumentsDialogAlone)
{
    MainDialog dialog(harness.Services());
    Rows before, after;
    std::vector<std::pair<std::string, std::string>> mainRows;
    UiScript::Run(dialog, {
        Start(dialog, [&] {
            Tick(100, "notes.txt", 2);
            ui::PostDoubleClick(MainList(), 0);
        }),
        Appears(kDocumentsCaption),
        UiScript::Do([&] {
            before = ui::Rows(::GetDlgItem(ui::FindDialog(kDocumentsCaption), IDC_DOCUMENTS_LIST));
            PostCommand(main, IDC_CLEAR);
        }),
        Appears(AppTitle()),
        Close(AppTitle(), IDYES),
        Gone(AppTitle()),
        UiScript::Wait(100),
        UiScript::Do([&] {
            after = ui::Rows(::GetDlgItem(ui::FindDialog(kDocumentsCaption), IDC_DOCUMENTS_LIST));
            mainRows = RowsOf(dialog);
        }),
        Close(kDocumentsCaption),
        Gone(kDocumentsCaption),
    });

    EXPECT_EQ(before, (Rows{ { "notes.txt", "0:00:02" }, { "", "" }, { "Total:", "0:00:02" } }));
    EXPECT_EQ(after, before);
    EXPECT_EQ(mainRows, (std::vector<std::pair<std::string, std::string>>{ { "", "" }, { "Total:", "" } }));
    EXPECT_EQ(dialog.Store().totalTicks(), 0u);
}

// Monitoring on: the one-second timer keeps counting with statistics, documents, About and
// Options all open at once, one inside the other.
TEST_F(DialogCommandsTest, SamplingGoesOnWhileEveryDialogIsOpen)
{
    WriteOption(kMonitorAtStartupOption, 1);
    MainDialog dialog(harness.Services());
    std::uint32_t ticksWhenAllOpen = 0, ticksAfterWaiting = 0;
    std::vector<Step> steps = {
        Start(dialog),
        [&] { return dialog.Store().totalTicks() >= 1; },   // the first real tick
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
    };
    for (const char* caption : { kOptionsCaption, kAboutCaption, kDocumentsCaption, kStatsCaption }) {
        steps.push_back(Close(caption));
        steps.push_back(Gone(caption));
    }
    UiScript::Run(dialog, steps, true, 30000);

    EXPECT_GE(ticksAfterWaiting, ticksWhenAllOpen + 2);
    EXPECT_TRUE(dialog.Store().Find("editor.exe") != nullptr);
}

std::string Utf8(const std::wstring& text)
{
    std::string bytes(text.size() * 4, '\0');
    bytes.resize(static_cast<size_t>(::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                                           &bytes[0], static_cast<int>(bytes.size()), nullptr, nullptr)));
    return bytes;
}

// Column 0 of every row, read through the list's wide-character message.
std::vector<std::wstring> WideLabels(HWND list)
{
    std::vector<std::wstring> labels;
    for (int row = 0; row < ListView_GetItemCount(list); ++row) {
        wchar_t text[256] = {};
        LVITEMW item = {};
        item.pszText = text;
        item.cchTextMax = 256;
        ::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        labels.push_back(text);
    }
    return labels;
}

// Real windows titled through the wide calls come to the front in turn and are sampled as they
// are: titles that a Western code page would all turn into question marks stay separate
// documents, and the main list and the documents dialog show name and titles exactly.
TEST_F(DialogCommandsTest, TitlesInEveryScriptAreSeparateDocumentsShownExactly)
{
    ASSERT_EQ(::GetACP(), static_cast<UINT>(CP_UTF8)) << "the manifest's active code page";
    const std::wstring editorName = L"\u0420\u0435\u0434\u0430\u043a\u0442\u043e\u0440.exe";   // "Editor" in Russian
    // In the store's (byte-wise) order: one with an emoji beyond the Basic Multilingual Plane,
    // two Russian ones of one length ("Letter to mum", "Letter to dad"), a Chinese one ("project
    // plan"). Title i is in front for i + 1 ticks.
    const std::wstring titles[] = { L"Notes \U0001F600",
                                    L"\u041f\u0438\u0441\u044c\u043c\u043e \u043c\u0430\u043c\u0435",
                                    L"\u041f\u0438\u0441\u044c\u043c\u043e \u043f\u0430\u043f\u0435",
                                    L"\u9879\u76ee\u8ba1\u5212" };
    harness.processes.names = { { ::GetCurrentProcessId(), Utf8(editorName) } };
    Win32Foreground foreground;
    MainDialogServices services = harness.Services();
    services.foreground = &foreground;
    MainDialog dialog(services);

    std::vector<HWND> windows;
    std::vector<Step> steps = { Start(dialog) };
    for (const std::wstring& title : titles) {
        const HWND window = ::CreateWindowExW(0, L"STATIC", title.c_str(), WS_POPUP | WS_VISIBLE, 600, 600, 50,
                                              50, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
        windows.push_back(window);
        const int ticks = static_cast<int>(windows.size());
        Append(steps, { UiScript::Do([window] { ::SetForegroundWindow(window); }),
                        [window] { return ::GetForegroundWindow() == window; },
                        UiScript::Do([this, ticks] {
                            for (int i = 0; i < ticks; ++i)
                                SendTimer(main, 1);
                        }) });
    }
    std::vector<std::wstring> names, documents;
    wchar_t caption[128] = {};
    steps.push_back(UiScript::Do([&] { names = WideLabels(MainList()); }));
    Append(steps, OpenReadAndClose([&] { ui::PostDoubleClick(MainList(), 0); }, kDocumentsCaption, [&](HWND window) {
        ::GetWindowTextW(window, caption, 128);
        documents = WideLabels(::GetDlgItem(window, IDC_DOCUMENTS_LIST));
    }));
    UiScript::Run(dialog, steps);
    for (HWND window : windows)
        ::DestroyWindow(window);

    const AppRecord* editor = dialog.Store().Find(Utf8(editorName));
    ASSERT_NE(editor, nullptr);
    std::map<std::string, std::uint32_t> expected;
    for (std::uint32_t i = 0; i < 4; ++i)
        expected[Utf8(titles[i])] = i + 1;
    EXPECT_EQ(editor->documents, expected);
    EXPECT_EQ(names, (std::vector<std::wstring>{ editorName, L"", L"Total:" }));
    EXPECT_EQ(documents, (std::vector<std::wstring>{ titles[0], titles[1], titles[2], titles[3], L"", L"Total:" }));
    EXPECT_EQ(std::wstring(caption), L"Statistics for '" + editorName + L"'. 100% from total time");
}

} // namespace
