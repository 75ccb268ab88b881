#include "framework/Dpi.h"

#include "framework/Dialog.h"

namespace {

// Looked up at run time: Windows 10 (1607) and later have them.
template <typename Function>
Function User32Function(const char* name)
{
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("user32.dll"), name)));
}

UINT SystemDpi()
{
    const HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : kDefaultDpi;
}

} // namespace

UINT DpiOf(HWND window)
{
    const HWND root = window != nullptr ? ::GetAncestor(window, GA_ROOT) : nullptr;
    if (const auto* dialog = dynamic_cast<const Dialog*>(Window::FromHandle(root))) {
        if (dialog->Dpi() != 0)
            return dialog->Dpi();
    }
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = User32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    const UINT dpi = getDpiForWindow != nullptr && window != nullptr ? getDpiForWindow(window) : 0;
    return dpi != 0 ? dpi : SystemDpi();
}

int ScaleForDpi(int pixelsAt96, UINT dpi)
{
    return RescaleForDpi(pixelsAt96, kDefaultDpi, dpi);
}

int RescaleForDpi(int pixels, UINT oldDpi, UINT newDpi)
{
    return ::MulDiv(pixels, static_cast<int>(newDpi), static_cast<int>(oldDpi));
}

int MetricForDpi(int index, UINT dpi)
{
    using GetSystemMetricsForDpiFunction = int(WINAPI*)(int, UINT);
    static const auto forDpi = User32Function<GetSystemMetricsForDpiFunction>("GetSystemMetricsForDpi");
    if (forDpi != nullptr)
        return forDpi(index, dpi);
    return RescaleForDpi(::GetSystemMetrics(index), SystemDpi(), dpi);
}

int SmallIconSize(UINT dpi)
{
    return MetricForDpi(SM_CXSMICON, dpi);
}
