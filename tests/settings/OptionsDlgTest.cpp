#include "settings/OptionsDlg.h"

#include "controls/IconButton.h"
#include "framework/Resources.h"
#include "res/resource.h"
#include "tests/settings/RegistryTestSupport.h"
#include "tests/support/WindowMessages.h"
#include "tests/views/UiScript.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kBoxes[] = {IDC_RUN_AT_STARTUP, IDC_MIN_TO_TRAY, IDC_MONITOR_AT_STARTUP};

// Whether each of the three boxes is checked.
std::vector<bool> Checks(HWND dialog)
{
    std::vector<bool> checks;
    for (int id : kBoxes)
        checks.push_back(IsDlgButtonChecked(dialog, id) == BST_CHECKED);
    return checks;
}

void ChangeEveryBox(HWND dialog)
{
    for (int id : kBoxes)
        SendDlgItemMessageA(dialog, id, BM_CLICK, 0, 0);
}

void StoreOptions(DWORD minToTray, DWORD monitorAtStartup)
{
    PutValue(HKEY_CURRENT_USER, kOptionsPath, "MinToTray", DwordValue(minToTray));
    PutValue(HKEY_CURRENT_USER, kOptionsPath, "MonitorAtStartup", DwordValue(monitorAtStartup));
}

Values Options(DWORD minToTray, DWORD monitorAtStartup)
{
    return {{"MinToTray", DwordValue(minToTray)}, {"MonitorAtStartup", DwordValue(monitorAtStartup)}};
}

POINT CenterOf(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// Where the cursor waits between the tests, far from the dialog, which opens in the top left
// corner.
constexpr POINT kParkingPlace = {1200, 950};

DWORD g_lastMouseMessageAt = 0;

LRESULT CALLBACK NoteMouseMessage(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION)
        g_lastMouseMessageAt = GetTickCount();
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Moves the real cursor and handles the mouse messages that follow. Under Wine's virtual desktop
// the X server reports each move again a little later, sometimes with the position before it,
// which puts the cursor back; so the move is repeated until the cursor stays where it was put.
void MoveCursorTo(POINT point)
{
    constexpr DWORD kQuietMilliseconds = 150;
    HHOOK hook = SetWindowsHookExA(WH_MOUSE, NoteMouseMessage, nullptr, GetCurrentThreadId());
    for (int attempt = 0; attempt < 10; ++attempt) {
        SetCursorPos(point.x, point.y);
        g_lastMouseMessageAt = GetTickCount();
        while (GetTickCount() - g_lastMouseMessageAt < kQuietMilliseconds)
            Pump(10);
        POINT now{};
        GetCursorPos(&now);
        if (now.x == point.x && now.y == point.y)
            break;
    }
    UnhookWindowsHookEx(hook);
}

// Each test starts and ends with no settings in either root, with the cursor away from the
// dialog so that only the test's own moves reach it.
class OptionsDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RemoveAllSettings();
        MoveCursorTo(kParkingPlace);
    }
    void TearDown() override { RemoveAllSettings(); }
};

}  // namespace

// Nothing stored: opening writes the defaults and shows them. (Stored states are shown as the
// tests below find them.)
TEST_F(OptionsDlgTest, OpensWithTheDefaultsStored)
{
    COptionsDlg dialog;
    EXPECT_EQ(ValuesOf(HKEY_CURRENT_USER, kOptionsPath), Options(1, 1));
    UiScript::Run(dialog, {UiScript::Do([&] {
        const HWND window = dialog.GetSafeHwnd();
        EXPECT_EQ(Checks(window), (std::vector<bool>{false, true, true}));
        EXPECT_EQ(ui::WindowText(GetDlgItem(window, IDC_DESCRIPTION)), LoadResString(IDS_DESC_PROMPT));
        EXPECT_NE(SendMessageA(window, WM_GETICON, ICON_SMALL, 0), 0);
        for (int id : {IDOK, IDCANCEL}) {
            auto* button = dynamic_cast<IconButton*>(Window::FromHandle(GetDlgItem(window, id)));
            ASSERT_NE(button, nullptr) << id;
            EXPECT_NE(button->GetIcon(), nullptr) << id;
        }
    })});
}

// OK writes all three, even unchanged: an entry naming a program elsewhere then names the
// program running now, an option stored as 7 is stored as 1. Cancel, Escape and the close box
// write nothing. The machine-wide root refuses writes throughout, as for a standard user.
TEST_F(OptionsDlgTest, OkSavesAllThreeSettingsAndTheOtherWaysOutSaveNothing)
{
    using Close = void (*)(HWND dialog);
    const Close ok = [](HWND d) { ui::PostClick(d, IDOK); };
    const Close cancel = [](HWND d) { ui::PostClick(d, IDCANCEL); };
    const Close escape = [](HWND d) { PostMessageA(GetDlgItem(d, IDC_MIN_TO_TRAY), WM_KEYDOWN, VK_ESCAPE, 0); };
    const Close closeBox = [](HWND d) { PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); };
    const struct Case {
        DWORD minToTray, monitorAtStartup;
        bool runEntry, changeEveryBox;
        Close close;
        INT_PTR result;
        Values optionsAfter;
        MaybeValue runEntryAfter;
    } cases[] = {
        {1, 0, false, false, ok, IDOK, Options(1, 0), std::nullopt},
        {7, 1, true, false, ok, IDOK, Options(1, 1), OwnStartupEntry()},
        {1, 1, true, true, ok, IDOK, Options(0, 0), std::nullopt},
        {1, 1, false, true, cancel, IDCANCEL, Options(1, 1), std::nullopt},
        {1, 1, false, true, escape, IDCANCEL, Options(1, 1), std::nullopt},
        {1, 1, false, true, closeBox, IDCANCEL, Options(1, 1), std::nullopt},
    };
    const StoredValue elsewhere = StringValue("C:\\elsewhere\\vantel.exe");
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        const Case& c = cases[i];
        RemoveAllSettings();
        StoreOptions(c.minToTray, c.monitorAtStartup);
        if (c.runEntry)
            PutValue(HKEY_CURRENT_USER, kRunPath, kRunValue, elsewhere);
        const RegistryRefusals standardUser;
        COptionsDlg dialog;
        std::vector<bool> checks;
        const INT_PTR result = UiScript::Run(dialog, {UiScript::Do([&] {
            const HWND window = dialog.GetSafeHwnd();
            if (c.changeEveryBox)
                ChangeEveryBox(window);
            checks = Checks(window);
            SetFocus(GetDlgItem(window, IDC_MIN_TO_TRAY));
            c.close(window);
        })}, /*endAfterLast=*/false);
        EXPECT_EQ(checks, (std::vector<bool>{c.runEntry != c.changeEveryBox, !c.changeEveryBox,
                                             (c.monitorAtStartup != 0) != c.changeEveryBox}));
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(ValuesOf(HKEY_CURRENT_USER, kOptionsPath), c.optionsAfter);
        EXPECT_EQ(ValueOf(HKEY_CURRENT_USER, kRunPath, kRunValue), c.runEntryAfter);
    }
}

// Every box is changed and OK pressed while some writes are refused: a message box owned by the
// dialog names exactly the settings not saved, the dialog stays open, the others are saved.
TEST_F(OptionsDlgTest, ASettingThatCannotBeSavedIsNamedAndTheDialogStaysOpen)
{
    const struct Case {
        std::set<std::string> refusedValues;
        bool machineRunEntry;   // an earlier install's, which a standard user cannot remove
        std::string unsaved;
        bool othersSaved;
    } cases[] = {
        {{"Vantel"}, false, "Run at Windows startup", true},
        {{"MinToTray"}, false, "Minimize to Tray at startup", true},
        {{}, true, "Run at Windows startup", true},
        {{"Vantel", "MinToTray", "MonitorAtStartup"}, false,
         "Run at Windows startup\nMinimize to Tray at startup\nStart monitoring at startup", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.unsaved);
        RemoveAllSettings();
        StoreOptions(1, 1);
        const MaybeValue machineEntry = StringValue("C:\\Vantel\\vantel.exe");
        if (c.machineRunEntry)
            PutValue(HKEY_LOCAL_MACHINE, kRunPath, kRunValue, *machineEntry);
        const RegistryRefusals refusals(c.refusedValues);
        COptionsDlg dialog;
        HWND window = nullptr;
        std::vector<HWND> boxes;
        std::string caption, text;
        const INT_PTR result = UiScript::Run(dialog, {
            UiScript::Do([&] {
                window = dialog.GetSafeHwnd();
                ChangeEveryBox(window);
                ui::PostClick(window, IDOK);
            }),
            [&] {
                boxes = ui::OwnedWindows(window);
                if (boxes.empty())
                    return false;
                caption = ui::WindowText(boxes.front());
                text = ui::ReadMessageBox(boxes.front()).text;
                ui::PostClick(boxes.front(), IDOK);
                return true;
            },
            UiScript::Do([&] {
                EXPECT_TRUE(IsWindowVisible(window));
                EXPECT_TRUE(ui::OwnedWindows(window).empty());
            })});
        EXPECT_EQ(result, IDCANCEL);
        EXPECT_EQ(boxes.size(), 1u);
        EXPECT_EQ(caption, "settings_tests");   // the application title
        EXPECT_EQ(text, LoadResString(IDS_SETTINGS_NOT_SAVED) + "\n\n" + c.unsaved
                            + (c.othersSaved ? "\n\n" + LoadResString(IDS_OTHERS_SAVED) : ""));
        EXPECT_EQ(ValuesOf(HKEY_CURRENT_USER, kOptionsPath),
                  Options(c.refusedValues.count("MinToTray"), c.refusedValues.count("MonitorAtStartup")));
        // The start-up box was checked unless the machine's entry checked it before.
        const bool runEntrySaved = !c.machineRunEntry && c.refusedValues.count("Vantel") == 0;
        EXPECT_EQ(ValueOf(HKEY_CURRENT_USER, kRunPath, kRunValue),
                  runEntrySaved ? MaybeValue(OwnStartupEntry()) : std::nullopt);
        EXPECT_EQ(ValueOf(HKEY_LOCAL_MACHINE, kRunPath, kRunValue), c.machineRunEntry ? machineEntry : std::nullopt);
    }
}

TEST_F(OptionsDlgTest, TheDescriptionFollowsTheMouseOnly)
{
    StoreOptions(1, 1);
    COptionsDlg dialog;
    HWND window = nullptr;
    auto item = [&](int id) { return GetDlgItem(window, id); };
    auto description = [&] { return ui::WindowText(item(IDC_DESCRIPTION)); };
    auto shows = [&](UINT stringId) { return description() == LoadResString(stringId); };
    // Half-way between two check boxes: the dialog itself.
    auto between = [&](int upperId, int lowerId) {
        RECT upper, lower;
        GetWindowRect(item(upperId), &upper);
        GetWindowRect(item(lowerId), &lower);
        return POINT{(upper.left + upper.right) / 2, (upper.bottom + lower.top) / 2};
    };
    // The real cursor put on point: the system sends WM_SETCURSOR and WM_MOUSEMOVE. A late report
    // of an earlier move can still put the cursor back (see MoveCursorTo), hence a few tries.
    auto hoverShows = [&](POINT point, UINT stringId) {
        for (int attempt = 0; attempt < 5; ++attempt) {
            MoveCursorTo(point);
            if (shows(stringId))
                return true;
        }
        return false;
    };
    auto sendSetCursor = [&](HWND under) {
        return SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(under),
                            MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    };

    const INT_PTR result = UiScript::Run(dialog, {
        UiScript::Do([&] {
            window = dialog.GetSafeHwnd();
            const std::pair<POINT, UINT> hovers[] = {
                {CenterOf(item(IDC_RUN_AT_STARTUP)), IDS_DESC_RUNATSTARTUP},
                {between(IDC_RUN_AT_STARTUP, IDC_MIN_TO_TRAY), IDS_DESC_PROMPT},
                {CenterOf(item(IDC_MIN_TO_TRAY)), IDS_DESC_MINTOTRAY},
                {between(IDC_MIN_TO_TRAY, IDC_MONITOR_AT_STARTUP), IDS_DESC_PROMPT},
                {CenterOf(item(IDC_MONITOR_AT_STARTUP)), IDS_DESC_MONITOR},
                // The description box lets the mouse through to the dialog.
                {CenterOf(item(IDC_DESCRIPTION)), IDS_DESC_PROMPT},
                {CenterOf(item(IDC_MIN_TO_TRAY)), IDS_DESC_MINTOTRAY},
                {CenterOf(item(IDOK)), IDS_DESC_PROMPT},
            };
            for (size_t i = 0; i < std::size(hovers); ++i)
                EXPECT_TRUE(hoverShows(hovers[i].first, hovers[i].second))
                    << "hover " << i << ": " << description();
            MoveCursorTo(kParkingPlace);
        }),
        // Over the dialog itself the cursor still gets its usual shape, the class arrow.
        UiScript::Do([&] {
            SetCursor(LoadCursor(nullptr, IDC_WAIT));
            sendSetCursor(window);
            EXPECT_TRUE(shows(IDS_DESC_PROMPT)) << description();
            EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_ARROW));
        }),
        // The keyboard moves the focus to another box; the description stays.
        UiScript::Do([&] {
            sendSetCursor(item(IDC_RUN_AT_STARTUP));
            SetFocus(item(IDC_RUN_AT_STARTUP));
            PostMessageA(item(IDC_RUN_AT_STARTUP), WM_KEYDOWN, VK_TAB, 0);
        }),
        UiScript::Do([&] {
            EXPECT_EQ(GetFocus(), item(IDC_MIN_TO_TRAY));
            EXPECT_TRUE(shows(IDS_DESC_RUNATSTARTUP)) << description();
        })});
    EXPECT_EQ(result, IDCANCEL);
}
