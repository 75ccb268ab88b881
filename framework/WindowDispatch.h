// Internal to the framework: the one window procedure behind every bound window, the binding of
// windows created by the framework, and the pre-translation walk of the message loops.
#pragma once

#include <windows.h>

#include "framework/Window.h"

class WindowDispatch {
public:
    // The window procedure of every bound window; it passes what no table handles on to the
    // window's earlier procedure.
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    static bool Bind(Window& object, HWND window);
    static void Release(HWND window, WNDPROC previous);
    // Runs create() with object waiting to be bound to the first window it creates, so that the
    // object sees that window's first messages (WM_GETMINMAXINFO, WM_NCCREATE, WM_CREATE). The
    // object then owns the window.
    template <typename Create>
    static HWND CreateBound(Window& object, Create create)
    {
        HWND window;
        {
            CreationScope scope(object);
            window = create();
        }
        if (window != nullptr && object.m_hWnd == window)
            object.m_ownsWindow = true;
        return window;
    }

    // Offers message to PreTranslateMessage of its target and of the target's parents up to the
    // top-level window; TRUE when one of them consumed it.
    static BOOL PreTranslate(MSG& message);
    // Reads and handles one message. False when it was WM_QUIT, whose exit code goes to exitCode.
    static bool PumpMessage(int& exitCode);

private:
    class CreationScope {
    public:
        explicit CreationScope(Window& object);
        ~CreationScope();
        CreationScope(const CreationScope&) = delete;
        CreationScope& operator=(const CreationScope&) = delete;

    private:
        Window* m_previous;
        HHOOK m_hook;
    };

    // Counts a message being handled by a window object for the length of the scope, however the
    // handler ends; the last handler to leave a destroyed window runs its final clean-up.
    class HandlerScope {
    public:
        HandlerScope(Window& object, UINT message, WPARAM wParam, LPARAM lParam);
        ~HandlerScope();
        HandlerScope(const HandlerScope&) = delete;
        HandlerScope& operator=(const HandlerScope&) = delete;

    private:
        Window& m_object;
        Window::CurrentMessage m_saved;
    };

    static LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT Handle(Window& object, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static bool Reflect(HWND parent, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    static void Unbind(Window& object);
};
