#include "framework/Application.h"

#include "framework/Resources.h"
#include "framework/Window.h"
#include "framework/WindowDispatch.h"

namespace {

Application* s_current = nullptr;

// "C:\Program Files\Vantel\vantel.exe" -> "vantel"
std::string ModuleTitle(HINSTANCE instance)
{
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = GetModuleFileNameA(instance, &path[0], static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
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
