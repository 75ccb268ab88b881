// One sampling tick: attribute a second to the foreground window's application and title, then
// bring the main list and the tray tooltip up to date.
#pragma once

#include "core/SamplerPorts.h"

#include <cstdint>

class ActivityStore;
class ProcessNameCache;
class ProcessSource;

inline constexpr char kNoActiveWindowsName[] = "No active windows";   // application and title
inline constexpr char kDesktopName[] = "Desktop";
// The host process of Store apps' frames.
inline constexpr char kFrameHostName[] = "ApplicationFrameHost.exe";

class ActivitySampler {
public:
    static constexpr std::uintptr_t kSamplingTimerId = 1;   // 1000 ms, one tick
    static constexpr std::uintptr_t kReturnTimerId = 2;     // one-shot: remove the tray entry

    ActivitySampler(ActivityStore& store, ProcessNameCache& names, ProcessSource& processes,
                    ForegroundSource& foreground, IconSink& icons, ApplicationRows& rows,
                    TrayPresence& tray);

    // Timer kReturnTimerId removes the tray entry; every other timer is a sampling tick.
    void OnTimer(std::uintptr_t timerId);

private:
    int IconIndexFor(std::uint32_t processId, WindowRef window);

    ActivityStore& m_store;
    ProcessNameCache& m_names;
    ProcessSource& m_processes;
    ForegroundSource& m_foreground;
    IconSink& m_icons;
    ApplicationRows& m_rows;
    TrayPresence& m_tray;
};
