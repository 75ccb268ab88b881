// In-memory stand-ins for the platform ports of the tracking core.
#pragma once

#include "core/ProcessSource.h"
#include "core/SamplerPorts.h"

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class FakeProcessSource : public ProcessSource {
public:
    std::vector<std::pair<std::uint32_t, std::string>> processes;   // in snapshot order
    std::map<std::uint32_t, std::string> paths;
    bool snapshotFails = false;
    int snapshotCount = 0;

    bool VisitSnapshot(const Visitor& visit) override
    {
        ++snapshotCount;
        if (snapshotFails)
            return false;
        for (const auto& [id, exe] : processes)
            visit(id, exe);
        return true;
    }

    std::string ExecutablePathOf(std::uint32_t processId) override
    {
        auto path = paths.find(processId);
        return path == paths.end() ? std::string() : path->second;
    }
};

class FakeForeground : public ForegroundSource {
public:
    static constexpr WindowRef kDesktop = 0x10010;
    WindowRef foreground = 0;
    std::map<WindowRef, std::pair<std::uint32_t, std::string>> windows;   // process id, title
    std::map<WindowRef, std::uint32_t> coreWindowProcesses;   // frame -> its core window's process

    WindowRef ForegroundWindow() override { return foreground; }
    WindowRef DesktopWindow() override { return kDesktop; }
    std::uint32_t ProcessIdOf(WindowRef window) override { return windows.at(window).first; }
    std::string TitleOf(WindowRef window) override { return windows.at(window).second; }
    std::uint32_t CoreWindowProcessOf(WindowRef frame) override
    {
        const auto found = coreWindowProcesses.find(frame);
        return found == coreWindowProcesses.end() ? 0 : found->second;
    }

    // Brings a window of the given process and title to the front.
    void Show(WindowRef window, std::uint32_t processId, const std::string& title)
    {
        windows[window] = {processId, title};
        foreground = window;
    }
};

class FakeIcons : public IconSink {
public:
    std::map<std::string, std::optional<int>> fileIcons;
    std::map<WindowRef, std::optional<int>> windowIcons;
    std::vector<WindowRef> windowQueries;

    std::optional<int> AppendFileIcon(const std::string& executablePath) override
    {
        auto icon = fileIcons.find(executablePath);
        return icon == fileIcons.end() ? std::nullopt : icon->second;
    }

    std::optional<int> AppendWindowIcon(WindowRef window) override
    {
        windowQueries.push_back(window);
        auto icon = windowIcons.find(window);
        return icon == windowIcons.end() ? std::nullopt : icon->second;
    }
};

// The main list as the main window sets it up: the blank row, then "Total:".
class FakeRows : public ApplicationRows {
public:
    struct Row {
        std::string label;
        std::string time;
        int image;
    };
    std::vector<Row> rows{{"", "", 0}, {"Total:", "", 0}};

    int RowCount() override { return static_cast<int>(rows.size()); }

    void SetTimeText(int row, const std::string& text) override
    {
        if (row >= 0 && row < RowCount())
            rows[row].time = text;
    }

    void InsertRow(int row, const std::string& label, int imageIndex) override
    {
        rows.insert(rows.begin() + row, Row{label, "", imageIndex});
    }

    int FindRow(const std::string& label) override
    {
        for (int i = 0; i < RowCount(); ++i)
            if (rows[i].label == label)
                return i;
        return -1;
    }
};

class FakeTray : public TrayPresence {
public:
    std::vector<std::string> tips;
    int removeCount = 0;
    int killCount = 0;
    bool entry = true;

    bool HasEntry() override { return entry; }
    void ShowSummary(const std::string& tip) override { tips.push_back(tip); }
    void Remove() override { ++removeCount; }
    void KillReturnTimer() override { ++killCount; }
};
