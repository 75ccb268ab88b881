// Messages a Windows-side test delivers to the window under test, and a short message pump.
#pragma once

#include <windows.h>

// Handles the thread's messages for about milliseconds (at least once).
inline void Pump(DWORD milliseconds)
{
    const DWORD start = ::GetTickCount();
    do {
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (::GetTickCount() - start < milliseconds);
}

// A timer expiry delivered as the message loop would, without waiting for the timer, so the
// window's own handler runs.
inline void SendTimer(HWND window, UINT_PTR id)
{
    ::SendMessageA(window, WM_TIMER, id, 0);
}

// A click of button id as the button reports it.
inline void SendCommand(HWND window, int id)
{
    ::SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(window, id)));
}
