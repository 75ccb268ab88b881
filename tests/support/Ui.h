// What a Windows-side test needs to drive the program's windows in its own thread: pumping
// messages, sending what buttons, menus and timers send, finding dialogs and message boxes,
// reading lists, scripting a modal run from inside its loop, waiting, starting other programs
// and taking pictures.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

class Dialog;

namespace ui {

using Rows = std::vector<std::vector<std::string>>;

// Handles the thread's messages for about milliseconds (at least once).
void Pump(DWORD milliseconds);
// Polls condition every 20 ms, pumping meanwhile; false when it did not hold within timeoutMs.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = 5000);

// A timer's expiry, delivered at once to the window's handler.
void SendTimer(HWND window, UINT_PTR id);
// A click of button id as the button reports it.
void SendCommand(HWND window, int id);
// Command id as a menu sends it.
void PostCommand(HWND window, int id);

std::string Text(HWND window);
// The folder of the running test program, with its trailing backslash: where the build puts
// every program.
std::string BinFolder();
// The visible dialogs and message boxes ("#32770") of this thread whose caption begins with
// prefix; FindDialog the first of them.
std::vector<HWND> Dialogs(const std::string& prefix);
HWND FindDialog(const std::string& prefix);
// A message box's message.
std::string BoxText(HWND box);
// Every cell of every row of a list view of this process.
Rows ListRows(HWND list);
// The icon's width in pixels; 0 for no icon.
int IconSide(HICON icon);

// A program started from path with arguments, ended by force if it still runs when this goes.
struct Program {
    Program(const std::string& path, const std::string& arguments);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    bool HasEnded(DWORD waitMs) const;
    void WaitIdle() const;
    void End();

    const std::string path;
    PROCESS_INFORMATION info{};
};

// The window as it is on the screen, as <build tree>/e2e-screenshots/<name>.bmp.
bool SaveScreenshot(HWND window, const std::string& name);

// Drives a modal run from inside whichever modal loop runs (the dialog's, a nested dialog's, a
// message box's): a thread timer runs the steps in turn. A step returns false to be tried again
// at the next tick (to wait for a window); it must not block, so it opens nested dialogs with
// posted messages. A stalled script fails the test, closes the thread's windows and ends the run.
class Script {
public:
    using Step = std::function<bool()>;
    static Step Do(std::function<void()> action);
    static Step Wait(DWORD milliseconds);
    // Runs dialog.DoModal() with the steps, then ends it with IDCANCEL unless endAfterLast is
    // false (the steps end it). DoModal's result.
    static INT_PTR Run(Dialog& dialog, std::vector<Step> steps, bool endAfterLast = true);
};

} // namespace ui
