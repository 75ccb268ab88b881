// Speed of the store, the tooltip and one whole sampling tick, and heap bytes per document.
#include "core/ActivitySampler.h"
#include "core/ActivityStore.h"
#include "core/ProcessNameCache.h"
#include "core/ProcessSource.h"
#include "core/SamplerPorts.h"
#include "core/TrayTip.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstdlib>
#include <new>
#include <string>
#include <unordered_map>
#include <vector>

// Every byte asked of operator new in this program, to weigh what the store keeps per document.
// (GCC takes the inlined malloc/free pair below for a mismatch; it is not one.)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
static std::size_t g_requestedBytes = 0;

void* operator new(std::size_t size)
{
    g_requestedBytes += size;
    if (void* block = std::malloc(size ? size : 1))
        return block;
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }

namespace {

std::string AppName(int i) { return "application" + std::to_string(i) + ".exe"; }
std::string Title(int i) { return "Document " + std::to_string(i) + " - Some Editor"; }

void BM_AddTickExistingTitle(benchmark::State& state)
{
    ActivityStore store;
    const std::string app = "notepad.exe", title = "readme.txt - Notepad";
    for (int i = 0; i < 100; ++i)
        store.AddTick(app, Title(i));
    store.AddTick(app, title);
    for (auto _ : state)
        benchmark::DoNotOptimize(store.AddTick(app, title));
}
BENCHMARK(BM_AddTickExistingTitle);

void BM_AddTickNewTitle(benchmark::State& state)
{
    std::vector<std::string> titles;
    for (int i = 0; i < (1 << 18); ++i)
        titles.push_back(Title(i));
    ActivityStore store;
    const std::string app = "notepad.exe";
    std::size_t next = 0;
    for (auto _ : state) {
        if (next == titles.size()) {
            state.PauseTiming();
            store.Clear();
            next = 0;
            state.ResumeTiming();
        }
        benchmark::DoNotOptimize(store.AddTick(app, titles[next++]));
    }
}
BENCHMARK(BM_AddTickNewTitle);

void Fill(ActivityStore& store, int apps, int documentsPerApp)
{
    for (int a = 0; a < apps; ++a) {
        const std::string name = AppName(a);
        for (int d = 0; d < documentsPerApp; ++d) {
            // Uneven counts, so that the top three change along the walk.
            for (int t = 0; t <= (a * 7919 + d) % 3; ++t) {
                store.IncrementTotal();
                store.AddTick(name, Title(d));
            }
        }
    }
}

void BM_BuildTrayTip(benchmark::State& state)
{
    ActivityStore store;
    Fill(store, static_cast<int>(state.range(0)), 1);
    for (auto _ : state)
        benchmark::DoNotOptimize(BuildTrayTip(store));
}
BENCHMARK(BM_BuildTrayTip)->Arg(10)->Arg(1000)->Arg(10000);

// Lean stand-ins for the platform that record nothing.
class BenchProcesses : public ProcessSource {
public:
    bool VisitSnapshot(const Visitor& visit) override
    {
        for (std::uint32_t id = 1; id <= 200; ++id)
            visit(id * 4, AppName(static_cast<int>(id)));
        return true;
    }
    std::string ExecutablePathOf(std::uint32_t) override { return "C:\\Program Files\\app.exe"; }
};

class BenchForeground : public ForegroundSource {
public:
    std::string title = Title(42);
    WindowRef ForegroundWindow() override { return 0x1234; }
    WindowRef DesktopWindow() override { return 0x10010; }
    std::uint32_t ProcessIdOf(WindowRef) override { return 4 * 137; }
    std::string TitleOf(WindowRef) override { return title; }
    std::uint32_t CoreWindowProcessOf(WindowRef) override { return 0; }
};

class BenchIcons : public IconSink {
public:
    std::optional<int> AppendFileIcon(const std::string&) override { return 1; }
    std::optional<int> AppendWindowIcon(WindowRef) override { return 2; }
};

// The application list. FindRow either searches row by row, as a list view does, or answers
// from an index, which leaves only the sampler's own work in the figure.
class BenchRows : public ApplicationRows {
public:
    explicit BenchRows(bool indexed) : m_indexed(indexed) {}

    void Fill(const ActivityStore& store)
    {
        for (const auto& [name, record] : store.apps())
            m_labels.push_back(name);
        m_labels.push_back("");
        m_labels.push_back("Total:");
        Reindex();
    }

    int RowCount() override { return static_cast<int>(m_labels.size()); }
    void SetTimeText(int row, const std::string& text) override
    {
        benchmark::DoNotOptimize(row);
        benchmark::DoNotOptimize(text.data());
    }
    void InsertRow(int row, const std::string& label, int) override
    {
        m_labels.insert(m_labels.begin() + row, label);
        Reindex();
    }
    int FindRow(const std::string& label) override
    {
        if (m_indexed) {
            auto row = m_index.find(label);
            return row == m_index.end() ? -1 : row->second;
        }
        for (std::size_t i = 0; i < m_labels.size(); ++i)
            if (m_labels[i] == label)
                return static_cast<int>(i);
        return -1;
    }

private:
    void Reindex()
    {
        m_index.clear();
        for (std::size_t i = m_labels.size(); i-- > 0;)
            m_index[m_labels[i]] = static_cast<int>(i);
    }

    bool m_indexed;
    std::vector<std::string> m_labels;
    std::unordered_map<std::string, int> m_index;
};

class BenchTray : public TrayPresence {
public:
    bool HasEntry() override { return true; }
    void ShowSummary(const std::string& tip) override { benchmark::DoNotOptimize(tip.data()); }
    void Remove() override {}
    void KillReturnTimer() override {}
};

// 10,000 applications of 100 documents each; the foreground application (number 137) is an
// existing one. Two ticks of three rebuild the tooltip, as in the program.
void WholeTick(benchmark::State& state, bool indexedRows)
{
    static ActivityStore store;
    if (store.apps().empty())
        Fill(store, 10000, 100);
    BenchProcesses processes;
    ProcessNameCache names(processes);
    names.Rebuild();
    BenchForeground foreground;
    BenchIcons icons;
    BenchRows rows(indexedRows);
    rows.Fill(store);
    BenchTray tray;
    ActivitySampler sampler(store, names, processes, foreground, icons, rows, tray);
    for (auto _ : state)
        sampler.OnTimer(ActivitySampler::kSamplingTimerId);
    state.counters["apps"] = static_cast<double>(store.apps().size());
}

void BM_WholeTick(benchmark::State& state) { WholeTick(state, true); }
BENCHMARK(BM_WholeTick)->Unit(benchmark::kMicrosecond);

void BM_WholeTickLinearRowSearch(benchmark::State& state) { WholeTick(state, false); }
BENCHMARK(BM_WholeTickLinearRowSearch)->Unit(benchmark::kMicrosecond);

// Bytes that one more document costs beyond its title: asked of operator new, and taken from
// the heap as malloc counts it (with its block headers and rounding).
void BM_MemoryPerDocument(benchmark::State& state)
{
    const std::size_t titleLength = static_cast<std::size_t>(state.range(0));
    const int count = 100000;
    std::vector<std::string> titles;
    for (int i = 0; i < count; ++i) {
        std::string title = std::to_string(i);
        title.resize(titleLength, 'x');
        titles.push_back(std::move(title));
    }
    double requestedOverhead = 0, heapOverhead = 0;
    for (auto _ : state) {
        ActivityStore store;
        store.AddTick("editor.exe", "first");
        const std::size_t requestedBefore = g_requestedBytes;
        const std::size_t heapBefore = mallinfo2().uordblks;
        for (const std::string& title : titles)
            store.AddTick("editor.exe", title);
        const double requested = double(g_requestedBytes - requestedBefore) / count;
        const double heap = double(mallinfo2().uordblks - heapBefore) / count;
        requestedOverhead = requested - double(titleLength);
        heapOverhead = heap - double(titleLength);
    }
    state.counters["title"] = double(titleLength);
    state.counters["new_beyond_title"] = requestedOverhead;
    state.counters["heap_beyond_title"] = heapOverhead;
}
BENCHMARK(BM_MemoryPerDocument)->Arg(8)->Arg(15)->Arg(16)->Arg(40)->Arg(100)->Arg(255)
    ->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
