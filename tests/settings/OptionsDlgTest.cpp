#include "settings/OptionsDlg.h"

#include "controls/IconButton.h"
#include "framework/Resources.h"
#include "res/resource.h"
#include "tests/controls/ModalSteps.h"
#include "tests/settings/RegistryTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr char kRunValueName[] = "Vantel";
using Values = std::map<std::string, StoredValue>;

// The real registry, with a log of the values set and deleted, in order.
class RecordingRegistry : public ObservedRegistry {
public:
    using ObservedRegistry::ObservedRegistry;

    std::vector<std::string> changes;

    LSTATUS SetValue(HKEY key, const char* name, DWORD type, const BYTE* data,
                     DWORD size) override
    {
        changes.push_back(std::string("set ") + name);
        return ObservedRegistry::SetValue(key, name, type, data, size);
    }
    LSTATUS DeleteValue(HKEY key, const char* name) override
    {
        changes.push_back(std::string("delete ") + name);
        return ObservedRegistry::DeleteValue(key, name);
    }
};

std::string Text(HWND window)
{
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

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

// Runs the dialog and does act on it, which must close it; DoModal's result.
INT_PTR RunClosing(COptionsDlg& dialog, const std::function<void(HWND)>& act)
{
    return ModalSteps::Run(dialog, {[&] { act(dialog.GetSafeHwnd()); },
                                    [] { ADD_FAILURE() << "the dialog did not close"; }});
}

void ClickOk(HWND dialog)
{
    SendDlgItemMessageA(dialog, IDOK, BM_CLICK, 0, 0);
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
            ModalSteps::Pump(10);
        POINT now{};
        GetCursorPos(&now);
        if (now.x == point.x && now.y == point.y)
            break;
    }
    UnhookWindowsHookEx(hook);
}

// Each test starts and ends without the application key and without the start-up entry, with
// the cursor away from the dialog so that only the test's own moves reach it.
class OptionsDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Clean();
        MoveCursorTo(kParkingPlace);
    }
    void TearDown() override { Clean(); }

    static void Clean()
    {
        DeleteApplicationKey();
        RemoveValue(kRunKeyPath, kRunValueName);
    }

    static void StoreOptions(DWORD minToTray, DWORD monitorAtStartup)
    {
        PutValue(kApplicationKeyPath, "MinToTray", DwordValue(minToTray));
        PutValue(kApplicationKeyPath, "MonitorAtStartup", DwordValue(monitorAtStartup));
    }
};

}  // namespace

TEST_F(OptionsDlgTest, OpeningStoresMissingDefaultsAndShowsTheStoredStates)
{
    COptionsDlg dialog;
    EXPECT_EQ(ValuesOf(kApplicationKeyPath),
              (Values{{"MinToTray", DwordValue(1)}, {"MonitorAtStartup", DwordValue(1)}}));

    const INT_PTR result = ModalSteps::Run(dialog, {[&] {
        const HWND window = dialog.GetSafeHwnd();
        EXPECT_EQ(Checks(window), (std::vector<bool>{false, true, true}));
        EXPECT_EQ(Text(GetDlgItem(window, IDC_DESCRIPTION)), LoadResString(IDS_DESC_PROMPT));
        EXPECT_NE(SendMessageA(window, WM_GETICON, ICON_SMALL, 0), 0);
        for (int id : {IDOK, IDCANCEL}) {
            auto* button = dynamic_cast<IconButton*>(Window::FromHandle(GetDlgItem(window, id)));
            ASSERT_NE(button, nullptr) << id;
            EXPECT_NE(button->GetIcon(), nullptr) << id;
        }
        // The first tab stop of the template.
        EXPECT_EQ(GetFocus(), GetDlgItem(window, IDC_RUN_AT_STARTUP));
    }});
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(ValuesOf(kRunKeyPath).count(kRunValueName), 0u);

    // Stored states, including a value other than 0 or 1, which counts as on.
    StoreOptions(7, 0);
    PutValue(kRunKeyPath, kRunValueName, StringValue("C:\\elsewhere\\vantel.exe"));
    COptionsDlg stored;
    std::vector<bool> storedChecks;
    ModalSteps::Run(stored, {[&] { storedChecks = Checks(stored.GetSafeHwnd()); }});
    EXPECT_EQ(storedChecks, (std::vector<bool>{true, true, false}));
}

// Even unchanged, all three are written: an absent start-up entry is deleted again, one naming a
// program elsewhere names the program running now, an option stored as 7 is stored as 1.
TEST_F(OptionsDlgTest, OkRewritesAllThreeSettingsInOrder)
{
    struct Case {
        DWORD minToTray, monitorAtStartup;
        bool startupEntry, changeEveryBox;
        std::string startupChange;
        DWORD minToTrayAfter, monitorAtStartupAfter;
    };
    const Case cases[] = {{1, 0, false, false, "delete Vantel", 1, 0},
                          {7, 1, true, false, "set Vantel", 1, 1},
                          {1, 1, true, true, "delete Vantel", 0, 0}};
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        const Case& c = cases[i];
        StoreOptions(c.minToTray, c.monitorAtStartup);
        if (c.startupEntry)
            PutValue(kRunKeyPath, kRunValueName, StringValue("C:\\elsewhere\\vantel.exe"));
        RecordingRegistry registry;
        COptionsDlg dialog(nullptr, registry);
        EXPECT_TRUE(registry.changes.empty());
        EXPECT_EQ(RunClosing(dialog, [&](HWND window) {
            if (c.changeEveryBox)
                ChangeEveryBox(window);
            ClickOk(window);
        }), IDOK);
        EXPECT_EQ(registry.changes, (std::vector<std::string>{c.startupChange, "set MinToTray",
                                                              "set MonitorAtStartup"}));
        EXPECT_EQ(ValuesOf(kApplicationKeyPath), (Values{{"MinToTray", DwordValue(c.minToTrayAfter)},
                                                         {"MonitorAtStartup", DwordValue(c.monitorAtStartupAfter)}}));
        const Values runValues = ValuesOf(kRunKeyPath);
        if (c.startupChange == "set Vantel")
            EXPECT_EQ(runValues.at(kRunValueName), StringValue('"' + OwnExecutablePath() + '"'));
        else
            EXPECT_EQ(runValues.count(kRunValueName), 0u);
    }
}

TEST_F(OptionsDlgTest, CancelEscapeAndCloseBoxWriteNothing)
{
    struct Way {
        const char* name;
        void (*close)(HWND dialog);
    };
    const Way ways[] = {
        {"Cancel button", [](HWND d) { SendDlgItemMessageA(d, IDCANCEL, BM_CLICK, 0, 0); }},
        {"Escape",
         [](HWND d) { PostMessageA(GetDlgItem(d, IDC_MIN_TO_TRAY), WM_KEYDOWN, VK_ESCAPE, 0); }},
        {"close box", [](HWND d) { PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    StoreOptions(1, 1);
    const Values options = ValuesOf(kApplicationKeyPath);
    for (const Way& way : ways) {
        ObservedRegistry registry;
        COptionsDlg dialog(nullptr, registry);
        std::vector<bool> changed;
        const INT_PTR result = RunClosing(dialog, [&](HWND window) {
            ChangeEveryBox(window);
            changed = Checks(window);
            SetFocus(GetDlgItem(window, IDC_MIN_TO_TRAY));
            way.close(window);
        });
        EXPECT_EQ(result, IDCANCEL) << way.name;
        EXPECT_EQ(changed, (std::vector<bool>{true, false, false})) << way.name;
        EXPECT_EQ(registry.WriteAttempts(), 0) << way.name;
        EXPECT_EQ(ValuesOf(kApplicationKeyPath), options) << way.name;
        EXPECT_EQ(ValuesOf(kRunKeyPath).count(kRunValueName), 0u) << way.name;
    }
}

TEST_F(OptionsDlgTest, TheDescriptionFollowsTheMouseOnly)
{
    StoreOptions(1, 1);
    COptionsDlg dialog;
    HWND window = nullptr;
    auto item = [&](int id) { return GetDlgItem(window, id); };
    auto description = [&] { return Text(item(IDC_DESCRIPTION)); };
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

    const INT_PTR result = ModalSteps::Run(dialog, {
        [&] {
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
        },
        // Over the dialog itself the cursor still gets its usual shape, the class arrow.
        [&] {
            SetCursor(LoadCursor(nullptr, IDC_WAIT));
            sendSetCursor(window);
            EXPECT_TRUE(shows(IDS_DESC_PROMPT)) << description();
            EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_ARROW));
        },
        // The keyboard moves the focus from box to box; the description stays.
        [&] {
            sendSetCursor(item(IDC_MIN_TO_TRAY));
            SetFocus(item(IDC_RUN_AT_STARTUP));
            PostMessageA(item(IDC_RUN_AT_STARTUP), WM_KEYDOWN, VK_TAB, 0);
        },
        [&] {
            EXPECT_EQ(GetFocus(), item(IDC_MIN_TO_TRAY));
            PostMessageA(item(IDC_MIN_TO_TRAY), WM_KEYDOWN, VK_TAB, 0);
        },
        [&] {
            EXPECT_EQ(GetFocus(), item(IDC_MONITOR_AT_STARTUP));
            SetFocus(item(IDC_RUN_AT_STARTUP));
            EXPECT_TRUE(shows(IDS_DESC_MINTOTRAY)) << description();
        }});
    EXPECT_EQ(result, IDCANCEL);
}

namespace {

// What the description box held when the dialog was first told it is being shown.
struct FirstShow {
    bool seen = false;
    bool dialogWasVisible = false;
    std::string description;
};
FirstShow g_firstShow;

LRESULT CALLBACK WatchFirstShow(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_SHOWWINDOW && call->wParam && !g_firstShow.seen
        && GetDlgItem(call->hwnd, IDC_DESCRIPTION) != nullptr) {
        g_firstShow.seen = true;
        g_firstShow.dialogWasVisible = IsWindowVisible(call->hwnd) != FALSE;
        g_firstShow.description = Text(GetDlgItem(call->hwnd, IDC_DESCRIPTION));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

TEST_F(OptionsDlgTest, TheTemplateTextIsReplacedBeforeTheDialogShows)
{
    StoreOptions(1, 1);
    COptionsDlg dialog;
    g_firstShow = FirstShow();
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, WatchFirstShow, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    ModalSteps::Run(dialog, {[] {}});
    UnhookWindowsHookEx(hook);

    ASSERT_TRUE(g_firstShow.seen);
    EXPECT_FALSE(g_firstShow.dialogWasVisible);
    EXPECT_EQ(g_firstShow.description, LoadResString(IDS_DESC_PROMPT));
}

// Nothing stored and nothing storable: the defaults are shown. Stored options stay as they were.
TEST_F(OptionsDlgTest, OkClosesTheDialogWhenTheRegistryRefusesWrites)
{
    {
        ObservedRegistry refusing(true);
        COptionsDlg dialog(nullptr, refusing);
        EXPECT_GT(refusing.WriteAttempts(), 0);
        std::vector<bool> shown;
        EXPECT_EQ(RunClosing(dialog, [&](HWND window) { shown = Checks(window); ClickOk(window); }), IDOK);
        EXPECT_EQ(shown, (std::vector<bool>{false, true, true}));
        EXPECT_FALSE(KeyExists(kApplicationKeyPath));
    }

    StoreOptions(1, 0);
    const Values options = ValuesOf(kApplicationKeyPath);
    ObservedRegistry refusing(true);
    COptionsDlg dialog(nullptr, refusing);
    EXPECT_EQ(refusing.WriteAttempts(), 0);
    EXPECT_EQ(RunClosing(dialog, [](HWND window) { ChangeEveryBox(window); ClickOk(window); }), IDOK);
    EXPECT_GT(refusing.WriteAttempts(), 0);
    EXPECT_EQ(ValuesOf(kApplicationKeyPath), options);
    EXPECT_EQ(ValuesOf(kRunKeyPath).count(kRunValueName), 0u);
}
