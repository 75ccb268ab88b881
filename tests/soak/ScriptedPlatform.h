// Stand-ins for what the main window asks of the system, for long runs and for faults: the
// foreground window and its process and title as a script sets them, a process list whose
// processes start and end and whose snapshot can fail, a notification area that can refuse every
// request, and the options. The real main window runs in the calling thread with them.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "app/MainDialog.h"
#include "core/ProcessSource.h"
#include "core/SamplerPorts.h"
#include "tests/support/WindowMessages.h"

// What the foreground looks like at the next tick.
struct ForegroundScene {
    HWND window = nullptr;     // nullptr: no window in front
    std::uint32_t processId = 0;
    std::string title;
};

class ScriptedForeground : public ForegroundSource {
public:
    ForegroundScene scene;
    // Called once per sampling tick, when the tick asks for the foreground window.
    std::function<void(const ForegroundScene&)> onTick;

    WindowRef ForegroundWindow() override;
    WindowRef DesktopWindow() override;
    std::uint32_t ProcessIdOf(WindowRef window) override;
    std::string TitleOf(WindowRef window) override;
    std::uint32_t CoreWindowProcessOf(WindowRef) override { return 0; }
};

struct ScriptedProcess {
    std::string exeFile;
    std::string path;   // "" when the process cannot be asked for its path
};

class ScriptedProcesses : public ProcessSource {
public:
    std::map<std::uint32_t, ScriptedProcess> running;
    bool snapshotFails = false;
    std::uint64_t snapshots = 0;
    std::uint64_t pathQueries = 0;

    bool VisitSnapshot(const Visitor& visit) override;
    std::string ExecutablePathOf(std::uint32_t processId) override;
};

// The shell's side of Shell_NotifyIconA: counts the requests and keeps the last tooltip.
struct TrayRecorder {
    bool refuses = false;
    std::uint64_t adds = 0;
    std::uint64_t modifies = 0;
    std::uint64_t deletes = 0;
    std::string lastTip;
    std::size_t longestTip = 0;

    TrayIcon::Notifier Notifier();
};

struct ScriptedPlatform {
    ScriptedForeground foreground;
    ScriptedProcesses processes;
    TrayRecorder tray;

    ScriptedPlatform();   // options: monitoring on at start, window shown
    MainDialogServices Services();
};

// Runs the real main window modally in this thread and calls script from inside its modal loop
// once the window is up; ends the window afterwards if the script did not.
void RunMainWindow(MainDialog& dialog, const std::function<void(HWND window)>& script);

// Sends the Clear command and answers its confirmation with button, after running whileOpen
// inside the confirmation's message loop. False when no confirmation appeared.
bool ClearAnswering(HWND window, int button, const std::function<void()>& whileOpen);

// This test program's path: its file carries icons.
std::string ExecutablePath();
// Opens and closes the main window once, with enough ticks for its list to scroll, a hide and a
// Clear, so that what the system caches for the first window of a process (shared icons, fonts,
// theme parts) is there before a census is taken.
void OpenMainWindowOnce();
