#include "tests/app/MainWindowHarness.h"

#include <commctrl.h>

#include "framework/Application.h"
#include "settings/SettingsStore.h"

#include "tests/views/UiScript.h"

namespace {

class TestApplication : public Application {
public:
    BOOL InitInstance() override { return FALSE; }
} g_application;

struct ScriptRun {
    MainDialog* dialog;
    const std::function<void(HWND)>* script;
    UINT_PTR endTimer;
};
ScriptRun* g_scriptRun = nullptr;

// Timers come after posted messages: a command the script posted last is handled first.
void CALLBACK EndIfStillRunning(HWND, UINT, UINT_PTR timer, DWORD)
{
    ::KillTimer(nullptr, timer);
    if (g_scriptRun != nullptr && g_scriptRun->dialog->GetSafeHwnd() != nullptr)
        g_scriptRun->dialog->EndDialog(IDABORT);
}

void CALLBACK RunScriptOnce(HWND, UINT, UINT_PTR timer, DWORD)
{
    ::KillTimer(nullptr, timer);
    ScriptRun* run = g_scriptRun;
    if (run == nullptr || run->dialog->GetSafeHwnd() == nullptr)
        return;
    (*run->script)(run->dialog->GetSafeHwnd());
    run->endTimer = ::SetTimer(nullptr, 0, 1, EndIfStillRunning);
}

// The visible message boxes of this thread owned by owner.
std::vector<HWND> BoxesOf(HWND owner)
{
    std::vector<HWND> boxes;
    for (HWND window : ui::OwnedWindows(owner)) {
        char className[16] = {};
        ::GetClassNameA(window, className, sizeof className);
        if (std::string(className) == "#32770")
            boxes.push_back(window);
    }
    return boxes;
}

// One answer waits at a time: the box it answers is modal, so the next one comes after it.
HWND g_answerOwner = nullptr;
MessageBoxAnswer* g_pendingAnswer = nullptr;

void CALLBACK AnswerWhenOpen(HWND, UINT, UINT_PTR timer, DWORD)
{
    const std::vector<HWND> boxes = BoxesOf(g_answerOwner);
    if (g_pendingAnswer != nullptr && boxes.empty())
        return;
    ::KillTimer(nullptr, timer);
    if (g_pendingAnswer == nullptr)
        return;
    MessageBoxAnswer& answer = *g_pendingAnswer;
    g_pendingAnswer = nullptr;
    const HWND box = boxes.back();
    answer.caption = ui::WindowText(box);
    answer.text = ui::ReadMessageBox(box).text;
    if (answer.whileOpen)
        answer.whileOpen();
    answer.seen = static_cast<int>(std::max(boxes.size(), BoxesOf(g_answerOwner).size()));
    ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer.button, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(box, answer.button)));
    answer.answered = true;
}

} // namespace

MainWindowHarness::MainWindowHarness()
{
    MainDialog::RegisterWindowClass(::GetModuleHandleA(nullptr));
    ::InitCommonControls();
    WriteOption(kMonitorAtStartupOption, 0);
    WriteOption(kMinToTrayOption, 0);
    WriteOption(kTrayHintShownValue, 1);
}

MainDialogServices MainWindowHarness::Services()
{
    return { &processes, &foreground,
             [this](DWORD message, NOTIFYICONDATAA* data) {
                 tray.push_back({ message, data->hWnd, data->hIcon, data->szTip, data->uFlags,
                                  data->dwInfoFlags, data->szInfoTitle });
                 return trayAnswer;
             } };
}

void SetAppMainWindow(Window* window)
{
    g_application.m_pMainWnd = window;
}

INT_PTR RunScripted(MainDialog& dialog, const std::function<void(HWND)>& script)
{
    ScriptRun run{ &dialog, &script, 0 };
    g_scriptRun = &run;
    const UINT_PTR start = ::SetTimer(nullptr, 0, 10, RunScriptOnce);
    const INT_PTR result = dialog.DoModal();
    ::KillTimer(nullptr, start);
    if (run.endTimer != 0)
        ::KillTimer(nullptr, run.endTimer);
    g_scriptRun = nullptr;
    return result;
}

std::vector<std::pair<std::string, std::string>> RowsOf(const MainDialog& dialog)
{
    std::vector<std::pair<std::string, std::string>> rows;
    const StripedReportListCtrl& list = dialog.List();
    for (int row = 0; row < list.GetRowCount(); ++row)
        rows.emplace_back(list.GetItemText(row, 0), list.GetItemText(row, 1));
    return rows;
}

void AnswerNextMessageBox(HWND owner, MessageBoxAnswer& answer)
{
    g_answerOwner = owner;
    g_pendingAnswer = &answer;
    ::SetTimer(nullptr, 0, 20, AnswerWhenOpen);
}

int CountMessageBoxes(HWND owner)
{
    return static_cast<int>(BoxesOf(owner).size());
}
