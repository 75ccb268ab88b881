// Helpers of the framework tests: a window class whose own procedure records what reaches it, and
// a dialog that runs a test script from inside its modal loop.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "framework/Dialog.h"

constexpr char kRecordingClass[] = "FrameworkTestRecording";
// The class procedure answers this for every message in [WM_USER, WM_USER + 100).
constexpr LRESULT kClassProcAnswer = 77;

// Messages that reached the class procedure of kRecordingClass windows (the "default processing").
std::vector<UINT>& ClassProcMessages();
void RegisterRecordingClass();
bool SawInClassProc(UINT message);

// A top-level window of kRecordingClass, not bound to any object; destroyed with the helper.
class PlainWindow {
public:
    explicit PlainWindow(DWORD style = WS_OVERLAPPEDWINDOW);
    ~PlainWindow() { DestroyWindow(m_hWnd); }
    PlainWindow(const PlainWindow&) = delete;
    PlainWindow& operator=(const PlainWindow&) = delete;
    HWND Handle() const { return m_hWnd; }

private:
    HWND m_hWnd;
};

// A dialog that, once its modal loop runs, calls script (posted from OnInitDialog). A watchdog
// ends it with kWatchdogResult after a few seconds so that a broken test fails instead of hanging.
class ScriptedDialog : public Dialog {
public:
    static constexpr INT_PTR kWatchdogResult = -2;

    ScriptedDialog(UINT templateId, Window* parent = nullptr) : Dialog(templateId, parent) {}

    std::function<void(ScriptedDialog&)> script;
    std::function<void(ScriptedDialog&)> onInit;   // inside OnInitDialog, after the base
    std::function<void(ScriptedDialog&, UINT_PTR)> onTimer;
    std::vector<UINT> seen;   // creation messages and WM_INITDIALOG, in order of arrival

protected:
    BOOL OnInitDialog() override;

    LRESULT OnRunScript(WPARAM, LPARAM);
    void OnTimer(UINT_PTR id);
    template <UINT message>
    LRESULT OnSeen(WPARAM, LPARAM)
    {
        seen.push_back(message);
        return Default();
    }

    DECLARE_MESSAGE_MAP()
};

// The message box (or other popup) of owner that is up now, or nullptr.
HWND FindMessageBox(HWND owner);
