// The real main window in the test's thread, with the foreground window and the process list
// played by fakes and the notification area's requests captured instead of reaching the shell. It
// opens shown with monitoring stopped (both options stored as 0 in the test prefix's registry,
// the tray's balloon as shown before) unless the test stores others before making the window.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "app/MainDialog.h"
#include "tests/support/FakePorts.h"
#include "tests/support/Ui.h"

struct TrayRequest {
    DWORD message;
    UINT flags;
    HICON icon;
    std::string tip;
    std::string infoTitle;
    DWORD infoFlags;
};

struct MainWindowRun {
    FakeForeground foreground;
    FakeProcessSource processes;
    std::vector<TrayRequest> tray;
    BOOL trayAnswer = TRUE;   // FALSE: the shell refuses every request
    HWND window = nullptr;    // the main window while it runs

    MainWindowRun();
    ~MainWindowRun();
    MainDialogServices Services();

    // Runs dialog modally, as the program's main window, with the steps (see ui::Script); the
    // first step notes the window.
    INT_PTR Run(MainDialog& dialog, std::vector<ui::Script::Step> steps, bool endAfterLast = true);
    // count ticks of the sampling timer, with a window of process and title in front.
    void Tick(std::uint32_t process, const std::string& title, int count = 1);
    // The main list's rows: label and time.
    ui::Rows Rows() const;
};
