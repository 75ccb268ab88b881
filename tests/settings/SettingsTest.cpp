// The settings in the test prefix's real registry, read and written here directly, and the
// Options dialog. Windows refuses an unelevated program writes to HKEY_LOCAL_MACHINE; Wine never
// refuses anything, so refusals are played by patching this program's registry imports.
#include <gtest/gtest.h>

#include <windows.h>

#include <set>
#include <tuple>

#include "framework/Application.h"
#include "framework/Resources.h"
#include "res/resource.h"
#include "settings/OptionsDlg.h"
#include "settings/SettingsStore.h"
#include "tests/support/ImportPatch.h"
#include "tests/support/Ui.h"

namespace {

constexpr char kOptionsKey[] = "Software\\Norvatech\\Vantel";
constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kRunValue[] = "Vantel";

using Value = std::optional<std::pair<DWORD, std::string>>;   // as stored: type and bytes; or none

Value Dword(DWORD value) { return {{REG_DWORD, std::string(reinterpret_cast<const char*>(&value), 4)}}; }
Value Text(const std::string& text, DWORD type = REG_SZ) { return {{type, text + '\0'}}; }
Value OwnEntry() { return Text('"' + ModulePath(nullptr) + '"'); }   // the entry that starts this program

void Put(HKEY root, const char* path, const char* name, const Value& value)   // creates the key
{
    if (value)
        RegSetKeyValueA(root, path, name, value->first, value->second.data(), static_cast<DWORD>(value->second.size()));
}

Value Get(HKEY root, const char* path, const char* name)
{
    char data[1024];
    DWORD type = REG_NONE, size = sizeof data;
    const LSTATUS status = RegGetValueA(root, path, name, RRF_RT_ANY | RRF_NOEXPAND, &type, data, &size);
    return status == ERROR_SUCCESS ? Value({type, std::string(data, size)}) : std::nullopt;
}

void Clear()   // no settings in either root
{
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        RegDeleteKeyA(root, kOptionsKey);
        RegDeleteKeyValueA(root, kRunKey, kRunValue);
    }
}

// While they are set, the values named in g_refused can be neither set nor deleted and, unless
// g_machineWritable, the keys of HKEY_LOCAL_MACHINE cannot be opened for writing, as for every
// unelevated program on Windows. The test's own registry calls (Put, Get, Clear) are not affected.
std::set<std::string> g_refused;
bool g_machineWritable = false;
decltype(&RegOpenKeyExA) g_open = nullptr;

LSTATUS WINAPI RefusingOpen(HKEY root, LPCSTR path, DWORD options, REGSAM access, PHKEY key)
{
    const bool write = (access & (KEY_SET_VALUE | KEY_CREATE_SUB_KEY)) != 0;
    return root == HKEY_LOCAL_MACHINE && write && !g_machineWritable ? ERROR_ACCESS_DENIED
                                                                     : g_open(root, path, options, access, key);
}

LSTATUS WINAPI RefusingSet(HKEY key, LPCSTR name, DWORD, DWORD type, const BYTE* data, DWORD size)
{
    return g_refused.count(name) != 0 ? ERROR_ACCESS_DENIED : RegSetKeyValueA(key, nullptr, name, type, data, size);
}

LSTATUS WINAPI RefusingDelete(HKEY key, LPCSTR name)
{
    return g_refused.count(name) != 0 ? ERROR_ACCESS_DENIED : RegDeleteKeyValueA(key, nullptr, name);
}

struct Refusals {
    explicit Refusals(std::set<std::string> refused = {}, bool machineWritable = false)
    {
        g_refused = std::move(refused);
        g_machineWritable = machineWritable;
        g_open = open.Original<decltype(&RegOpenKeyExA)>();
    }
    ImportPatch open{"advapi32.dll", "RegOpenKeyExA", &RefusingOpen};
    ImportPatch set{"advapi32.dll", "RegSetValueExA", &RefusingSet};
    ImportPatch remove{"advapi32.dll", "RegDeleteValueA", &RefusingDelete};
};

struct Settings : ::testing::Test {
    void TearDown() override { Clear(); }   // leaves the prefix as the other tests expect it
};

// The user's value wins (data of up to 4 bytes, of any type); else an earlier install's value in
// the machine's key is carried over to the user's; else the default 1 is stored. The answers do
// not depend on the writes: the last two cases refuse them.
TEST_F(Settings, OptionsComeFromTheUserThenAnEarlierInstallThenTheDefault)
{
    const struct {
        Value user, machine, userAfter;
        std::optional<DWORD> stored;   // ReadStoredOption, which writes no default
        DWORD read;
        std::set<std::string> refused = {};
    } cases[] = {
        {{}, {}, Dword(1), {}, 1},
        {Dword(0), Dword(1), Dword(0), 0, 0},
        {Text("0"), {}, Text("0"), 0x30, 0x30},
        {{}, Dword(0), Dword(0), 0, 0},
        {{}, Text("yes please"), {}, {}, 1, {kMinToTrayOption}},
        {{}, Dword(0), {}, 0, 0, {kMinToTrayOption}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        Clear();
        Put(HKEY_CURRENT_USER, kOptionsKey, kMinToTrayOption, c.user);
        Put(HKEY_LOCAL_MACHINE, kOptionsKey, kMinToTrayOption, c.machine);
        const Refusals standardUser(c.refused);
        EXPECT_EQ(ReadStoredOption(kMinToTrayOption), c.stored);
        EXPECT_EQ(Get(HKEY_CURRENT_USER, kOptionsKey, kMinToTrayOption), c.stored ? c.userAfter : c.user);
        EXPECT_EQ(ReadOption(kMinToTrayOption), c.read);
        EXPECT_EQ(Get(HKEY_CURRENT_USER, kOptionsKey, kMinToTrayOption), c.userAfter);
    }
}

// Only a non-empty string, whatever path it names, is an entry; the machine's counts as well.
// Enabled, the user's entry holds this program's whole path, quoted: the test program lies deep
// enough for a path longer than MAX_PATH, with spaces (CMakeLists.txt). An earlier install's
// machine-wide entry goes whenever the setting is saved, so that Vantel starts once at sign-in.
// Where it may not go, it is the one that starts Vantel: enabling still succeeds (without an entry
// of the user's), disabling fails, as it does where the user's entry may not go. Nothing to remove
// is no error.
TEST_F(Settings, TheStartupEntryIsThisProgramsQuotedPathAndStartsItOnce)
{
    ASSERT_TRUE(ModulePath(nullptr).size() > MAX_PATH && ModulePath(nullptr).find(' ') != std::string::npos);
    const struct {
        Value user, userAfter;
        bool machine, isEntry, machineRefuses, enable, succeeds, machineAfter;
        std::set<std::string> refused = {};
    } cases[] = {
        {Text("D:\\Copy of Vantel\\vantel.exe"), OwnEntry(), false, true, false, true, true, false},
        {{}, {}, false, false, false, false, true, false},
        {{}, OwnEntry(), true, true, false, true, true, false},
        {Text(""), {}, true, true, false, false, true, false},
        {{}, {}, true, true, true, true, true, true},
        {{}, {}, true, true, true, false, false, true},
        {Text(""), OwnEntry(), false, false, true, true, true, false},
        {OwnEntry(), OwnEntry(), false, true, false, false, false, false, {kRunValue}},
        {Dword(1), OwnEntry(), false, false, false, true, true, false},
        {{{REG_BINARY, std::string("C:\\\0", 4)}}, {}, false, false, false, false, true, false},
        {Text("%ProgramFiles%\\Vantel\\vantel.exe", REG_EXPAND_SZ), {}, false, true, false, false, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        Clear();
        Put(HKEY_CURRENT_USER, kRunKey, kRunValue, c.user);
        Put(HKEY_LOCAL_MACHINE, kRunKey, kRunValue, c.machine ? Text("C:\\vantel.exe") : Value());
        const Refusals refusals(c.refused, !c.machineRefuses);
        EXPECT_EQ(IsRunAtStartup(), c.isEntry);
        EXPECT_EQ(SetRunAtStartup(c.enable), c.succeeds);
        EXPECT_EQ(Get(HKEY_CURRENT_USER, kRunKey, kRunValue), c.userAfter);
        EXPECT_EQ(Get(HKEY_LOCAL_MACHINE, kRunKey, kRunValue).has_value(), c.machineAfter);
    }
}

// The dialog shows the stored settings (what OK then saves: all three, changed or not, so that an
// entry naming a program elsewhere names this one and an option stored as 7 is stored as 1).
// Cancel saves nothing (opening stored the defaults). Where a write is refused, a message box
// over the dialog names exactly the settings not saved, the others are saved, and the dialog
// stays open. The machine refuses writes throughout.
TEST_F(Settings, OptionsOkSavesAllThreeOrNamesWhatWasNotSavedAndCancelNothing)
{
    const struct {
        Value minToTray, monitor;
        bool runEntry, clickEveryBox, runEntryAfter;
        int button;
        std::set<std::string> refused;
        std::string unsaved;
        DWORD minToTrayAfter, monitorAfter;
    } cases[] = {
        {Dword(7), Dword(0), true, false, true, IDOK, {}, "", 1, 0},
        {Dword(1), Dword(1), true, true, false, IDOK, {}, "", 0, 0},
        {{}, {}, false, true, false, IDCANCEL, {}, "", 1, 1},
        {Dword(1), Dword(1), false, true, false, IDOK, {kRunValue}, "Run at Windows startup", 0, 0},
        {Dword(1), Dword(1), false, true, true, IDOK, {kMinToTrayOption}, "Minimize to Tray at startup", 1, 0},
        {Dword(1), Dword(1), false, true, false, IDOK, {kRunValue, kMinToTrayOption, kMonitorAtStartupOption},
         "Run at Windows startup\nMinimize to Tray at startup\nStart monitoring at startup", 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        Clear();
        Put(HKEY_CURRENT_USER, kOptionsKey, kMinToTrayOption, c.minToTray);
        Put(HKEY_CURRENT_USER, kOptionsKey, kMonitorAtStartupOption, c.monitor);
        Put(HKEY_CURRENT_USER, kRunKey, kRunValue, c.runEntry ? Text("D:\\Vantel\\vantel.exe") : Value());
        const Refusals refusals(c.refused);
        COptionsDlg dialog;
        std::string told;
        std::vector<ui::Script::Step> steps{ui::Script::Do([&] {
            // The prompt, or the description of a box under wherever the mouse was left.
            EXPECT_NE(ui::Text(dialog.GetDlgItem(IDC_DESCRIPTION)), "Desca") << "the template's text";
            EXPECT_NE(SendMessageA(dialog.m_hWnd, WM_GETICON, ICON_SMALL, 0), 0);
            if (c.clickEveryBox) {
                for (int id : {IDC_RUN_AT_STARTUP, IDC_MIN_TO_TRAY, IDC_MONITOR_AT_STARTUP})
                    SendDlgItemMessageA(dialog.m_hWnd, id, BM_CLICK, 0, 0);
            }
            ui::PostCommand(dialog.m_hWnd, c.button);
        })};
        if (!c.unsaved.empty()) {   // the message box, then the dialog still open
            steps.push_back([&] {
                const HWND box = ui::FindDialog(AppTitle());
                return box != nullptr && (told = ui::BoxText(box), PostMessageA(box, WM_COMMAND, IDOK, 0));
            });
            steps.push_back([] { return ui::FindDialog(AppTitle()) == nullptr; });
        }
        EXPECT_EQ(ui::Script::Run(dialog, steps, !c.unsaved.empty()), c.unsaved.empty() ? c.button : IDCANCEL);
        EXPECT_EQ(told, c.unsaved.empty() ? "" : LoadResString(IDS_SETTINGS_NOT_SAVED) + "\n\n" + c.unsaved
                                 + (c.refused.size() < 3 ? "\n\n" + LoadResString(IDS_OTHERS_SAVED) : ""));
        EXPECT_EQ(Get(HKEY_CURRENT_USER, kOptionsKey, kMinToTrayOption), Dword(c.minToTrayAfter));
        EXPECT_EQ(Get(HKEY_CURRENT_USER, kOptionsKey, kMonitorAtStartupOption), Dword(c.monitorAfter));
        EXPECT_EQ(Get(HKEY_CURRENT_USER, kRunKey, kRunValue), c.runEntryAfter ? OwnEntry() : Value());
    }
}

// The system asks the window under the cursor for its shape with WM_SETCURSOR, which a control
// passes on to the dialog, whose cursor is then chosen as usual; WM_MOUSEMOVE reaches the dialog
// where no control takes the mouse.
TEST_F(Settings, OptionsDescribeTheBoxUnderTheMouse)
{
    COptionsDlg dialog;
    ui::Script::Run(dialog, {ui::Script::Do([&] {
        const std::tuple<HWND, UINT, UINT> hovers[] = {   // under the mouse, the message, the description
            {dialog.GetDlgItem(IDC_RUN_AT_STARTUP), WM_SETCURSOR, IDS_DESC_RUNATSTARTUP},
            {dialog.GetDlgItem(IDOK), WM_SETCURSOR, IDS_DESC_PROMPT},
            {dialog.GetDlgItem(IDC_MIN_TO_TRAY), WM_SETCURSOR, IDS_DESC_MINTOTRAY},
            {dialog.m_hWnd, WM_MOUSEMOVE, IDS_DESC_PROMPT},
            {dialog.GetDlgItem(IDC_MONITOR_AT_STARTUP), WM_SETCURSOR, IDS_DESC_MONITOR},
            {dialog.m_hWnd, WM_SETCURSOR, IDS_DESC_PROMPT},
        };
        for (const auto& [under, message, text] : hovers) {
            SetCursor(LoadCursor(nullptr, IDC_WAIT));
            SendMessageA(under, message, reinterpret_cast<WPARAM>(under), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
            EXPECT_EQ(ui::Text(dialog.GetDlgItem(IDC_DESCRIPTION)), LoadResString(text)) << ui::Text(under) << message;
        }
        EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_ARROW)) << "the cursor takes its usual shape";
    })});
}

} // namespace
