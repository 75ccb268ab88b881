#include "app/Win32Foreground.h"

#include <windows.h>

#include <cstring>

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
    // The title may change between the two calls. The buffer has room for one whole character
    // more than the reported length (up to 4 bytes in UTF-8), so a title that grew gives more
    // bytes than reported even when the read stops short of a character that does not fit:
    // read again with the new length. A window that keeps growing its title gets the last read
    // after a few tries.
    const int kAttempts = 4;
    const int kRoom = 4 + 1;   // a character and the terminating zero
    std::string title;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const int length = GetWindowTextLengthA(handle);
        if (length <= 0)
            return std::string();
        title.assign(static_cast<std::size_t>(length + kRoom), '\0');
        const int copied = GetWindowTextA(handle, &title[0], length + kRoom);
        title.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
        if (copied <= length)
            break;
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
