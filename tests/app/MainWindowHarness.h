// Runs the real main window in the test process with a scripted foreground window and process
// list, and the tray requests captured instead of reaching the shell. It opens shown and stopped
// (both options are stored as 0 in the test prefix's registry, and the tray's first balloon as
// shown) unless a test stores others.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/MainDialog.h"
#include "core/ProcessSource.h"
#include "core/SamplerPorts.h"
#include "tests/support/WindowMessages.h"

struct ScriptedForeground : ForegroundSource {
    HWND window = nullptr;   // nullptr: no window in front
    std::uint32_t processId = 0;
    std::string title;

    WindowRef ForegroundWindow() override { return reinterpret_cast<WindowRef>(window); }
    WindowRef DesktopWindow() override { return reinterpret_cast<WindowRef>(GetDesktopWindow()); }
    std::uint32_t ProcessIdOf(WindowRef) override { return processId; }
    std::string TitleOf(WindowRef) override { return title; }
    std::uint32_t CoreWindowProcessOf(WindowRef) override { return 0; }
};

struct ScriptedProcesses : ProcessSource {
    std::map<std::uint32_t, std::string> names;
    std::map<std::uint32_t, std::string> paths;

    bool VisitSnapshot(const Visitor& visit) override
    {
        for (const auto& entry : names)
            visit(entry.first, entry.second);
        return true;
    }
    std::string ExecutablePathOf(std::uint32_t processId) override
    {
        const auto found = paths.find(processId);
        return found != paths.end() ? found->second : std::string();
    }
};

struct TrayRequest {
    DWORD message;
    HWND owner;
    HICON icon;
    std::string tip;
    UINT flags;
    DWORD infoFlags;
    std::string infoTitle;
};

struct MainWindowHarness {
    ScriptedForeground foreground;
    ScriptedProcesses processes;
    std::vector<TrayRequest> tray;
    BOOL trayAnswer = TRUE;   // FALSE: the shell refuses every request

    MainWindowHarness();
    MainDialogServices Services();
};

// The test program's application object: the window given becomes its main window, as the
// program's start-up makes the main dialog, so that dialogs without a parent belong to it.
void SetAppMainWindow(Window* window);

// Runs dialog modally and calls script from inside its modal loop once the window is up. The
// dialog is ended with IDABORT afterwards unless a command the script posted ended it.
// DoModal's result.
INT_PTR RunScripted(MainDialog& dialog, const std::function<void(HWND window)>& script);

// Label and time of every row.
std::vector<std::pair<std::string, std::string>> RowsOf(const MainDialog& dialog);

// Answers the next message box of the thread owned by owner, from inside its loop.
struct MessageBoxAnswer {
    int button = IDOK;                 // IDYES, IDNO, ...
    std::function<void()> whileOpen;   // runs inside the box's loop just before answering
    std::string text;                  // what the box said
    std::string caption;
    int seen = 0;                      // boxes of owner open at the moment of answering
    bool answered = false;
};
void AnswerNextMessageBox(HWND owner, MessageBoxAnswer& answer);
int CountMessageBoxes(HWND owner);
