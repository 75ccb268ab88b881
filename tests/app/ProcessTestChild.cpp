// A process for the process-identification tests to start, copy and end. It only waits; with
// the argument "frame" it shows a Store app's frame window (class "ApplicationFrameWindow",
// title "Calculator") holding a core window of its own, signals the event named by
// FrameReadyEventName, and serves the window while it waits.
#include "tests/app/ProcessTestChild.h"

#include <cstring>

namespace {

HWND MakeWindow(const char* className, const char* title, DWORD style, HWND parent)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = className;
    ::RegisterClassA(&windowClass);
    return ::CreateWindowExA(0, className, title, style, 0, 0, 300, 200, parent, nullptr,
                             windowClass.hInstance, nullptr);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || std::strcmp(argv[1], "frame") != 0) {
        ::Sleep(60000);
        return 0;
    }
    const HWND frame = MakeWindow("ApplicationFrameWindow", "Calculator",
                                  WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr);
    MakeWindow("Windows.UI.Core.CoreWindow", "", WS_CHILD | WS_VISIBLE, frame);
    const std::string readyName = FrameReadyEventName(::GetCurrentProcessId());
    ::SetEvent(::CreateEventA(nullptr, TRUE, FALSE, readyName.c_str()));
    ::SetTimer(nullptr, 0, 60000, nullptr);
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0 && message.message != WM_TIMER)
        ::DispatchMessageA(&message);
    return 0;
}
