// One C++ object per window. A Window is bound to an HWND either by creating a dialog from a
// template (Dialog) or by subclassing an existing control (SubclassWindow, used by the dialogs'
// data exchange). Messages go through the object's message table; reflected control
// notifications reach the control's own object first.
#pragma once

#include <windows.h>
#include <string>

#include "framework/MessageMap.h"

class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND GetSafeHwnd() const { return m_hWnd; }
    bool IsWindow() const { return m_hWnd != nullptr && ::IsWindow(m_hWnd); }

    // The object bound to window, or nullptr.
    static Window* FromHandle(HWND window);

    // Binds this object to an existing window by subclassing it (its window procedure becomes
    // the framework's, which passes what no table handles to the earlier one). Calls
    // PreSubclassWindow once bound. Fails when the object or the window is already bound.
    bool SubclassWindow(HWND window);
    // Creates a window of an existing class, bound from its first message on (so the object sees
    // WM_NCCREATE and WM_CREATE), then calls PreSubclassWindow as SubclassWindow does. The object
    // owns that window: destroying a still bound object destroys it.
    bool CreateEx(DWORD exStyle, const char* className, const char* title, DWORD style,
                  const RECT& rect, HWND parent, UINT_PTR idOrMenu);
    virtual BOOL DestroyWindow();

    // Offered every message of a modal loop whose target is this window or one of its
    // descendants, before the dialog manager. TRUE consumes the message.
    virtual BOOL PreTranslateMessage(MSG* message);

    std::string GetWindowText() const;
    void SetWindowText(const std::string& text);
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    HWND GetParent() const { return ::GetParent(m_hWnd); }
    UINT_PTR SetTimer(UINT_PTR id, UINT milliseconds) { return ::SetTimer(m_hWnd, id, milliseconds, nullptr); }
    BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }

    HWND m_hWnd = nullptr;

    static const MessageMap* GetThisMessageMap();

protected:
    virtual const MessageMap* GetMessageMap() const;
    virtual void PreSubclassWindow() {}
    // Called once the window is gone (after WM_NCDESTROY) and no handler of it is running.
    virtual void PostNcDestroy() {}

    // Default processing of the message being handled (for a handler that extends it). Reflected
    // messages have none: 0.
    LRESULT Default();

    // Runs the message through the tables; false when no entry handled it.
    bool DispatchToMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

private:
    friend class WindowDispatch;
    struct CurrentMessage { UINT message; WPARAM wParam; LPARAM lParam; };
    CurrentMessage m_current{};
    int m_handlerDepth = 0;
    bool m_ncDestroyed = false;   // WM_NCDESTROY seen, PostNcDestroy still to run
    bool m_ownsWindow = false;    // created by this object rather than subclassed
    WNDPROC m_previousProc = nullptr;   // the window's procedure before it was bound
};
