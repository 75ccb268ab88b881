#include "tests/soak/SceneWindows.h"

namespace {

const char kClassName[] = "VantelSoakSceneWindow";
const char kIconProperty[] = "SoakSmallIcon";

LRESULT CALLBACK SceneWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_GETICON && wParam == ICON_SMALL)
        return reinterpret_cast<LRESULT>(::GetPropA(window, kIconProperty));
    return ::DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateSceneWindow(const char* title)
{
    static const ATOM registered = [] {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = SceneWindowProc;
        windowClass.hInstance = ::GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kClassName;
        return ::RegisterClassA(&windowClass);
    }();
    (void)registered;
    return ::CreateWindowExA(0, kClassName, title, WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                             nullptr, ::GetModuleHandleA(nullptr), nullptr);
}

} // namespace

SceneWindows::SceneWindows()
{
    m_icon = static_cast<HICON>(::CopyImage(::LoadIconA(nullptr, IDI_APPLICATION), IMAGE_ICON, 16, 16, 0));
    withIcon = CreateSceneWindow("with icon");
    ::SetPropA(withIcon, kIconProperty, m_icon);
    withoutIcon = CreateSceneWindow("without icon");

    m_release = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    m_hungCreated = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    m_thread = ::CreateThread(nullptr, 0, HungThread, this, 0, nullptr);
    ::WaitForSingleObject(m_hungCreated, INFINITE);
}

DWORD WINAPI SceneWindows::HungThread(void* self)
{
    auto& windows = *static_cast<SceneWindows*>(self);
    windows.hung = CreateSceneWindow("hung");
    ::SetPropA(windows.hung, kIconProperty, windows.m_icon);
    ::SetEvent(windows.m_hungCreated);
    // Hung: no message is read until the test is over.
    ::WaitForSingleObject(windows.m_release, INFINITE);
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        ::DispatchMessageA(&message);
    ::DestroyWindow(windows.hung);
    return 0;
}

SceneWindows::~SceneWindows()
{
    ::SetEvent(m_release);
    ::WaitForSingleObject(m_thread, INFINITE);
    ::CloseHandle(m_thread);
    ::CloseHandle(m_release);
    ::CloseHandle(m_hungCreated);
    ::DestroyWindow(withIcon);
    ::DestroyWindow(withoutIcon);
    ::DestroyIcon(m_icon);
}
