#include "app/MainApp.h"

#include "app/MainDialog.h"

#include <commctrl.h>
#include <ole2.h>

MainApp theApp;

BOOL MainApp::InitInstance()
{
    if (HandOverToRunningCopy())
        return FALSE;

    // A failure shows when the window cannot be created: the modal run then returns at once
    // and the program ends quietly.
    MainDialog::RegisterWindowClass(Instance());
    InitCommonControls();
    // The framework's base start-up, its registry key and its hosting of ActiveX controls have
    // nothing to do in this program. OLE itself is needed: links are dragged out through it.
    const HRESULT ole = OleInitialize(nullptr);

    {
        MainDialog mainWindow;
        m_pMainWnd = &mainWindow;
        mainWindow.DoModal();
        m_pMainWnd = nullptr;
    }

    if (SUCCEEDED(ole))
        OleUninitialize();
    return FALSE;
}

// A copy already running is shown and brought forward; this one then ends without having
// registered, read or created anything, and without waiting for the other copy. This copy was
// just started by the user, so it may give the foreground away: it lets the running copy take it,
// and asks that copy to come forward itself (raised by its own process, the window does not stay
// behind the window in front).
bool MainApp::HandOverToRunningCopy()
{
    const HWND running = FindWindowA(kMainWindowClass, nullptr);
    if (running == nullptr)
        return false;
    DWORD process = 0;
    if (GetWindowThreadProcessId(running, &process) != 0)
        AllowSetForegroundWindow(process);
    ShowWindow(running, SW_SHOW);
    SetForegroundWindow(running);
    PostMessageA(running, RegisterWindowMessageA(kComeForwardMessage), 0, 0);
    return true;
}
