// Speed and footprint of the real main window, for docs/performance.md. Run under Wine:
//   scripts/wine-session.sh <tree> && . <tree>/wine.env && wine <tree>/bin/vantel_figures.exe
// Without arguments it runs every figure, each memory figure in a fresh copy of itself:
//   --memory N      N applications of 100 titles each: private memory before the window, with
//                   the empty window, and filled; then the median cost of a tick at that size
//                   (past the count given after N, only the first title of each application
//                   comes from a tick)
//   --tick-cpu N    N ticks handled at once by the real main window (real foreground, real
//                   tray) hidden in the tray, hidden without a tray entry, and shown: CPU time of
//                   the window's thread per tick, without the waits between ticks
//   --cpu-window S  the real main window (real foreground, real tray) ticking on its own 1 s
//                   timer for S seconds hidden in the tray, then S seconds shown beside the
//                   program in front: CPU time of the process, scaled to an hour
// The CPU time of vantel.exe itself is read from outside by figures-program.sh: under Wine 8,
// GetProcessTimes answers 0 for another process.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/MainDialog.h"
#include "core/ActivitySampler.h"
#include "res/resource.h"
#include "settings/SettingsStore.h"
#include "tests/soak/ScriptedPlatform.h"

namespace {

constexpr int kTitlesPerApplication = 100;
// A system runs a few hundred processes at a time, whatever number of programs a day brings: each
// application's process starts with it and, this many applications later, has ended.
constexpr int kRunningProcesses = 256;
constexpr int kCostSamples = 1001;
// Up to this many applications every title comes from a tick (see Memory).
constexpr int kTickedApplications = 10000;

double PrivateMegabytes()
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                           sizeof counters);
    // Wine 8 leaves PrivateUsage at 0 and reports the private commit as PagefileUsage, which
    // Windows also keeps equal to PrivateUsage.
    const SIZE_T privateBytes = std::max(counters.PrivateUsage, counters.PagefileUsage);
    return static_cast<double>(privateBytes) / (1024.0 * 1024.0);
}

double Milliseconds(LONGLONG counts)
{
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counts) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double Seconds(const FILETIME& kernel, const FILETIME& user)
{
    auto value = [](const FILETIME& time) {
        return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    return static_cast<double>(value(kernel) + value(user)) / 1e7;
}

std::string ApplicationName(int index)
{
    char name[32];
    std::snprintf(name, sizeof name, "app%05d.exe", index);
    return name;
}

// A title of 28 bytes: past the short-string buffer, so each is a heap block of its own.
std::string Title(int application, int title)
{
    char text[64];
    std::snprintf(text, sizeof text, "Document %03d - app%05d.exe", title, application);
    return text;
}

std::size_t TitleBytes()
{
    return Title(0, 0).size();
}

int Memory(int applications, int tickedApplications)
{
    const double atStart = PrivateMegabytes();
    ScriptedPlatform platform;
    const auto processOf = [](int application) { return static_cast<std::uint32_t>(application + 1) * 4; };
    MainDialog dialog(platform.Services());
    RunMainWindow(dialog, [&](HWND window) {
        // Hidden in the tray, as the program lives; the tray requests stay in this process.
        ::ShowWindow(window, SW_HIDE);
        const double empty = PrivateMegabytes();
        platform.foreground.scene.window = window;
        LARGE_INTEGER fillStart, fillEnd;
        ::QueryPerformanceCounter(&fillStart);
        // The cost of the tick that adds an application, for the last tenth of them.
        std::vector<double> addCosts;
        // A million ticks take minutes. For a quicker look, past tickedApplications each
        // application gets its row, icon and first title from a real tick, and its other titles
        // go straight into the window's own store, as a tick would add them; the list then
        // differs only in its time cells' text, of the same length.
        const bool titlesThroughTicks = applications <= tickedApplications;
        auto& store = const_cast<ActivityStore&>(dialog.Store());
        for (int i = 0; i < applications; ++i) {
            platform.processes.running[processOf(i)] = { ApplicationName(i), "" };
            platform.processes.running.erase(processOf(i - kRunningProcesses));
            platform.foreground.scene.processId = processOf(i);
            for (int title = 0; title < kTitlesPerApplication; ++title) {
                platform.foreground.scene.title = Title(i, title);
                if (title > 0 && !titlesThroughTicks) {
                    store.IncrementTotal();
                    store.AddTick(ApplicationName(i), platform.foreground.scene.title);
                    continue;
                }
                LARGE_INTEGER before, after;
                ::QueryPerformanceCounter(&before);
                SendTimer(window, ActivitySampler::kSamplingTimerId);
                ::QueryPerformanceCounter(&after);
                if (title == 0 && i >= applications - applications / 10)
                    addCosts.push_back(Milliseconds(after.QuadPart - before.QuadPart));
            }
        }
        ::QueryPerformanceCounter(&fillEnd);
        std::sort(addCosts.begin(), addCosts.end());
        const double medianAdd = addCosts.empty() ? 0.0 : addCosts[addCosts.size() / 2];
        const double filled = PrivateMegabytes();

        // Ticks of existing applications (those still running) and titles: nothing grows.
        std::vector<double> costs;
        std::srand(1);
        const int running = std::min(applications, kRunningProcesses);
        for (int sample = 0; sample < kCostSamples && applications > 0; ++sample) {
            const int i = applications - 1 - std::rand() % running;
            platform.foreground.scene.processId = processOf(i);
            platform.foreground.scene.title = Title(i, std::rand() % kTitlesPerApplication);
            LARGE_INTEGER before, after;
            ::QueryPerformanceCounter(&before);
            SendTimer(window, ActivitySampler::kSamplingTimerId);
            ::QueryPerformanceCounter(&after);
            costs.push_back(Milliseconds(after.QuadPart - before.QuadPart));
        }
        std::sort(costs.begin(), costs.end());
        const double median = costs.empty() ? 0.0 : costs[costs.size() / 2];

        const double titles = static_cast<double>(applications) * kTitlesPerApplication;
        const double perTitle = titles > 0 ? (filled - empty) * 1024 * 1024 / titles : 0.0;
        std::printf("memory %6d apps x %d titles: private %.1f MB (process start %.1f MB, empty "
                    "window %.1f MB); growth over the empty program %.1f MB; %.0f bytes per "
                    "stored title, %.0f beyond its %u bytes of text; fill %.1f s; median tick "
                    "%.3f ms, median tick adding an application %.3f ms%s\n",
                    applications, kTitlesPerApplication, filled, atStart, empty, filled - atStart,
                    perTitle, perTitle - static_cast<double>(TitleBytes()),
                    static_cast<unsigned>(TitleBytes()),
                    Milliseconds(fillEnd.QuadPart - fillStart.QuadPart) / 1000.0, median, medianAdd,
                    titlesThroughTicks ? "" : " (titles after the first added to the store directly)");
        std::fflush(stdout);
    });
    return 0;
}

bool g_waitOver = false;

void CALLBACK EndWait(HWND, UINT, UINT_PTR timer, DWORD)
{
    ::KillTimer(nullptr, timer);
    g_waitOver = true;
}

// A plain message loop, asleep between messages as the program's own is, for milliseconds.
void WaitInMessageLoop(DWORD milliseconds)
{
    g_waitOver = false;
    ::SetTimer(nullptr, 0, milliseconds, EndWait);
    MSG message;
    while (!g_waitOver && ::GetMessageA(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
}

bool g_editorUp = false;

LRESULT CALLBACK EditorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefWindowProcA(window, message, wParam, lParam);
}

// A program's window in front while the window ticks: a visible window of another thread, with
// a title, which the ticks attribute to this executable.
DWORD WINAPI EditorThread(void*)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = EditorProc;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "VantelFiguresEditor";
    ::RegisterClassA(&windowClass);
    // Beside where the main window opens, so that the shown window paints what changes.
    const HWND editor = ::CreateWindowExA(0, windowClass.lpszClassName, "Report.txt - Editor",
                                          WS_OVERLAPPEDWINDOW | WS_VISIBLE, 700, 500, 400, 300,
                                          nullptr, nullptr, windowClass.hInstance, nullptr);
    ::SetForegroundWindow(editor);
    g_editorUp = true;
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0)
        ::DispatchMessageA(&message);
    return 0;
}

// The real window with the real platform: its own timer, the real foreground window and the
// real notification area.
int CpuOfWindow(int seconds)
{
    ::CreateThread(nullptr, 0, EditorThread, nullptr, 0, nullptr);
    while (!g_editorUp)
        ::Sleep(10);
    MainDialog::RegisterWindowClass(::GetModuleHandleA(nullptr));
    WriteOption(kMonitorAtStartupOption, 1);
    WriteOption(kMinToTrayOption, 0);
    MainDialog dialog(MainDialogServices::Win32());
    RunMainWindow(dialog, [&](HWND window) {
        const auto measure = [&](const char* how) {
            WaitInMessageLoop(3000);
            FILETIME created, exited, kernel0, user0, kernel1, user1;
            ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel0, &user0);
            const std::uint32_t ticks0 = dialog.Store().totalTicks();
            WaitInMessageLoop(static_cast<DWORD>(seconds) * 1000);
            ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel1, &user1);
            const std::uint32_t ticks = dialog.Store().totalTicks() - ticks0;
            const double cpu = Seconds(kernel1, user1) - Seconds(kernel0, user0);
            const ActivityStore::App* leader = dialog.Store().leaders()[0];
            std::printf("cpu window %s: in front: %s; %u ticks in %d s; %.3f s of CPU: %.2f s per "
                        "hour, %.4f%% of one core\n",
                        how, leader ? leader->first.c_str() : "-", ticks, seconds, cpu,
                        cpu * 3600.0 / seconds, cpu * 100.0 / seconds);
            std::fflush(stdout);
        };
        SendCommand(window, IDCANCEL);   // into the tray
        measure("hidden");
        // Shown without taking the foreground from the program in front; the entry goes.
        ::ShowWindow(window, SW_SHOWNOACTIVATE);
        SendTimer(window, ActivitySampler::kReturnTimerId);
        measure("shown");
    });
    return 0;
}

double ThreadSeconds()
{
    FILETIME created, exited, kernel, user;
    ::GetThreadTimes(::GetCurrentThread(), &created, &exited, &kernel, &user);
    return Seconds(kernel, user);
}

int TickCpu(int ticks)
{
    ::CreateThread(nullptr, 0, EditorThread, nullptr, 0, nullptr);
    while (!g_editorUp)
        ::Sleep(10);
    MainDialog::RegisterWindowClass(::GetModuleHandleA(nullptr));
    WriteOption(kMonitorAtStartupOption, 0);
    WriteOption(kMinToTrayOption, 0);
    MainDialog dialog(MainDialogServices::Win32());
    RunMainWindow(dialog, [&](HWND window) {
        const auto run = [&](const char* how) {
            WaitInMessageLoop(500);
            const double before = ThreadSeconds();
            for (int i = 0; i < ticks; ++i) {
                SendTimer(window, ActivitySampler::kSamplingTimerId);
                MSG message;
                while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
                    ::DispatchMessageA(&message);
            }
            std::printf("%s: %.1f us a tick\n", how, (ThreadSeconds() - before) * 1e6 / ticks);
        };
        SendCommand(window, IDCANCEL);
        run("hidden");
        SendTimer(window, ActivitySampler::kReturnTimerId);
        run("hidden, no entry");
        ::ShowWindow(window, SW_SHOWNOACTIVATE);
        SendTimer(window, ActivitySampler::kReturnTimerId);
        run("shown");
    });
    return 0;
}

bool Start(const std::string& commandLine, PROCESS_INFORMATION& process)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    return ::CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                            &startup, &process) != FALSE;
}

int RunChild(const std::string& arguments)
{
    PROCESS_INFORMATION process = {};
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    if (!Start("\"" + std::string(self) + "\" " + arguments, process))
        return 1;
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1;
    ::GetExitCodeProcess(process.hProcess, &code);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

} // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    const int value = argc > 2 ? std::atoi(argv[2]) : 0;
    if (mode == "--memory")
        return Memory(value, argc > 3 ? std::atoi(argv[3]) : kTickedApplications);
    if (mode == "--cpu-window")
        return CpuOfWindow(value > 0 ? value : 60);
    if (mode == "--tick-cpu")
        return TickCpu(value);
    if (!mode.empty()) {
        std::fprintf(stderr, "usage: vantel_figures [--memory N [ticked] | --cpu-window S]\n");
        return 2;
    }
    int failures = 0;
    for (int applications : { 0, 10, 1000, 10000 })
        failures += RunChild("--memory " + std::to_string(applications)) != 0;
    failures += RunChild("--cpu-window 120") != 0;
    return failures;
}
