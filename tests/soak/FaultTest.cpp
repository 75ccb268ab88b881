// The real main window when the platform misbehaves: a hung program in front, a notification
// area that refuses everything, a process snapshot that fails, a registry that refuses writes,
// and titles of 64 KB or full of control characters. Nothing crashes, nothing is lost, every
// tick is counted.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Win32Foreground.h"
#include "core/ActivitySampler.h"
#include "core/ProcessNameCache.h"
#include "res/resource.h"
#include "settings/SettingsStore.h"
#include "tests/soak/ReferenceModel.h"
#include "tests/soak/SceneWindows.h"
#include "tests/soak/ScriptedPlatform.h"
#include "tests/support/ImportPatch.h"

namespace {

// A platform whose ticks are mirrored by a model; icons come from the window that has one.
struct ModelledPlatform {
    ScriptedPlatform platform;
    SceneWindows windows;
    ReferenceModel model{ platform.processes, [this](const ForegroundScene& scene) {
                             return scene.window == windows.withIcon; } };

    ModelledPlatform()
    {
        platform.foreground.onTick = [this](const ForegroundScene& scene) { model.Tick(scene); };
    }
};

// A registry where the program's keys do not exist and cannot be created: every key this
// program opens is missing, every key it creates is refused.
int g_refusedCreates = 0;

LSTATUS WINAPI OpenMissingKey(HKEY, LPCSTR, DWORD, REGSAM, PHKEY)
{
    return ERROR_FILE_NOT_FOUND;
}

LSTATUS WINAPI RefuseCreateKey(HKEY, LPCSTR, DWORD, LPSTR, DWORD, REGSAM, LPSECURITY_ATTRIBUTES,
                               PHKEY, LPDWORD)
{
    ++g_refusedCreates;
    return ERROR_ACCESS_DENIED;
}

} // namespace

TEST(Faults, HungProgramInFrontStillLetsEveryTickComplete)
{
    ModelledPlatform run;
    ScriptedPlatform& platform = run.platform;
    // No executable path: the first tick of each application asks the hung window for its icon.
    platform.processes.running[10] = { "frozen.exe", "" };
    platform.processes.running[11] = { "frozen too.exe", "" };
    std::vector<DWORD> tickTimes;
    MainDialog dialog(platform.Services());
    RunMainWindow(dialog, [&](HWND window) {
        run.model.WindowOpened();
        platform.foreground.scene = { run.windows.hung, 10, "Frozen - Not Responding" };
        for (int tick = 0; tick < 6; ++tick) {
            if (tick == 3)
                platform.foreground.scene.processId = 11;
            const DWORD start = ::GetTickCount();
            SendTimer(window, ActivitySampler::kSamplingTimerId);
            tickTimes.push_back(::GetTickCount() - start);
        }
        ExpectMatches(dialog, run.model);
    });
    EXPECT_EQ(dialog.Store().totalTicks(), 6u);
    ASSERT_NE(dialog.Store().Find("frozen.exe"), nullptr);
    EXPECT_EQ(dialog.Store().Find("frozen.exe")->ticks, 3u);
    EXPECT_EQ(dialog.Store().Find("frozen.exe")->iconIndex, 0);   // the window never answered
    // The window's icon is waited for a fraction of a second, not for the program to wake up
    // (it never does while this test runs).
    for (DWORD elapsed : tickTimes)
        EXPECT_LT(elapsed, 2000u);
}

TEST(Faults, NotificationAreaRefusingEveryRequest)
{
    ModelledPlatform run;
    ScriptedPlatform& platform = run.platform;
    platform.tray.refuses = true;
    platform.processes.running[20] = { "editor.exe", "" };
    platform.processes.running[21] = { "viewer.exe", "" };
    MainDialog dialog(platform.Services());
    RunMainWindow(dialog, [&](HWND window) {
        run.model.WindowOpened();
        SendCommand(window, IDCANCEL);   // hide: the add is refused
        for (int tick = 0; tick < 30; ++tick) {
            platform.foreground.scene = { run.windows.withIcon, tick % 4 ? 20u : 21u,
                                          "page " + std::to_string(tick % 5) };
            SendTimer(window, ActivitySampler::kSamplingTimerId);
            if (tick == 10) {
                SendCommand(window, IDC_STARTSTOP);
                SendCommand(window, IDC_STARTSTOP);
            }
        }
        SendTimer(window, ActivitySampler::kReturnTimerId);   // the delete is refused too
        ExpectMatches(dialog, run.model);
        EXPECT_FALSE(dialog.IsStopped());
    });
    // No entry was ever taken, so none was changed; the add is tried again while hidden.
    EXPECT_GE(platform.tray.adds, 1u);
    EXPECT_EQ(platform.tray.modifies, 0u);
    EXPECT_EQ(platform.tray.deletes, 2u);   // timer 2, then the window's destruction
}

TEST(Faults, ProcessSnapshotThatFails)
{
    ModelledPlatform run;
    ScriptedPlatform& platform = run.platform;
    platform.processes.snapshotFails = true;
    platform.processes.running[30] = { "mail.exe", "" };
    MainDialog dialog(platform.Services());
    RunMainWindow(dialog, [&](HWND window) {
        run.model.WindowOpened();
        platform.foreground.scene = { run.windows.withoutIcon, 30, "Inbox" };
        for (int tick = 0; tick < 5; ++tick)
            SendTimer(window, ActivitySampler::kSamplingTimerId);
        platform.processes.snapshotFails = false;
        for (int tick = 0; tick < 5; ++tick)
            SendTimer(window, ActivitySampler::kSamplingTimerId);
        ExpectMatches(dialog, run.model);
    });
    const AppRecord* unknown = dialog.Store().Find(kUnknownApplicationName);
    ASSERT_NE(unknown, nullptr);
    EXPECT_EQ(unknown->ticks, 5u);
    ASSERT_NE(dialog.Store().Find("mail.exe"), nullptr);
    EXPECT_EQ(dialog.Store().Find("mail.exe")->ticks, 5u);
    // One at start-up, one per failing tick, one that found the process: then it is cached.
    EXPECT_EQ(platform.processes.snapshots, 7u);
    EXPECT_EQ(platform.processes.snapshots, run.model.snapshots());
}

TEST(Faults, RegistryRefusingWrites)
{
    ModelledPlatform run;
    ScriptedPlatform& platform = run.platform;
    const ImportPatch missingKeys("advapi32.dll", "RegOpenKeyExA", &OpenMissingKey);
    const ImportPatch refusedKeys("advapi32.dll", "RegCreateKeyExA", &RefuseCreateKey);
    g_refusedCreates = 0;
    platform.processes.running[40] = { "notes.exe", "" };
    MainDialog dialog(platform.Services());
    RunMainWindow(dialog, [&](HWND window) {
        run.model.WindowOpened();
        // Both options fall back to on: monitoring runs, and the window went to the tray.
        EXPECT_FALSE(dialog.IsStopped());
        Pump(100);
        EXPECT_FALSE(::IsWindowVisible(window));
        EXPECT_EQ(platform.tray.adds, 1u);
        platform.foreground.scene = { run.windows.withIcon, 40, "todo" };
        for (int tick = 0; tick < 4; ++tick)
            SendTimer(window, ActivitySampler::kSamplingTimerId);
        ExpectMatches(dialog, run.model);
    });
    EXPECT_GT(g_refusedCreates, 0);
    EXPECT_GE(run.model.ticksEver(), 4u);
}

TEST(Faults, TitlesOf64KilobytesAndWithControlCharacters)
{
    ModelledPlatform run;
    ScriptedPlatform& platform = run.platform;
    platform.processes.running[50] = { "browser.exe", "" };
    const std::vector<std::string> titles = {
        std::string(65536, 'x'),
        std::string(65535, 'x') + "y",
        std::string(65537, 'x'),
        "tab\there\r\nline\x01\x02\x1b[31m\x7f",
        "\r\n",
        std::string("\xff\xfe\x80 high bytes"),
    };
    MainDialog dialog(platform.Services());
    RunMainWindow(dialog, [&](HWND window) {
        run.model.WindowOpened();
        for (int round = 0; round < 3; ++round) {
            for (const std::string& title : titles) {
                platform.foreground.scene = { run.windows.withIcon, 50, title };
                SendTimer(window, ActivitySampler::kSamplingTimerId);
            }
        }
        ExpectMatches(dialog, run.model);
    });
    const AppRecord* browser = dialog.Store().Find("browser.exe");
    ASSERT_NE(browser, nullptr);
    ASSERT_EQ(browser->documents.size(), titles.size());
    for (const std::string& title : titles) {
        const auto document = browser->documents.find(title);
        ASSERT_NE(document, browser->documents.end()) << title.size();
        EXPECT_EQ(document->second, 3u);
    }
    EXPECT_LE(platform.tray.longestTip, 127u);
}

TEST(Faults, RealWindowTitlesOf64KilobytesAndControlCharactersAreReadWhole)
{
    SceneWindows windows;
    Win32Foreground foreground;
    for (const std::string& title : { std::string(65536, 'w') + "end", std::string("a\tb\r\nc\x01\x7f") }) {
        ASSERT_TRUE(::SetWindowTextA(windows.withoutIcon, title.c_str()));
        EXPECT_EQ(foreground.TitleOf(reinterpret_cast<WindowRef>(windows.withoutIcon)), title) << title.size();
    }
}
