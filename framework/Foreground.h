// Which of the program's windows the user is dealing with. Modal runs stack up: each dialog or
// message box is owned by the one below it, which it disables. The innermost of that chain is
// the one that takes input, the one a new modal run is given as owner, and the one to bring
// forward when the user asks for a window that is already open.
#pragma once

#include <windows.h>

#include <vector>

// root, then the visible dialog or message box it owns, then the one that owns, and so on.
std::vector<HWND> ModalChain(HWND root);
// The last window of ModalChain(root); root itself when nothing modal is open over it.
HWND InnermostModalWindow(HWND root);

// Raises window to the top of the Z order and makes it the foreground window.
void BringForward(HWND window);

// While the main window is hidden in the notification area, a menu, dialog or message box of the
// program may take the foreground; when it closes, the system gives the activation to its hidden
// owner, which would then take the user's keys and be counted as the window in front. Held across
// such a run, this gives the foreground back to the window that had it before (the desktop when
// that window is gone) whenever a hidden window of this process is left holding it.
class ForegroundReturn {
public:
    ForegroundReturn();
    ~ForegroundReturn();
    ForegroundReturn(const ForegroundReturn&) = delete;
    ForegroundReturn& operator=(const ForegroundReturn&) = delete;

private:
    HWND m_previous;
};
