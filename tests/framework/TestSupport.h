// Helpers of the framework tests: a window class whose own procedure records what reaches it, and
// a dialog that runs a test script from inside its modal loop.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
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
    ~PlainWindow();
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
    LRESULT OnAnyNcCreate(WPARAM, LPARAM);
    LRESULT OnAnySetFont(WPARAM, LPARAM);
    LRESULT OnAnyMinMax(WPARAM, LPARAM);

    DECLARE_MESSAGE_MAP()
};

constexpr UINT WM_RUN_SCRIPT = WM_APP + 1;
constexpr UINT_PTR kWatchdogTimer = 0xD06;

// The message box of the current thread owned by owner, or nullptr.
HWND FindMessageBox(HWND owner);
