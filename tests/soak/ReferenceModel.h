// What the main window must hold after a run of ticks, worked out independently of it: the
// applications with their titles and counts, the rows in order of first sighting since the last
// Clear, the process names as a cache refilled only on a miss would give them, and the tray
// requests the ticks make.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "tests/soak/ScriptedPlatform.h"

class ReferenceModel {
public:
    using Documents = std::map<std::string, std::uint32_t>;
    struct App {
        std::uint32_t ticks = 0;
        Documents documents;
        bool iconAppended = false;
    };

    // yieldsIcon: whether the first tick of an application in this scene appends an icon.
    ReferenceModel(const ScriptedProcesses& processes,
                   std::function<bool(const ForegroundScene&)> yieldsIcon);

    // The window's initialisation took one snapshot.
    void WindowOpened();
    void Tick(const ForegroundScene& scene);
    void Clear();

    const std::map<std::string, App>& apps() const { return m_apps; }
    const std::vector<std::string>& rowOrder() const { return m_rowOrder; }
    std::uint32_t total() const { return m_total; }
    std::uint64_t ticksEver() const { return m_ticksEver; }
    std::uint64_t snapshots() const { return m_snapshots; }
    std::uint64_t trayModifies() const { return m_trayModifies; }
    std::uint64_t iconsAppended() const { return m_iconsAppended; }

    bool trayEntry = false;   // the window is in the tray: ticks refresh the tooltip

private:
    std::string NameOf(std::uint32_t processId);
    void Rebuild();

    const ScriptedProcesses& m_processes;
    std::function<bool(const ForegroundScene&)> m_yieldsIcon;
    std::unordered_map<std::uint32_t, std::string> m_names;
    std::map<std::string, App> m_apps;
    std::vector<std::string> m_rowOrder;
    std::uint32_t m_total = 0;
    std::uint64_t m_ticksEver = 0;
    std::uint64_t m_snapshots = 0;
    std::uint64_t m_trayModifies = 0;
    std::uint64_t m_iconsAppended = 0;
};

// One row of the main list as the list view holds it.
struct ListRow {
    std::string label;
    std::string time;
    int image;
};
std::vector<ListRow> ReadRows(HWND mainWindow);

// Non-fatal gtest failures for every way the window's store and list differ from the model, or
// break the store's own invariants. The number of rows is compared first, so a broken list shows
// as one failure rather than thousands.
void ExpectMatches(const MainDialog& dialog, const ReferenceModel& model);
