// Memory and tick cost of the real main window, for docs/performance.md. Under Wine:
//   scripts/wine-session.sh <tree> && . <tree>/wine.env && wine <tree>/bin/vantel_figures.exe --memory N
// N applications of 100 titles each, every title from a tick, the window hidden as the program
// lives and its tray requests kept in this process: private memory before the window, with the
// empty window and filled; the median tick of a listed application and of one that adds a row and
// its icon. The CPU time of vantel.exe itself is read from outside by bench/windows/figures-program.sh.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/ActivitySampler.h"
#include "framework/Application.h"
#include "tests/support/MainWindowRun.h"

namespace {

using ui::Script;

double PrivateMegabytes()
{
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    // Wine 8 leaves PrivateUsage at 0 and reports the private commit as PagefileUsage.
    return static_cast<double>(std::max(counters.PrivateUsage, counters.PagefileUsage)) / (1024.0 * 1024.0);
}

double MillisecondsOf(const std::function<void()>& work)
{
    LARGE_INTEGER frequency, before, after;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&before);
    work();
    QueryPerformanceCounter(&after);
    return static_cast<double>(after.QuadPart - before.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

void Memory(int applications)
{
    constexpr int kTitles = 100, kRunningProcesses = 256;
    const std::string self = ModulePath(nullptr);   // an executable with an icon
    const double atStart = PrivateMegabytes();
    MainWindowRun run;
    MainDialog dialog(run.Services());
    run.Run(dialog, {Script::Do([&] {
        ShowWindow(run.window, SW_HIDE);
        const double empty = PrivateMegabytes();
        std::vector<double> adding, listed;
        for (int i = 0; i < applications; ++i) {
            // A process starts with each application and has ended a few hundred later.
            const std::uint32_t id = static_cast<std::uint32_t>(i + 1) * 4;
            run.processes.processes.push_back({id, "app" + std::to_string(100000 + i) + ".exe"});
            run.processes.paths[id] = self;
            if (run.processes.processes.size() > kRunningProcesses)
                run.processes.processes.erase(run.processes.processes.begin());
            for (int title = 0; title < kTitles; ++title) {
                // 24 bytes: past the short-string buffer, a heap block of its own.
                const std::string text = "Document " + std::to_string(100 + title) + " - app" + std::to_string(100000 + i);
                const double cost = MillisecondsOf([&] { run.Tick(id, text); });
                if (title == 0 && i >= applications - applications / 10)
                    adding.push_back(cost);
            }
        }
        const double filled = PrivateMegabytes();
        std::srand(1);
        for (int sample = 0; sample < 1001 && applications > 0; ++sample) {
            const auto& [id, name] = run.processes.processes[std::rand() % run.processes.processes.size()];
            listed.push_back(MillisecondsOf([&] { run.Tick(id, "Document " + std::to_string(100 + std::rand() % kTitles) + " - " + name); }));
        }
        const double titles = static_cast<double>(applications) * kTitles;
        std::printf("memory %d apps x %d titles: private %.1f MB (process start %.1f MB, empty window %.1f MB); "
                    "%.0f bytes per stored title; median tick %.3f ms, adding an application %.3f ms\n",
                    applications, kTitles, filled, atStart, empty, titles > 0 ? (filled - empty) * 1048576.0 / titles : 0.0,
                    Median(listed), Median(adding));
    })});
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3 || std::string(argv[1]) != "--memory") {
        std::fprintf(stderr, "usage: vantel_figures --memory N\n");
        return 2;
    }
    Memory(std::atoi(argv[2]));
    return 0;
}
