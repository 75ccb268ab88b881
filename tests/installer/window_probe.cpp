// A small helper for the tests that drive Vantel from bash: waits for a top-level window of a
// class to appear or to be shown, or asks it to exit (command 1) and waits for it to go.
//   window_probe wait <class> <seconds>     exit code 0 when the window appeared in time
//   window_probe visible <class> <seconds>  exit code 0 when the window was visible in time
//   window_probe exit <class> <seconds>     exit code 0 when the window was there and went away
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

enum class Wanted { Present, Visible, Gone };

bool Reached(Wanted wanted, HWND window)
{
    switch (wanted) {
    case Wanted::Present: return window != nullptr;
    case Wanted::Visible: return window != nullptr && IsWindowVisible(window);
    case Wanted::Gone: return window == nullptr;
    }
    return false;
}

bool WaitUntil(Wanted wanted, const char* className, int seconds)
{
    for (int waited = 0; waited < seconds * 10; ++waited) {
        if (Reached(wanted, FindWindowA(className, nullptr)))
            return true;
        Sleep(100);
    }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: window_probe wait|visible|exit <class> <seconds>\n");
        return 2;
    }
    const char* className = argv[2];
    const int seconds = std::atoi(argv[3]);
    if (std::strcmp(argv[1], "wait") == 0)
        return WaitUntil(Wanted::Present, className, seconds) ? 0 : 1;
    if (std::strcmp(argv[1], "visible") == 0)
        return WaitUntil(Wanted::Visible, className, seconds) ? 0 : 1;
    if (std::strcmp(argv[1], "exit") == 0) {
        HWND window = FindWindowA(className, nullptr);
        if (window == nullptr)
            return 1;
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return WaitUntil(Wanted::Gone, className, seconds) ? 0 : 1;
    }
    std::fprintf(stderr, "window_probe: unknown action %s\n", argv[1]);
    return 2;
}
