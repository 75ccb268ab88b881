// A program for the tests to start, copy and end. Without arguments it only waits a minute;
// "frame" shows a Store app's frame window (class "ApplicationFrameWindow", title "Calculator")
// holding a core window of its own; "window <title>" shows one window of class
// "VantelTestProgram" with that title. With windows it runs until ended.
#include <windows.h>

#include <cstring>

namespace {

HWND MakeWindow(const char* className, const char* title, DWORD style, HWND parent, int x, int y)
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, className, title, style, x, y, 420, 260, parent, nullptr, nullptr, nullptr);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    if (std::strcmp(commandLine, "frame") == 0) {
        const HWND frame = MakeWindow("ApplicationFrameWindow", "Calculator", WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, 0, 0);
        MakeWindow("Windows.UI.Core.CoreWindow", "", WS_CHILD | WS_VISIBLE, frame, 0, 0);
    } else if (std::strncmp(commandLine, "window ", 7) == 0) {
        MakeWindow("VantelTestProgram", commandLine + 7, WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, 600, 420);
    } else {
        Sleep(60000);
        return 0;
    }
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
