// One sampling tick of the main window as the program runs it: the real foreground window, the
// real process list, a visible striped list with one row per application, the image list and
// Shell_NotifyIconA, with 10 and with 10,000 applications in the store. Every port of the tick is
// timed, so the time spent in the platform's own calls is told apart from the program's own work.
// Prints medians over many ticks of an application already in the list (the steady state).
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/ImageListIcons.h"
#include "app/MainListRows.h"
#include "app/MainTray.h"
#include "app/TrayIcon.h"
#include "app/Win32Foreground.h"
#include "app/Win32ProcessSource.h"
#include "controls/StripedReportListCtrl.h"
#include "core/ActivitySampler.h"
#include "core/ActivityStore.h"
#include "core/ProcessNameCache.h"

namespace {

constexpr int kTicks = 300;

double Now()
{
    LARGE_INTEGER frequency, counter;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&counter);
    return 1e6 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Time spent inside the platform's calls during the current tick, in microseconds, per port.
enum Port { kForeground, kProcesses, kIcons, kRows, kTray, kPortCount };
const char* const kPortNames[kPortCount] = { "foreground window", "process list", "icons",
                                             "list rows", "tray entry" };
double g_portTime[kPortCount];

class Stopwatch {
public:
    explicit Stopwatch(Port port) : m_port(port), m_start(Now()) {}
    ~Stopwatch() { g_portTime[m_port] += Now() - m_start; }

private:
    Port m_port;
    double m_start;
};

struct TimedForeground : ForegroundSource {
    Win32Foreground real;
    WindowRef ForegroundWindow() override { Stopwatch s(kForeground); return real.ForegroundWindow(); }
    WindowRef DesktopWindow() override { Stopwatch s(kForeground); return real.DesktopWindow(); }
    std::uint32_t ProcessIdOf(WindowRef w) override { Stopwatch s(kForeground); return real.ProcessIdOf(w); }
    std::string TitleOf(WindowRef w) override { Stopwatch s(kForeground); return real.TitleOf(w); }
    std::uint32_t CoreWindowProcessOf(WindowRef w) override { Stopwatch s(kForeground); return real.CoreWindowProcessOf(w); }
};

struct TimedProcesses : ProcessSource {
    Win32ProcessSource real;
    bool VisitSnapshot(const Visitor& visit) override { Stopwatch s(kProcesses); return real.VisitSnapshot(visit); }
    std::string ExecutablePathOf(std::uint32_t id) override { Stopwatch s(kProcesses); return real.ExecutablePathOf(id); }
};

struct TimedIcons : IconSink {
    explicit TimedIcons(HIMAGELIST list) : real(list, ::GetModuleHandleA(nullptr)) {}
    ImageListIcons real;
    std::optional<int> AppendFileIcon(const std::string& path) override { Stopwatch s(kIcons); return real.AppendFileIcon(path); }
    std::optional<int> AppendWindowIcon(WindowRef w) override { Stopwatch s(kIcons); return real.AppendWindowIcon(w); }
};

struct TimedRows : ApplicationRows {
    explicit TimedRows(StripedReportListCtrl& list) : real(list) {}
    MainListRows real;
    int RowCount() override { Stopwatch s(kRows); return real.RowCount(); }
    void SetTimeText(int row, const std::string& text) override { Stopwatch s(kRows); real.SetTimeText(row, text); }
    void InsertRow(int row, const std::string& label, int image) override { Stopwatch s(kRows); real.InsertRow(row, label, image); }
    int FindRow(const std::string& label) override { Stopwatch s(kRows); return real.FindRow(label); }
};

struct TimedTray : TrayPresence {
    TimedTray(TrayIcon& tray, HICON icon, const Window& owner) : real(tray, icon, owner) {}
    MainTray real;
    bool HasEntry() override { return real.HasEntry(); }
    void ShowSummary(const std::string& tip) override { Stopwatch s(kTray); real.ShowSummary(tip); }
    void Remove() override { Stopwatch s(kTray); real.Remove(); }
    void KillReturnTimer() override { Stopwatch s(kTray); real.KillReturnTimer(); }
};

void Pump()
{
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
}

// Measures kTicks ticks with applications other applications in the store and the list, the
// program's own window in front.
bool Measure(int applications)
{
    Window host;
    const RECT hostRect = { 0, 0, 420, 340 };
    if (!host.CreateEx(0, "STATIC", "Vantel tick bench", WS_POPUP | WS_CAPTION | WS_VISIBLE,
                       hostRect, nullptr, 0))
        return false;
    StripedReportListCtrl list;
    const RECT listRect = { 7, 7, 300, 320 };
    if (!list.Create(host.GetSafeHwnd(), 1002, &listRect, LVS_REPORT | LVS_SHAREIMAGELISTS | WS_BORDER))
        return false;
    list.InsertColumn(0, "Processes", LVCFMT_LEFT, 190);
    list.InsertColumn(1, "Duration", LVCFMT_LEFT, 100);
    const HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR16, 5, 1);
    ImageList_ReplaceIcon(images, -1, ::LoadIconA(nullptr, IDI_APPLICATION));
    list.SetImageList(images);

    ActivityStore store;
    for (int i = 0; i < applications; ++i) {
        const std::string name = "application" + std::to_string(i) + ".exe";
        store.AddTick(name, "document");
        store.IncrementTotal();
        list.InsertItem(i, name.c_str(), 0);
        list.SetItemText(i, 1, "0:00:01");
    }
    list.InsertItem(applications, "", -1);
    list.InsertItem(applications + 1, "Total:", -1);
    list.RecolorRows();

    TimedForeground foreground;
    TimedProcesses processes;
    ProcessNameCache names(processes);
    names.Rebuild();
    TimedIcons icons(images);
    TimedRows rows(list);
    TrayIcon trayIcon;
    trayIcon.SetOwner(host.GetSafeHwnd());
    const HICON icon = ::LoadIconA(nullptr, IDI_APPLICATION);
    trayIcon.Add(icon, "Vantel tick bench");
    TimedTray tray(trayIcon, icon, host);
    ActivitySampler sampler(store, names, processes, foreground, icons, rows, tray);

    ::SetForegroundWindow(host.GetSafeHwnd());
    Pump();
    sampler.OnTimer(ActivitySampler::kSamplingTimerId);   // the bench's own row appears
    Pump();

    std::vector<double> totals, platform, own;
    std::vector<double> ports[kPortCount];
    for (int tick = 0; tick < kTicks; ++tick) {
        std::fill(std::begin(g_portTime), std::end(g_portTime), 0.0);
        const double start = Now();
        sampler.OnTimer(ActivitySampler::kSamplingTimerId);
        const double total = Now() - start;
        double platformTime = 0;
        for (int port = 0; port < kPortCount; ++port) {
            ports[port].push_back(g_portTime[port]);
            platformTime += g_portTime[port];
        }
        totals.push_back(total);
        platform.push_back(platformTime);
        own.push_back(total - platformTime);
        Pump();   // the list repaints between ticks, as it does between timer messages
    }
    const std::string ownRow = list.GetItemText(applications, 0);
    trayIcon.Delete();
    ImageList_Destroy(images);

    std::printf("%6d applications: tick %8.1f us   platform calls %8.1f us (%4.1f%%)   own work %7.1f us\n",
                applications, Median(totals), Median(platform),
                100.0 * Median(platform) / Median(totals), Median(own));
    for (int port = 0; port < kPortCount; ++port)
        std::printf("        %-18s %8.1f us\n", kPortNames[port], Median(ports[port]));
    if (ownRow != "tick_bench.exe") {
        std::fprintf(stderr, "the foreground application's row is \"%s\"\n", ownRow.c_str());
        return false;
    }
    return true;
}

} // namespace

int main()
{
    ::InitCommonControls();
    std::printf("tick_bench: median of %d sampling ticks of an application already listed (last row)\n", kTicks);
    const bool ok = Measure(10) && Measure(10000);
    return ok ? 0 : 1;
}
