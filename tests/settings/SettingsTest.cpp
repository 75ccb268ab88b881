// The settings in the test prefix's real registry, read and written here directly, and the
// Options dialog. Windows refuses an unelevated program writes to HKEY_LOCAL_MACHINE; Wine never
// refuses anything, so refusals are played by patching this program's registry imports.
#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

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

using Value = std::pair<DWORD, std::string>;   // a registry value as stored: its type and its bytes
using MaybeValue = std::optional<Value>;
const HKEY kUser = HKEY_CURRENT_USER;
const HKEY kMachine = HKEY_LOCAL_MACHINE;

Value Dword(DWORD value) { return {REG_DWORD, std::string(reinterpret_cast<const char*>(&value), 4)}; }
Value Text(const std::string& text, DWORD type = REG_SZ) { return {type, text + '\0'}; }
Value OwnEntry() { return Text('"' + ModulePath(nullptr) + '"'); }   // the entry that starts this program

// Stores value (nothing for nullopt), creating the key when needed.
void Put(HKEY root, const char* path, const char* name, const MaybeValue& value)
{
    if (value)
        RegSetKeyValueA(root, path, name, value->first, value->second.data(),
                        static_cast<DWORD>(value->second.size()));
}

MaybeValue Get(HKEY root, const char* path, const char* name)
{
    char data[1024];
    DWORD type = REG_NONE, size = sizeof data;
    if (RegGetValueA(root, path, name, RRF_RT_ANY | RRF_NOEXPAND, &type, data, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return Value{type, std::string(data, size)};
}

// While it lives, the keys of HKEY_LOCAL_MACHINE cannot be opened for writing (unless machine is
// false), as for every unelevated program on Windows, and the values named in refused can be
// neither set nor deleted. The test's own registry calls (Put, Get, Clear) are not affected.
class Refusals {
public:
    explicit Refusals(std::set<std::string> refused = {}, bool machine = true)
    {
        s_refused = std::move(refused);
        s_machine = machine;
    }

private:
    template <typename Function>
    static Function Real(Function, const char* name)   // the system's own function
    {
        return reinterpret_cast<Function>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("advapi32.dll"), name)));
    }
    static LSTATUS WINAPI Open(HKEY root, LPCSTR path, DWORD options, REGSAM access, PHKEY key)
    {
        if (s_machine && root == HKEY_LOCAL_MACHINE && (access & (KEY_SET_VALUE | KEY_CREATE_SUB_KEY)) != 0)
            return ERROR_ACCESS_DENIED;
        return Real(&RegOpenKeyExA, "RegOpenKeyExA")(root, path, options, access, key);
    }
    static LSTATUS WINAPI Set(HKEY key, LPCSTR name, DWORD, DWORD type, const BYTE* data, DWORD size)
    {
        if (s_refused.count(name) != 0)
            return ERROR_ACCESS_DENIED;
        return Real(&RegSetValueExA, "RegSetValueExA")(key, name, 0, type, data, size);
    }
    static LSTATUS WINAPI Delete(HKEY key, LPCSTR name)
    {
        if (s_refused.count(name) != 0)
            return ERROR_ACCESS_DENIED;
        return Real(&RegDeleteValueA, "RegDeleteValueA")(key, name);
    }

    static inline std::set<std::string> s_refused;
    static inline bool s_machine;
    ImportPatch m_open{"advapi32.dll", "RegOpenKeyExA", &Open};
    ImportPatch m_set{"advapi32.dll", "RegSetValueExA", &Set};
    ImportPatch m_delete{"advapi32.dll", "RegDeleteValueA", &Delete};
};

// Each test starts and ends with no settings in either root.
class Settings : public ::testing::Test {
protected:
    void SetUp() override { Clear(); }
    void TearDown() override { Clear(); }
    static void Clear()
    {
        for (HKEY root : {kUser, kMachine}) {
            RegDeleteKeyA(root, kOptionsKey);
            RegDeleteKeyValueA(root, kRunKey, kRunValue);
        }
    }
};

// The user's value wins (data of up to 4 bytes, of any type); else an earlier install's value in
// the machine's key is carried over to the user's; else the default 1 is stored.
TEST_F(Settings, OptionsComeFromTheUserThenAnEarlierInstallThenTheDefault)
{
    const struct {
        MaybeValue user, machine;
        std::optional<DWORD> stored;   // ReadStoredOption, which writes no default
        DWORD read;
        Value userAfter;
    } cases[] = {
        {std::nullopt, std::nullopt, std::nullopt, 1, Dword(1)},
        {Dword(0), Dword(1), 0, 0, Dword(0)},
        {Text("0"), std::nullopt, 0x30, 0x30, Text("0")},
        {Value{REG_BINARY, "12345"}, std::nullopt, std::nullopt, 1, Dword(1)},
        {std::nullopt, Dword(0), 0, 0, Dword(0)},
        {std::nullopt, Text("yes please"), std::nullopt, 1, Dword(1)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        Clear();
        Put(kUser, kOptionsKey, kMinToTrayOption, c.user);
        Put(kMachine, kOptionsKey, kMinToTrayOption, c.machine);
        const Refusals standardUser;
        EXPECT_EQ(ReadStoredOption(kMinToTrayOption), c.stored);
        if (!c.stored) {
            EXPECT_EQ(Get(kUser, kOptionsKey, kMinToTrayOption), c.user);
        }
        EXPECT_EQ(ReadOption(kMinToTrayOption), c.read);
        EXPECT_EQ(Get(kUser, kOptionsKey, kMinToTrayOption), c.userAfter);
    }
}

// A refused write is reported and changes nothing; reads answer all the same.
TEST_F(Settings, RefusedWritesAreReportedAndLoseNothing)
{
    Put(kMachine, kOptionsKey, kMonitorAtStartupOption, Dword(0));
    Put(kUser, kRunKey, kRunValue, Text("C:\\vantel.exe"));
    const Refusals refusals({kMinToTrayOption, kMonitorAtStartupOption, kRunValue});
    EXPECT_EQ(ReadOption(kMinToTrayOption), 1u);
    EXPECT_EQ(ReadOption(kMonitorAtStartupOption), 0u);   // not carried over, still read
    EXPECT_FALSE(SetRunAtStartup(false));
    EXPECT_EQ(Get(kUser, kRunKey, kRunValue), Text("C:\\vantel.exe"));
}

// Only a non-empty string, whatever path it names, is an entry; the machine's counts as well.
TEST_F(Settings, AStartupEntryIsANonEmptyStringInEitherRunKey)
{
    const struct {
        MaybeValue user, machine;
        bool isEntry;
    } cases[] = {
        {std::nullopt, std::nullopt, false},
        {Text(""), std::nullopt, false},
        {Dword(1), std::nullopt, false},
        {Value{REG_BINARY, std::string("C:\\\0", 4)}, std::nullopt, false},
        {Text("D:\\Copy of Vantel\\vantel.exe"), std::nullopt, true},
        {Text("%ProgramFiles%\\Vantel\\vantel.exe", REG_EXPAND_SZ), std::nullopt, true},
        {Text(""), Text("C:\\vantel.exe"), true},
    };
    for (const auto& c : cases) {
        Clear();
        Put(kUser, kRunKey, kRunValue, c.user);
        Put(kMachine, kRunKey, kRunValue, c.machine);
        EXPECT_EQ(IsRunAtStartup(), c.isEntry) << &c - cases;
    }
}

// Enabled, the user's entry holds this program's whole path, quoted: the test program lies deep
// enough for a path longer than MAX_PATH, with spaces (CMakeLists.txt). An earlier install's
// machine-wide entry goes whenever the setting is saved, so that Vantel starts once at sign-in.
// Where it may not go, it is the one that starts Vantel: enabling still succeeds (without an entry
// of the user's), disabling fails. Nothing to remove is no error.
TEST_F(Settings, TheStartupEntryIsThisProgramsQuotedPathAndStartsItOnce)
{
    ASSERT_GT(ModulePath(nullptr).size(), static_cast<size_t>(MAX_PATH));
    ASSERT_NE(ModulePath(nullptr).find(' '), std::string::npos);
    const struct {
        bool userEntry, machineEntry, machineRefuses, enable, succeeds, userEntryAfter, machineEntryAfter;
    } cases[] = {
        {true, false, false, true, true, true, false},
        {false, false, false, false, true, false, false},
        {false, true, false, true, true, true, false},
        {true, true, false, false, true, false, false},
        {false, true, true, true, true, false, true},
        {false, true, true, false, false, false, true},
        {false, false, true, true, true, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        Clear();
        Put(kUser, kRunKey, kRunValue, c.userEntry ? MaybeValue(Text("C:\\Old\\vantel.exe")) : std::nullopt);
        Put(kMachine, kRunKey, kRunValue, c.machineEntry ? MaybeValue(Text("C:\\vantel.exe")) : std::nullopt);
        const Refusals refusals({}, c.machineRefuses);
        EXPECT_EQ(SetRunAtStartup(c.enable), c.succeeds);
        EXPECT_EQ(Get(kUser, kRunKey, kRunValue), c.userEntryAfter ? MaybeValue(OwnEntry()) : std::nullopt);
        EXPECT_EQ(Get(kMachine, kRunKey, kRunValue).has_value(), c.machineEntryAfter);
    }
}

// The dialog shows the stored settings (what OK then saves: all three, changed or not, so that an
// entry naming a program elsewhere names this one and an option stored as 7 is stored as 1).
// Cancel saves nothing (opening stored the defaults). Where a write is refused, a message box
// over the dialog names exactly the settings not saved, the others are saved, and the dialog
// stays open. The machine refuses writes throughout.
TEST_F(Settings, OptionsOkSavesAllThreeOrNamesWhatWasNotSavedAndCancelNothing)
{
    const std::string allThree =
        "Run at Windows startup\nMinimize to Tray at startup\nStart monitoring at startup";
    const struct {
        MaybeValue minToTray, monitor;
        bool runEntry, clickEveryBox;
        int button;
        std::set<std::string> refused;
        std::string unsaved;
        DWORD minToTrayAfter, monitorAfter;
        bool runEntryAfter;
    } cases[] = {
        {Dword(1), Dword(0), false, false, IDOK, {}, "", 1, 0, false},
        {Dword(7), Dword(1), true, false, IDOK, {}, "", 1, 1, true},
        {Dword(1), Dword(1), true, true, IDOK, {}, "", 0, 0, false},
        {std::nullopt, std::nullopt, false, true, IDCANCEL, {}, "", 1, 1, false},
        {Dword(1), Dword(1), false, true, IDOK, {kRunValue}, "Run at Windows startup", 0, 0, false},
        {Dword(1), Dword(1), false, true, IDOK, {kMinToTrayOption}, "Minimize to Tray at startup", 1, 0, true},
        {Dword(1), Dword(1), false, true, IDOK, {kRunValue, kMinToTrayOption, kMonitorAtStartupOption},
         allThree, 1, 1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        Clear();
        Put(kUser, kOptionsKey, kMinToTrayOption, c.minToTray);
        Put(kUser, kOptionsKey, kMonitorAtStartupOption, c.monitor);
        Put(kUser, kRunKey, kRunValue, c.runEntry ? MaybeValue(Text("D:\\Vantel\\vantel.exe")) : std::nullopt);
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
                told = box != nullptr ? ui::BoxText(box) : "";
                return box != nullptr && PostMessageA(box, WM_COMMAND, IDOK, 0);
            });
            steps.push_back([] { return ui::FindDialog(AppTitle()) == nullptr; });
        }
        EXPECT_EQ(ui::Script::Run(dialog, steps, !c.unsaved.empty()), c.unsaved.empty() ? c.button : IDCANCEL);
        EXPECT_EQ(told, c.unsaved.empty() ? "" : LoadResString(IDS_SETTINGS_NOT_SAVED) + "\n\n" + c.unsaved
                                 + (c.refused.size() < 3 ? "\n\n" + LoadResString(IDS_OTHERS_SAVED) : ""));
        EXPECT_EQ(Get(kUser, kOptionsKey, kMinToTrayOption), Dword(c.minToTrayAfter));
        EXPECT_EQ(Get(kUser, kOptionsKey, kMonitorAtStartupOption), Dword(c.monitorAfter));
        EXPECT_EQ(Get(kUser, kRunKey, kRunValue), c.runEntryAfter ? MaybeValue(OwnEntry()) : std::nullopt);
    }
}

// The system asks the window under the cursor for its shape with WM_SETCURSOR, which a control
// passes on to the dialog; WM_MOUSEMOVE reaches the dialog where no control takes the mouse.
TEST_F(Settings, OptionsDescribeTheBoxUnderTheMouseOnly)
{
    COptionsDlg dialog;
    ui::Script::Run(dialog, {ui::Script::Do([&] {
        auto hover = [](HWND under) {
            SendMessageA(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under),
                         MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        };
        const HWND description = dialog.GetDlgItem(IDC_DESCRIPTION);
        auto shows = [&](UINT text) { return ui::Text(description) == LoadResString(text); };
        const std::pair<int, UINT> hovers[] = {
            {IDC_RUN_AT_STARTUP, IDS_DESC_RUNATSTARTUP}, {IDOK, IDS_DESC_PROMPT},
            {IDC_MIN_TO_TRAY, IDS_DESC_MINTOTRAY}, {IDC_MONITOR_AT_STARTUP, IDS_DESC_MONITOR}};
        for (const auto& [id, text] : hovers) {
            hover(dialog.GetDlgItem(id));
            EXPECT_TRUE(shows(text)) << id;
        }
        SetFocus(dialog.GetDlgItem(IDC_RUN_AT_STARTUP));
        EXPECT_TRUE(shows(IDS_DESC_MONITOR)) << "the keyboard leaves the description as it is";
        SendMessageA(dialog.m_hWnd, WM_MOUSEMOVE, 0, 0);
        EXPECT_TRUE(shows(IDS_DESC_PROMPT));
        hover(dialog.GetDlgItem(IDC_MIN_TO_TRAY));
        SetCursor(LoadCursor(nullptr, IDC_WAIT));
        hover(dialog.m_hWnd);
        EXPECT_TRUE(shows(IDS_DESC_PROMPT));
        EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_ARROW)) << "the cursor takes its usual shape";
    })});
}

} // namespace
