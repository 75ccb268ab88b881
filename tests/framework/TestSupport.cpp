#include "tests/framework/TestSupport.h"

#include <algorithm>

namespace {

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

PlainWindow::~PlainWindow()
{
    if (IsWindow(m_hWnd))
        DestroyWindow(m_hWnd);
}

BEGIN_MESSAGE_MAP(ScriptedDialog, Dialog)
    ON_MESSAGE(WM_RUN_SCRIPT, OnRunScript)
    ON_WM_TIMER()
    ON_MESSAGE(WM_NCCREATE, OnAnyNcCreate)
    ON_MESSAGE(WM_SETFONT, OnAnySetFont)
    ON_MESSAGE(WM_GETMINMAXINFO, OnAnyMinMax)
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
        return;
    }
    if (onTimer)
        onTimer(*this, id);
}

LRESULT ScriptedDialog::OnAnyNcCreate(WPARAM, LPARAM)
{
    seen.push_back(WM_NCCREATE);
    return Default();
}

LRESULT ScriptedDialog::OnAnySetFont(WPARAM, LPARAM)
{
    seen.push_back(WM_SETFONT);
    return Default();
}

LRESULT ScriptedDialog::OnAnyMinMax(WPARAM, LPARAM)
{
    seen.push_back(WM_GETMINMAXINFO);
    return Default();
}

namespace {

struct BoxSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK FindOwnedBox(HWND window, LPARAM param)
{
    auto& search = *reinterpret_cast<BoxSearch*>(param);
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpA(className, "#32770") == 0 && window != search.owner
        && GetWindow(window, GW_OWNER) == search.owner) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

HWND FindMessageBox(HWND owner)
{
    BoxSearch search{ owner, nullptr };
    EnumThreadWindows(GetCurrentThreadId(), FindOwnedBox, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
