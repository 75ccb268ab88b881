// A small helper for the tests that drive Vantel from bash: waits for a top-level window of a
// class to appear or to be shown, or asks it to exit (command 1) and waits for it to go.
//   window_probe wait <class> <seconds>     exit code 0 when the window appeared in time
//   window_probe visible <class> <seconds>  exit code 0 when the window was visible in time
//   window_probe exit <class> <seconds>     exit code 0 when the window was there and went away
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    const std::string action = argc == 4 ? argv[1] : "";
    if (action != "wait" && action != "visible" && action != "exit") {
        std::fprintf(stderr, "usage: window_probe wait|visible|exit <class> <seconds>\n");
        return 2;
    }
    const char* className = argv[2];
    if (action == "exit") {
        const HWND window = FindWindowA(className, nullptr);
        if (window == nullptr)
            return 1;
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
    for (int waited = 0; waited < std::atoi(argv[3]) * 10; ++waited, Sleep(100)) {
        const HWND window = FindWindowA(className, nullptr);
        if (action == "exit" ? window == nullptr : window != nullptr && (action == "wait" || IsWindowVisible(window)))
            return 0;
    }
    return 1;
}
