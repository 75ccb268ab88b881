// Sorting a statistics-style list (10,000 applications, a blank row, "Total:") by its time
// column, largest first, as the statistics dialog does when it opens.
#include "core/Duration.h"
#include "core/ListSort.h"

#include "tests/core/TimeOfDayParser.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

std::vector<std::string> StatisticsTimeColumn(int applications)
{
    std::mt19937 random(42);
    std::uniform_int_distribution<std::uint32_t> seconds(0, 86399);
    std::vector<std::string> texts;
    std::uint32_t total = 0;
    for (int i = 0; i < applications; ++i) {
        const std::uint32_t ticks = seconds(random);
        total += ticks;
        texts.push_back(FormatDuration(ticks));
    }
    texts.push_back("");
    texts.push_back(FormatDuration(total));
    return texts;
}

void BM_SortTimeColumnDescending(benchmark::State& state)
{
    const std::vector<std::string> texts = StatisticsTimeColumn(static_cast<int>(state.range(0)));
    const CellDateParser parseDate = ParseTimeOfDay;
    for (auto _ : state)
        benchmark::DoNotOptimize(SortedRowOrder(texts, std::string(), false, parseDate));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SortTimeColumnDescending)->Arg(10000)->Unit(benchmark::kMillisecond);

// One comparison of two time texts, parsing both, as a sort without parsed keys pays at every step.
void BM_CompareTimeTexts(benchmark::State& state)
{
    const CellDateParser parseDate = ParseTimeOfDay;
    const std::string first = "9:59:59";
    const std::string second = "10:00:00";
    for (auto _ : state)
        benchmark::DoNotOptimize(CompareCellTexts(first, second, parseDate));
}
BENCHMARK(BM_CompareTimeTexts);

}  // namespace
