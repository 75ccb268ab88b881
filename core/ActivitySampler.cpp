#include "core/ActivitySampler.h"

#include "core/ActivityStore.h"
#include "core/Duration.h"
#include "core/ProcessNameCache.h"
#include "core/ProcessSource.h"
#include "core/TrayTip.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace {

// ASCII letters only: enough for the fixed executable names compared here.
bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

} // namespace

ActivitySampler::ActivitySampler(ActivityStore& store, ProcessNameCache& names,
                                 ProcessSource& processes, ForegroundSource& foreground,
                                 IconSink& icons, ApplicationRows& rows, TrayPresence& tray)
    : m_store(store), m_names(names), m_processes(processes), m_foreground(foreground),
      m_icons(icons), m_rows(rows), m_tray(tray)
{
}

void ActivitySampler::OnTimer(std::uintptr_t timerId)
{
    if (timerId == kReturnTimerId) {
        m_tray.KillReturnTimer();
        m_tray.Remove();
        return;
    }

    const std::uint32_t total = m_store.IncrementTotal();
    const WindowRef window = m_foreground.ForegroundWindow();
    m_rows.SetTimeText(m_rows.RowCount() - 1, FormatDuration(total));

    std::string title;
    std::string appName;
    std::uint32_t processId = 0;
    if (window == 0) {
        title = kNoActiveWindowsName;
        appName = kNoActiveWindowsName;
    } else if (window == m_foreground.DesktopWindow()) {
        appName = kDesktopName;
    } else {
        processId = m_foreground.ProcessIdOf(window);
        title = m_foreground.TitleOf(window);
        appName = m_names.NameOf(processId);
        // A Store app's window lives in a frame of ApplicationFrameHost.exe; the app itself is
        // the process of the frame's core window. The frame carries the app's title. The process
        // list reports the host's name in its case on disk.
        if (EqualsIgnoringCase(appName, kFrameHostName)) {
            if (const std::uint32_t app = m_foreground.CoreWindowProcessOf(window)) {
                processId = app;
                appName = m_names.NameOf(processId);
            }
        }
    }

    const ActivityStore::TickResult tick = m_store.AddTick(appName, title);
    const int rowCount = m_rows.RowCount();

    int row;
    if (tick.created) {
        const int iconIndex = IconIndexFor(processId, window);
        m_store.SetIconIndex(appName, iconIndex);
        // Directly above the blank separator row, which comes before "Total:".
        row = std::max(rowCount - 2, 0);
        m_rows.InsertRow(row, appName, iconIndex);
    } else {
        // Byte-exact, so applications whose names differ only in case each keep their own row.
        row = m_rows.FindRow(appName);
    }
    if (row >= 0)
        m_rows.SetTimeText(row, FormatDuration(tick.ticks));

    // While the window is shown there is no entry, and nothing to build the tooltip for.
    if (total % 3 != 0 && m_tray.HasEntry())
        m_tray.ShowSummary(BuildTrayTip(m_store));
}

int ActivitySampler::IconIndexFor(std::uint32_t processId, WindowRef window)
{
    // A process that cannot be asked gives no path; its icon then comes from the window.
    const std::string path = m_processes.ExecutablePathOf(processId);
    if (!path.empty()) {
        if (std::optional<int> index = m_icons.AppendFileIcon(path))
            return *index;
    }
    if (window != 0) {
        if (std::optional<int> index = m_icons.AppendWindowIcon(window))
            return *index;
    }
    return 0;
}
