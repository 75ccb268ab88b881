// What an end-to-end test needs to act as a user of another program under Wine: start it, find
// its windows, wait for it, click with the mouse, photograph a window.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// The folder of the test executable, with a trailing separator (vantel.exe lives there too).
std::string BinFolder();

// Polls condition every 50 ms; false when it did not hold within timeoutMs.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs);

std::string TextOf(HWND window);

// "h:mm:ss" in seconds; -1 for any other text.
int Seconds(const std::string& duration);

// A program of the bin folder started by the test, ended by force if the test leaves it running.
class Program {
public:
    Program(const std::string& exe, const std::string& arguments);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool Started() const { return m_started; }
    bool HasEnded(DWORD waitMs) const;
    // Waits until the program has handled its input and waits for more.
    void WaitIdle() const;

    // Its visible top-level windows of class className whose caption begins with captionPrefix.
    std::vector<HWND> Windows(const std::string& className, const std::string& captionPrefix) const;
    HWND Window(const std::string& className, const std::string& captionPrefix) const;
    // Window, waited for up to 5 s, then given time to settle (activated and painted).
    HWND WaitForWindow(const std::string& className, const std::string& captionPrefix) const;

private:
    bool m_started = false;
    PROCESS_INFORMATION m_info{};
};

// Real clicks in the middle of a screen rectangle, through the input queue, at a human pace.
// Each mouse event carries its position, so a late pointer motion reported by the display cannot
// move a click elsewhere; returns once target has handled them.
void ClickAt(const Program& target, const RECT& rect, int clicks = 1);
void ClickOn(const Program& target, HWND window);
// A key pressed and released through the input queue: it goes to the foreground window.
void PressKey(WORD virtualKey);

// The window as it is on the screen, as a 24-bit BMP <build tree>/e2e-screenshots/<name>.bmp.
bool SaveScreenshot(HWND window, const std::string& name);
