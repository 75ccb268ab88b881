#include "framework/Application.h"

#include "core/Utf8.h"

#include "framework/Resources.h"
#include "framework/Window.h"
#include "framework/WindowDispatch.h"

namespace {

Application* s_current = nullptr;

// "C:\Program Files\Vantel\vantel.exe" -> "vantel"
std::string ModuleTitle(HINSTANCE instance)
{
    const std::string path = ModulePath(instance);
    const size_t slash = path.find_last_of("\\/");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0)
        name.resize(dot);
    return name;
}

} // namespace

Application::Application()
{
    s_current = this;
}

Application::~Application()
{
    if (s_current == this)
        s_current = nullptr;
}

Application* Application::Current()
{
    return s_current;
}

int Application::Run(HINSTANCE instance)
{
    m_hInstance = instance;
    m_title = ModuleTitle(instance);
    try {
        if (!InitInstance())
            return 0;
    } catch (...) {
        ReportCurrentException();
        return 1;
    }
    int exitCode = 0;
    while (WindowDispatch::PumpMessage(exitCode)) {
    }
    return exitCode;
}

std::string ModulePath(HINSTANCE instance)
{
    // GetModuleFileNameA cuts a path that does not fit. Paths are at most 32767 characters long,
    // each up to 4 bytes in UTF-8.
    for (DWORD capacity = MAX_PATH; capacity <= 4 * 32768; capacity *= 2) {
        std::string path(capacity, '\0');
        const DWORD length = GetModuleFileNameA(instance, &path[0], capacity);
        if (length == 0)
            return {};
        if (ReadIsWhole(length, capacity)) {
            path.resize(length);
            return path;
        }
    }
    return {};
}

HINSTANCE AppInstance()
{
    const Application* app = Application::Current();
    if (app != nullptr && app->Instance() != nullptr)
        return app->Instance();
    return GetModuleHandleA(nullptr);
}

const std::string& AppTitle()
{
    const Application* app = Application::Current();
    if (app != nullptr && !app->Title().empty())
        return app->Title();
    static const std::string title = ModuleTitle(nullptr);
    return title;
}

HWND AppMainWindow()
{
    const Application* app = Application::Current();
    return app != nullptr && app->m_pMainWnd != nullptr ? app->m_pMainWnd->GetSafeHwnd() : nullptr;
}
