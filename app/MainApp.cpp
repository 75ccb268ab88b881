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
// registered, read or created anything.
bool MainApp::HandOverToRunningCopy()
{
    const HWND running = FindWindowA(kMainWindowClass, nullptr);
    if (running == nullptr)
        return false;
    ShowWindow(running, SW_SHOW);
    SetForegroundWindow(running);
    return true;
}
