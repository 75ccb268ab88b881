// Real windows for the scripted foreground to name, so that the tick's WM_GETICON reaches a
// window: one that answers with a small icon of its own, one that answers none, and one on a
// thread that has stopped reading its messages (a hung program).
#pragma once

#include <windows.h>

class SceneWindows {
public:
    SceneWindows();
    ~SceneWindows();
    SceneWindows(const SceneWindows&) = delete;
    SceneWindows& operator=(const SceneWindows&) = delete;

    HWND withIcon = nullptr;
    HWND withoutIcon = nullptr;
    HWND hung = nullptr;   // its thread is blocked until this object is destroyed

private:
    static DWORD WINAPI HungThread(void* self);

    HICON m_icon = nullptr;
    HANDLE m_release = nullptr;
    HANDLE m_hungCreated = nullptr;
    HANDLE m_thread = nullptr;
};
