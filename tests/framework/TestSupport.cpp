#include "tests/framework/TestSupport.h"

#include <algorithm>

namespace {

constexpr UINT WM_RUN_SCRIPT = WM_APP + 1;
constexpr UINT_PTR kWatchdogTimer = 0xD06;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    ClassProcMessages().push_back(message);
    if (message >= WM_USER && message < WM_USER + 100)
        return kClassProcAnswer;
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

std::vector<UINT>& ClassProcMessages()
{
    static std::vector<UINT> messages;
    return messages;
}

void RegisterRecordingClass()
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = RecordingProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kRecordingClass;
    RegisterClassA(&windowClass);   // already registered by an earlier test: fine
}

bool SawInClassProc(UINT message)
{
    const auto& messages = ClassProcMessages();
    return std::find(messages.begin(), messages.end(), message) != messages.end();
}

PlainWindow::PlainWindow(DWORD style)
{
    RegisterRecordingClass();
    m_hWnd = CreateWindowExA(0, kRecordingClass, "Plain", style, 50, 50, 300, 200, nullptr,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
}

BEGIN_MESSAGE_MAP(ScriptedDialog, Dialog)
    ON_MESSAGE(WM_RUN_SCRIPT, OnRunScript)
    ON_WM_TIMER()
    ON_MESSAGE(WM_NCCREATE, OnSeen<WM_NCCREATE>)
    ON_MESSAGE(WM_SETFONT, OnSeen<WM_SETFONT>)
    ON_MESSAGE(WM_GETMINMAXINFO, OnSeen<WM_GETMINMAXINFO>)
END_MESSAGE_MAP()

BOOL ScriptedDialog::OnInitDialog()
{
    seen.push_back(WM_INITDIALOG);
    const BOOL result = Dialog::OnInitDialog();
    SetTimer(kWatchdogTimer, 5000);
    if (onInit)
        onInit(*this);
    PostMessageA(m_hWnd, WM_RUN_SCRIPT, 0, 0);
    return result;
}

LRESULT ScriptedDialog::OnRunScript(WPARAM, LPARAM)
{
    if (script)
        script(*this);
    return 0;
}

void ScriptedDialog::OnTimer(UINT_PTR id)
{
    if (id == kWatchdogTimer) {
        KillTimer(id);
        if (HWND box = FindMessageBox(m_hWnd))
            ::EndDialog(box, IDABORT);
        EndDialog(kWatchdogResult);
    } else if (onTimer) {
        onTimer(*this, id);
    }
}

HWND FindMessageBox(HWND owner)
{
    HWND popup = GetLastActivePopup(owner);
    return popup != owner && IsWindowVisible(popup) ? popup : nullptr;
}
