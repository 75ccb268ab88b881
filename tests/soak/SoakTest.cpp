// The real main window through a long run of ticks, checked against an independent model: a few
// hundred applications whose processes start and end, titles that drift, the desktop, no window,
// a process gone since its window came up, Clear answered Yes and No with ticks arriving while it
// asks, Stop and Start, the window hidden and shown. Then the faults the platform can throw at
// it, and no icon, GDI object or window left behind. VANTEL_SOAK_TICKS sets the length of the run.
#include "tests/support/MainWindowRun.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <random>

#include "core/ActivitySampler.h"
#include "core/Duration.h"
#include "core/ProcessNameCache.h"
#include "framework/Application.h"
#include "res/resource.h"
#include "tests/support/ImportPatch.h"

namespace {

using ui::Script;

// Top-level only: a child goes with its parent.
BOOL CALLBACK CountWindow(HWND, LPARAM count)
{
    ++*reinterpret_cast<size_t*>(count);
    return TRUE;
}

bool IsLiveIcon(HICON icon)
{
    ICONINFO info{};
    if (!GetIconInfo(icon, &info))
        return false;
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return true;
}

// What the process holds. GetGuiResources is a stub under Wine, which matches a GDI or USER
// handle whose upper 16 bits are 0 with the live object at that index: each index is asked once.
struct Census {
    size_t gdiObjects = 0, deviceContexts = 0, icons = 0, windows = 0;

    static Census Take()
    {
        Census census;
        for (UINT_PTR index = 1; index < 0x10000; ++index) {
            const DWORD type = GetObjectType(reinterpret_cast<HGDIOBJ>(index));
            census.deviceContexts += type == OBJ_DC;
            // Regions: the program makes none, and Wine keeps some of its own for windows.
            census.gdiObjects += type != 0 && type != OBJ_DC && type != OBJ_REGION;
        }
        for (UINT_PTR index = 2; index < 0x10000; index += 2)   // USER handles go in steps of 2
            census.icons += IsLiveIcon(reinterpret_cast<HICON>(index));
        EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&census.windows));
        return census;
    }
};

// While it lives, every icon ExtractIconA hands to this executable is kept in view.
struct IconWatch {
    using Extract = HICON(WINAPI*)(HINSTANCE, LPCSTR, UINT);
    static inline std::vector<HICON> extracted;
    static inline Extract extract = nullptr;
    static HICON WINAPI Extracting(HINSTANCE instance, LPCSTR path, UINT index)
    {
        const HICON icon = extract(instance, path, index);
        if (icon != nullptr && icon != reinterpret_cast<HICON>(1))
            extracted.push_back(icon);
        return icon;
    }

    const ImportPatch patch{"shell32.dll", "ExtractIconA", &Extracting};
    IconWatch()
    {
        extracted.clear();
        extract = patch.Original<Extract>();
    }
    size_t Surviving() const { return static_cast<size_t>(std::count_if(extracted.begin(), extracted.end(), IsLiveIcon)); }
};

// A window in another thread that never answers: asking it for its icon must not hold a tick up.
DWORD WINAPI HungThread(void* window)
{
    *static_cast<HWND*>(window) = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    Sleep(INFINITE);   // reads no message, ever
    return 0;
}

// The program's list as it must be, worked out from the ticks without the program's code: names
// through a cache that a miss refills, rows in order of first tick since Clear.
struct Model {
    explicit Model(const FakeProcessSource& processes) : processes(processes) {}

    const FakeProcessSource& processes;
    std::map<std::uint32_t, std::string> cache;
    std::vector<std::string> order;
    std::map<std::string, std::uint32_t> ticks;
    std::uint32_t total = 0;

    void Clear()
    {
        order.clear();
        ticks.clear();
        total = 0;
    }
    void Refill()
    {
        cache.clear();
        for (const auto& [id, name] : processes.processes)
            cache[id] = name;
    }
    void Tick(const FakeForeground& foreground)
    {
        std::string name = kNoActiveWindowsName;
        if (foreground.foreground == FakeForeground::kDesktop) {
            name = kDesktopName;
        } else if (foreground.foreground != 0) {
            const std::uint32_t id = foreground.windows.at(foreground.foreground).first;
            if (cache.count(id) == 0)
                Refill();
            name = cache.count(id) ? cache.at(id) : kUnknownApplicationName;
        }
        if (ticks[name]++ == 0)
            order.push_back(name);
        ++total;
    }
    ui::Rows Rows() const
    {
        ui::Rows rows;
        for (const std::string& name : order)
            rows.push_back({name, FormatDuration(ticks.at(name))});
        rows.push_back({"", ""});
        rows.push_back({"Total:", total ? FormatDuration(total) : ""});
        return rows;
    }
};

// Clear from the main window, answered with a button by a timer of the box's own loop, which
// first runs whileOpen there.
std::function<void()> g_whileOpen;
int g_answer = 0;
void CALLBACK AnswerClear(HWND, UINT, UINT_PTR, DWORD)
{
    if (const HWND box = ui::FindDialog(AppTitle())) {
        if (g_whileOpen)
            std::exchange(g_whileOpen, nullptr)();
        PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(g_answer), 0);
    }
}
void ClearAnswering(HWND main, int button, std::function<void()> whileOpen)
{
    g_whileOpen = std::move(whileOpen);
    g_answer = button;
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, AnswerClear);
    ui::SendCommand(main, IDC_CLEAR);
    KillTimer(nullptr, timer);
}

// The first main window of a process loads what the system keeps for the rest of its life
// (classes, fonts, shared icons); the census compares runs after one such window.
void WarmUpOnce()
{
    static bool done = false;
    if (std::exchange(done, true))
        return;
    MainWindowRun run;
    for (std::uint32_t id = 4; id < 200; id += 4) {   // rows enough for a scroll bar
        run.processes.processes.push_back({id, "warm" + std::to_string(id) + ".exe"});
        run.processes.paths[id] = ModulePath(nullptr);
    }
    MainDialog dialog(run.Services());
    run.Run(dialog, {Script::Do([&] {
        for (std::uint32_t id = 4; id < 200; id += 4)
            run.Tick(id, "x");
        ClearAnswering(run.window, IDNO, nullptr);
        ui::SendCommand(run.window, IDCANCEL);
        run.Tick(4, "x");
        ui::SendCommand(run.window, ID_SHOW);
    })});
}

TEST(Soak, MainWindowThroughManyTicksMatchesTheModelAndLeavesNothingBehind)
{
    WarmUpOnce();
    const Census atStart = Census::Take();
    MainWindowRun run;
    const std::string self = ModulePath(nullptr);
    std::mt19937 random(11);
    const auto chance = [&](unsigned oneIn) { return random() % oneIn == 0; };
    Model model(run.processes);
    IconWatch watch;
    std::uint32_t nextProcess = 4;
    const auto startProcess = [&] {
        // Of 300 programs, some differing only in case, some long, some beyond ASCII.
        const unsigned program = random() % 300;
        std::string name = "app" + std::to_string(program) + (program % 7 ? ".exe" : ".EXE");
        if (program % 31 == 0)
            name = std::string(200, 'L') + name;
        if (program % 29 == 0)
            name = "caf\xc3\xa9 " + name;
        run.processes.processes.push_back({nextProcess, name});
        if (program % 2 == 0)
            run.processes.paths[nextProcess] = self;
        nextProcess += 4;
    };
    for (int i = 0; i < 40; ++i)
        startProcess();
    bool hidden = false;
    {
        MainDialog dialog(run.Services());
        run.Run(dialog, {Script::Do([&] {
            const char* length = std::getenv("VANTEL_SOAK_TICKS");
            const std::uint64_t ticks = length != nullptr && std::atoll(length) > 0 ? std::atoll(length) : 20000;
            for (std::uint64_t tick = 0; tick < ticks && !::testing::Test::HasFailure(); ++tick) {
                if (chance(20)) {
                    run.processes.processes.erase(run.processes.processes.begin() + random() % 20);
                    startProcess();
                }
                if (chance(300))
                    run.foreground.foreground = 0;
                else if (chance(300))
                    run.foreground.foreground = FakeForeground::kDesktop;
                else if (chance(5) || run.foreground.windows.count(run.foreground.foreground) == 0) {
                    const std::uint32_t id = run.processes.processes[random() % run.processes.processes.size()].first;
                    run.foreground.Show(0x10000 + id, chance(200) ? id + 1 : id, "page " + std::to_string(random() % 9));
                }
                model.Tick(run.foreground);
                const size_t requests = run.tray.size();
                ui::SendTimer(run.window, ActivitySampler::kSamplingTimerId);
                EXPECT_EQ(run.tray.size() - requests, hidden && model.total % 3 != 0 ? 1u : 0u) << "tick " << tick;
                if (tick % (ticks / 8 + 1) == ticks / 16) {
                    ASSERT_EQ(run.Rows(), model.Rows()) << "tick " << tick;
                    const bool yes = chance(2);
                    ClearAnswering(run.window, yes ? IDYES : IDNO, [&] {
                        model.Tick(run.foreground);
                        ui::SendTimer(run.window, ActivitySampler::kSamplingTimerId);
                    });
                    if (yes)
                        model.Clear();
                    ASSERT_EQ(run.Rows(), model.Rows()) << "after Clear at " << tick;
                }
                if (tick % 997 == 0) {
                    ui::SendCommand(run.window, IDC_STARTSTOP);
                    ui::SendCommand(run.window, IDC_STARTSTOP);
                }
                if (tick % 401 == 0) {
                    ui::SendCommand(run.window, hidden ? ID_SHOW : IDCANCEL);
                    if (hidden)
                        ui::SendTimer(run.window, ActivitySampler::kReturnTimerId);
                    hidden = !hidden;
                }
            }
            EXPECT_EQ(run.Rows(), model.Rows());
        })});
    }
    EXPECT_GT(IconWatch::extracted.size(), 0u);
    EXPECT_EQ(watch.Surviving(), 0u);
    const Census atEnd = Census::Take();
    EXPECT_EQ(atEnd.icons, atStart.icons);
    EXPECT_EQ(atEnd.gdiObjects, atStart.gdiObjects);
    // Wine caches device contexts for windows and adds one when all are in use: a few more is
    // the cache, a DC not given back would add one per tick.
    EXPECT_LE(atEnd.deviceContexts, atStart.deviceContexts + 4);
    EXPECT_EQ(atEnd.windows, atStart.windows);
}

// The platform misbehaving: a program in front that never answers, a process snapshot that fails,
// titles of 64 KB and of control characters. Nothing is lost and every tick is counted.
TEST(Soak, FaultsOfThePlatformLoseNothing)
{
    HWND hung = nullptr;
    CreateThread(nullptr, 0, HungThread, &hung, 0, nullptr);
    ASSERT_TRUE(ui::WaitFor([&] { return hung != nullptr; }));
    MainWindowRun run;
    run.processes.processes = {{10, "frozen.exe"}};
    std::string controls;
    for (int c = 1; c < 32; ++c)
        controls += static_cast<char>(c);
    MainDialog dialog(run.Services());
    run.Run(dialog, {Script::Do([&] {
        const DWORD start = GetTickCount();
        run.foreground.Show(reinterpret_cast<WindowRef>(hung), 10, "Not Responding");
        ui::SendTimer(run.window, ActivitySampler::kSamplingTimerId);
        EXPECT_LT(GetTickCount() - start, 2000u) << "the icon is waited for briefly only";
        run.processes.processes.push_back({20, "mail.exe"});   // started since the names were read
        run.processes.snapshotFails = true;
        run.Tick(20, std::string(65536, 'x'), 2);
        run.processes.snapshotFails = false;
        run.Tick(20, controls, 3);
        EXPECT_EQ(run.Rows(), (ui::Rows{{"frozen.exe", "0:00:01"}, {kUnknownApplicationName, "0:00:02"},
                                        {"mail.exe", "0:00:03"}, {"", ""}, {"Total:", "0:00:06"}}));
    })});
}

} // namespace
