// The real main window through a long run of ticks: thousands of applications whose processes
// start and end, titles that come and go, windows that vanish, the desktop and no window at all,
// with Clear (answered Yes and No, ticks arriving while its confirmation is open), Stop/Start and
// hiding into the tray among them. Afterwards the store, the list and the tray requests match
// an independent model, and no icon, GDI object or window is left behind but the image list's
// own copies.
//
// VANTEL_SOAK_TICKS sets the number of ticks. The default, 100000, takes half a minute to two
// minutes on two shared cores; a million takes about eight, too close to CI's ten minutes a test.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "core/ActivitySampler.h"
#include "core/TrayTip.h"
#include "res/resource.h"
#include "tests/soak/HandleCensus.h"
#include "tests/soak/ReferenceModel.h"
#include "tests/soak/SceneWindows.h"
#include "tests/soak/ScriptedPlatform.h"

namespace {

std::uint64_t SoakTicks()
{
    const char* text = std::getenv("VANTEL_SOAK_TICKS");
    const unsigned long long ticks = text != nullptr ? std::strtoull(text, nullptr, 10) : 0;
    return ticks > 0 ? ticks : 100000;
}

// The applications a run draws from, with the ways their icon is found: the executable's own
// (this test program carries icons), or, when the path yields none, the window's.
std::vector<ScriptedProcess> ApplicationPool(std::size_t count)
{
    const std::string withIcon = ExecutablePath();
    const char* const withoutIcon[] = { "C:\\windows\\win.ini", "C:\\nowhere\\gone.exe", "" };
    std::vector<ScriptedProcess> pool;
    for (std::size_t i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "app%04u.exe", static_cast<unsigned>(i));
        std::string exeFile = name;
        if (i % 97 == 1)
            exeFile = "APP" + exeFile.substr(3, 4) + ".EXE";   // differs from another only in case
        else if (i % 89 == 2)
            exeFile = std::string(240, 'L') + exeFile;         // near the longest file name
        else if (i % 83 == 3)
            exeFile = "caf\xc3\xa9 \xc3\x80 la carte " + exeFile;    // UTF-8 above 127, blanks
        pool.push_back({ exeFile, i % 2 == 0 ? withIcon : withoutIcon[(i / 2) % 3] });
    }
    return pool;
}

// Draws the scene of every tick: processes start and end, the user switches between windows,
// titles drift, and now and then the desktop, no window, or a window whose process has ended.
class Workload {
public:
    // Adding a row costs time in proportion to the rows above it, so the popular applications
    // are few at any moment; over the run every application of the pool comes and goes.
    static constexpr std::size_t kApplications = 3000;
    static constexpr std::size_t kPopularApplications = 60;
    static constexpr int kRunningProcesses = 80;
    static constexpr std::uint64_t kClearsPerRun = 16;

    Workload(ScriptedPlatform& platform, const SceneWindows& windows, std::uint64_t ticks)
        : m_platform(platform), m_windows(windows), m_pool(ApplicationPool(kApplications)),
          m_ticks(ticks)
    {
        for (int i = 0; i < kRunningProcesses; ++i)
            StartProcess();
    }

    void Step(std::uint64_t tick)
    {
        // The window of popular applications moves through the whole pool over the run.
        m_drift = static_cast<std::size_t>(tick * m_pool.size() / m_ticks);
        if (Chance(30))
            EndProcess();
        if (Chance(30))
            StartProcess();

        ForegroundScene& scene = m_platform.foreground.scene;
        if (Chance(400)) {
            scene = { nullptr, 0, "" };
        } else if (Chance(400)) {
            scene = { ::GetDesktopWindow(), 0, "" };
        } else if (Chance(300) && !m_ended.empty()) {
            scene.processId = m_ended[Below(m_ended.size())];   // gone: maybe still cached
            scene.window = m_windows.withoutIcon;
        } else if (Chance(8) || scene.window == nullptr || scene.window == ::GetDesktopWindow()) {
            SwitchTo(m_runningIds[Below(m_runningIds.size())]);
        }
        if (Chance(6))
            scene.title = TitleOf(scene.processId);
    }

private:
    bool Chance(unsigned oneIn) { return m_random() % oneIn == 0; }
    std::size_t Below(std::size_t bound) { return static_cast<std::size_t>(m_random() % bound); }

    void StartProcess()
    {
        const std::size_t app = (m_drift + Below(kPopularApplications)) % m_pool.size();
        const std::uint32_t processId = m_nextProcessId;
        m_nextProcessId += 4;
        m_platform.processes.running[processId] = m_pool[app];
        m_runningIds.push_back(processId);
    }

    void EndProcess()
    {
        if (m_runningIds.size() < 20)
            return;
        const std::size_t slot = Below(m_runningIds.size());
        const std::uint32_t processId = m_runningIds[slot];
        m_runningIds[slot] = m_runningIds.back();
        m_runningIds.pop_back();
        m_platform.processes.running.erase(processId);
        if (m_ended.size() < 64)
            m_ended.push_back(processId);
        else
            m_ended[Below(m_ended.size())] = processId;
    }

    void SwitchTo(std::uint32_t processId)
    {
        ForegroundScene& scene = m_platform.foreground.scene;
        scene.processId = processId;
        scene.window = Chance(2) ? m_windows.withIcon : m_windows.withoutIcon;
        scene.title = TitleOf(processId);
    }

    std::string TitleOf(std::uint32_t processId)
    {
        // Documents come and go: most titles are among the last few of the process.
        const std::uint32_t document = processId * 7 + static_cast<std::uint32_t>(m_random() % 6)
                                     + static_cast<std::uint32_t>(m_drift);
        if (Chance(5000))
            return std::string(65536, static_cast<char>('a' + document % 3));
        if (Chance(1000))
            return "tab\there\r\nbell\a esc\x1b del\x7f " + std::to_string(document % 4);
        if (Chance(1000))
            return std::string();
        return "Document " + std::to_string(document) + " - Editor";
    }

    ScriptedPlatform& m_platform;
    const SceneWindows& m_windows;
    std::vector<ScriptedProcess> m_pool;
    std::uint64_t m_ticks;
    std::mt19937 m_random{ 20261206 };
    std::size_t m_drift = 0;
    std::uint32_t m_nextProcessId = 1000;
    std::vector<std::uint32_t> m_runningIds;
    std::vector<std::uint32_t> m_ended;
};

} // namespace

TEST(Soak, MainWindowThroughManyTicksWithClearStopStartAndTray)
{
    // Each new row repaints the whole list at once, which costs several times more while the
    // window is shown.
    constexpr std::uint64_t kShownEvery = 20000;
    constexpr std::uint64_t kShownFor = 1000;
    ScriptedPlatform platform;
    SceneWindows windows;
    IconWatch iconWatch;
    const std::string iconPath = ExecutablePath();
    ReferenceModel model(platform.processes, [&](const ForegroundScene& scene) {
        const auto process = platform.processes.running.find(scene.processId);
        const bool fileIcon = scene.window != nullptr && scene.window != ::GetDesktopWindow()
                           && process != platform.processes.running.end()
                           && process->second.path == iconPath;
        return fileIcon || scene.window == windows.withIcon;
    });
    platform.foreground.onTick = [&](const ForegroundScene& scene) { model.Tick(scene); };

    const std::uint64_t ticks = SoakTicks();
    Workload workload(platform, windows, ticks);
    OpenMainWindowOnce();
    const HandleCensus atStart = HandleCensus::Take();
    HandleCensus warmedUp;
    std::uint64_t ticksSent = 0;
    std::uint64_t startStops = 0;
    std::uint64_t hides = 0;
    std::uint64_t returnTimers = 0;
    const DWORD started = ::GetTickCount();
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    double creatingMs = 0;
    std::uint64_t creatingTicks = 0;

    {
        MainDialog dialog(platform.Services());
        RunMainWindow(dialog, [&](HWND window) {
            model.WindowOpened();
            for (std::uint64_t tick = 0; tick < ticks; ++tick) {
                workload.Step(tick);
                const std::size_t appsBefore = model.apps().size();
                LARGE_INTEGER before, after;
                ::QueryPerformanceCounter(&before);
                SendTimer(window, ActivitySampler::kSamplingTimerId);
                ::QueryPerformanceCounter(&after);
                if (model.apps().size() != appsBefore) {
                    ++creatingTicks;
                    creatingMs += (after.QuadPart - before.QuadPart) * 1000.0 / frequency.QuadPart;
                }
                ++ticksSent;

                const std::uint64_t period = ticks / Workload::kClearsPerRun + 1;
                const std::uint64_t phase = tick % period;
                if (phase == period / 2) {
                    // Answered No, with a tick while the question is open: nothing is lost.
                    ExpectMatches(dialog, model);
                    ASSERT_TRUE(ClearAnswering(window, IDNO, [&] {
                        SendTimer(window, ActivitySampler::kSamplingTimerId);
                        ++ticksSent;
                    }));
                    ExpectMatches(dialog, model);
                } else if (phase == period - 1) {
                    ExpectMatches(dialog, model);
                    ASSERT_TRUE(ClearAnswering(window, IDYES, [&] {
                        for (int i = 0; i < 3; ++i) {
                            workload.Step(tick);
                            SendTimer(window, ActivitySampler::kSamplingTimerId);
                            ++ticksSent;
                        }
                    }));
                    model.Clear();
                    ExpectMatches(dialog, model);
                    if (warmedUp.gdiObjects == 0)
                        warmedUp = HandleCensus::Take();
                }
                if (tick % 4999 == 4998) {
                    SendCommand(window, IDC_STARTSTOP);
                    SendCommand(window, IDC_STARTSTOP);
                    startStops += model.trayEntry ? 2 : 0;
                }
                // Mostly hidden in the tray, as the program lives; shown for a stretch now and then.
                if (tick % kShownEvery == 0) {
                    ::ShowWindow(window, SW_SHOW);
                    SendTimer(window, ActivitySampler::kReturnTimerId);   // no tick: the entry goes
                    ++returnTimers;
                    model.trayEntry = false;
                } else if (tick % kShownEvery == kShownFor) {
                    SendCommand(window, IDCANCEL);
                    ++hides;
                    model.trayEntry = true;
                }
                if (::testing::Test::HasFatalFailure())
                    return;
            }
            ExpectMatches(dialog, model);
            // While the window runs, only the image list grows, inside its own bitmaps.
            const HandleCensus running = HandleCensus::Take();
            EXPECT_EQ(running.icons, warmedUp.icons);
            EXPECT_LE(running.gdiObjects, warmedUp.gdiObjects + 8) << "warmed up " << warmedUp.gdiObjects;
            EXPECT_EQ(ImageList_GetImageCount(dialog.ImageList()), 1 + static_cast<int>(model.iconsAppended()));
            // Every tick sent reached the sampler (the window's own timer may have added a few
            // while a confirmation was open); the store holds each, as compared above.
            EXPECT_GE(model.ticksEver(), ticksSent);
            EXPECT_EQ(platform.processes.snapshots, model.snapshots());
            EXPECT_EQ(platform.tray.modifies, model.trayModifies() + startStops);
            EXPECT_EQ(platform.tray.adds, hides);
            EXPECT_EQ(platform.tray.deletes, returnTimers);
            EXPECT_LE(platform.tray.longestTip, 127u);
            EXPECT_EQ(platform.tray.lastTip.substr(0, 12), "Total time: ");
            if (!dialog.IsStopped())
                SendCommand(window, IDC_STARTSTOP);
        });
    }

    const DWORD elapsed = ::GetTickCount() - started;
    std::printf("soak: %llu ticks (%llu icons appended) in %lu ms, %.3f ms per tick\n",
                static_cast<unsigned long long>(model.ticksEver()),
                static_cast<unsigned long long>(model.iconsAppended()), elapsed,
                static_cast<double>(elapsed) / static_cast<double>(model.ticksEver()));
    std::printf("soak: %llu ticks added an application, %.1f ms each\n",
                static_cast<unsigned long long>(creatingTicks), creatingMs / creatingTicks);

    // Every icon a tick extracted was destroyed once the image list had its copy; with the window
    // gone, the process holds what it held before it.
    EXPECT_GT(iconWatch.Extracted(), 0u);
    EXPECT_EQ(iconWatch.Surviving(), 0u);
    const HandleCensus atEnd = HandleCensus::Take();
    EXPECT_EQ(atEnd.icons, atStart.icons);
    EXPECT_EQ(atEnd.windows, atStart.windows);
    EXPECT_EQ(atEnd.gdiObjects, atStart.gdiObjects);
}
