#include "app/Win32Foreground.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "core/Utf8.h"

namespace {

HWND ToHandle(WindowRef window)
{
    return reinterpret_cast<HWND>(window);
}

WindowRef ToRef(HWND window)
{
    return reinterpret_cast<WindowRef>(window);
}

constexpr char kCoreWindowClass[] = "Windows.UI.Core.CoreWindow";

struct CoreWindowSearch {
    DWORD frameProcess;
    DWORD found;
};

BOOL CALLBACK FindCoreWindowOfAnotherProcess(HWND child, LPARAM parameter)
{
    auto& search = *reinterpret_cast<CoreWindowSearch*>(parameter);
    // One character longer than the class sought, so a longer name, read cut, still differs.
    char className[sizeof kCoreWindowClass + 1] = {};
    ::GetClassNameA(child, className, sizeof className);
    if (std::strcmp(className, kCoreWindowClass) != 0)
        return TRUE;
    DWORD process = 0;
    ::GetWindowThreadProcessId(child, &process);
    if (process == 0 || process == search.frameProcess)
        return TRUE;
    search.found = process;
    return FALSE;
}

} // namespace

WindowRef Win32Foreground::ForegroundWindow()
{
    return ToRef(GetForegroundWindow());
}

WindowRef Win32Foreground::DesktopWindow()
{
    return ToRef(GetDesktopWindow());
}

std::uint32_t Win32Foreground::ProcessIdOf(WindowRef window)
{
    DWORD processId = 0;
    if (GetWindowThreadProcessId(ToHandle(window), &processId) == 0)
        return 0;
    return processId;
}

std::string Win32Foreground::TitleOf(WindowRef window)
{
    const HWND handle = ToHandle(window);
    // One read answers for most titles. A read that (nearly) fills its buffer may have been cut:
    // the title was longer, it grew meanwhile, or the ANSI read stopped short of a character that
    // did not fit. Then it is read again with room for the length the window reports now. A
    // window that keeps growing its title gets the last read after a few tries.
    const int kAttempts = 4;
    std::size_t capacity = 256;
    std::string title;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        title.assign(capacity, '\0');
        const int copied = GetWindowTextA(handle, &title[0], static_cast<int>(capacity));
        title.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
        // Read from a window that is gone (it may vanish at any time), the text means nothing.
        if (!::IsWindow(handle))
            return std::string();
        if (ReadIsWhole(title.size(), capacity))
            break;
        const int reported = GetWindowTextLengthA(handle);
        capacity = std::max(capacity * 2, static_cast<std::size_t>(std::max(reported, 0)) + 6);
    }
    return title;
}

std::uint32_t Win32Foreground::CoreWindowProcessOf(WindowRef frame)
{
    CoreWindowSearch search = { ProcessIdOf(frame), 0 };
    if (search.frameProcess == 0)
        return 0;
    ::EnumChildWindows(ToHandle(frame), FindCoreWindowOfAnotherProcess,
                       reinterpret_cast<LPARAM>(&search));
    return search.found;
}
