// Sorting a statistics list of 10,000 applications by time on a real, visible list view: the
// work of the statistics dialog's opening sort and of a click on its "Time" header. Prints the
// median of a few runs; every run starts from the same unsorted rows.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "controls/StripedReportListCtrl.h"
#include "core/Duration.h"

namespace {

constexpr int Rows = 10000;
constexpr int Runs = 5;

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Applications with times in no particular order (a fixed pseudo-random sequence), a blank
// row and the "Total:" row.
void Fill(StripedReportListCtrl& list)
{
    // Filling row by row with drawing on would time the window server, not the list.
    list.DeleteAllRows();
    ::SendMessageA(list.GetSafeHwnd(), WM_SETREDRAW, FALSE, 0);
    std::uint32_t seed = 12345;
    std::uint64_t total = 0;
    std::vector<std::uint32_t> seconds(Rows);
    for (std::uint32_t& value : seconds) {
        seed = seed * 1103515245u + 12345u;
        value = (seed >> 8) % 86000u;   // under 24 hours: every time parses as a time of day
        total += value;
    }
    for (int row = 0; row < Rows; ++row) {
        const std::string name = "application" + std::to_string(row) + ".exe";
        list.InsertItem(row, name.c_str(), -1);
        list.SetItemText(row, 1, FormatDuration(seconds[static_cast<size_t>(row)]).c_str());
        const std::string percent =
            std::to_string(PercentRounded(seconds[static_cast<size_t>(row)], static_cast<std::uint32_t>(total))) + "%";
        list.SetItemText(row, 2, percent.c_str());
    }
    list.InsertItem(Rows, "", -1);
    list.InsertItem(Rows + 1, "Total:", -1);
    list.SetItemText(Rows + 1, 1, "999:59:59");
    list.SetItemText(Rows + 1, 2, "100%");
    ::SendMessageA(list.GetSafeHwnd(), WM_SETREDRAW, TRUE, 0);
    list.RecolorRows();
}

}  // namespace

int main()
{
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&init);

    Window host;
    const RECT hostRect = {0, 0, 420, 340};
    if (!host.CreateEx(0, "STATIC", "Application statistics", WS_POPUP | WS_CAPTION, hostRect,
                       nullptr, 0)) {
        std::fprintf(stderr, "cannot create the host window\n");
        return 1;
    }
    StripedReportListCtrl list;
    const RECT listRect = {7, 7, 400, 300};
    if (!list.Create(host.GetSafeHwnd(), 1007, &listRect, LVS_REPORT | WS_BORDER)) {
        std::fprintf(stderr, "cannot create the list\n");
        return 1;
    }
    list.InsertColumn(0, "Applications", LVCFMT_LEFT, 200);
    list.InsertColumn(1, "Time", LVCFMT_LEFT, 100);
    list.InsertColumn(2, "Percent", LVCFMT_LEFT, 80);
    list.SetSeparatorText(std::string());

    std::vector<double> sortTimes;
    std::vector<double> clickTimes;
    for (int run = 0; run < Runs; ++run) {
        // Filled while hidden, as a dialog fills its list before it shows; sorted on the screen,
        // as a click on the header sorts it.
        ::ShowWindow(host.GetSafeHwnd(), SW_HIDE);
        Fill(list);
        ::ShowWindow(host.GetSafeHwnd(), SW_SHOWNOACTIVATE);
        ::UpdateWindow(host.GetSafeHwnd());
        LARGE_INTEGER start, sorted, recoloured;
        ::QueryPerformanceCounter(&start);
        list.SortItems(1, false);
        ::QueryPerformanceCounter(&sorted);
        list.RecolorRows();
        ::QueryPerformanceCounter(&recoloured);
        sortTimes.push_back(Milliseconds(start, sorted));
        clickTimes.push_back(Milliseconds(start, recoloured));
        if (list.GetItemText(Rows + 1, 0) != "Total:") {
            std::fprintf(stderr, "the Total: row did not stay last\n");
            return 1;
        }
    }
    std::printf("list_sort_bench: %d rows, by time, descending, median of %d runs\n", Rows, Runs);
    std::printf("  SortItems:                    %8.1f ms\n", Median(sortTimes));
    std::printf("  SortItems + RecolorRows:      %8.1f ms\n", Median(clickTimes));
    host.DestroyWindow();
    return 0;
}
