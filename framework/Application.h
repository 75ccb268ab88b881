// The application object: one per process, constructed as a global before start-up. WinMain
// hands it the instance and calls InitInstance, whose FALSE ends the process.
#pragma once

#include <windows.h>
#include <string>

class Window;

class Application {
public:
    Application();
    virtual ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    static Application* Current();   // nullptr when the process has none (tests)

    // Called by WinMain: records the instance and the title, runs InitInstance; the exit code.
    int Run(HINSTANCE instance);
    virtual BOOL InitInstance() = 0;

    HINSTANCE Instance() const { return m_hInstance; }
    // The executable's file name without its extension: the caption of every message box.
    const std::string& Title() const { return m_title; }

    Window* m_pMainWnd = nullptr;

private:
    HINSTANCE m_hInstance = nullptr;
    std::string m_title;
};

// The full path of a module's file (instance nullptr: the executable), however long; empty when it
// cannot be had.
std::string ModulePath(HINSTANCE instance);

// The program's module instance and title, also without an Application object (tests): then the
// instance of the executable and its file name without extension.
HINSTANCE AppInstance();
const std::string& AppTitle();
HWND AppMainWindow();   // the main window's handle, or nullptr
