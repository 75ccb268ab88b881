#include "tests/soak/ScriptedPlatform.h"

#include "settings/SettingsStore.h"

#include <commctrl.h>

#include <algorithm>

#include "core/ActivitySampler.h"
#include "res/resource.h"

WindowRef ScriptedForeground::ForegroundWindow()
{
    if (onTick)
        onTick(scene);
    return reinterpret_cast<WindowRef>(scene.window);
}

WindowRef ScriptedForeground::DesktopWindow()
{
    return reinterpret_cast<WindowRef>(::GetDesktopWindow());
}

std::uint32_t ScriptedForeground::ProcessIdOf(WindowRef)
{
    return scene.processId;
}

std::string ScriptedForeground::TitleOf(WindowRef)
{
    return scene.title;
}

bool ScriptedProcesses::VisitSnapshot(const Visitor& visit)
{
    ++snapshots;
    if (snapshotFails)
        return false;
    for (const auto& process : running)
        visit(process.first, process.second.exeFile);
    return true;
}

std::string ScriptedProcesses::ExecutablePathOf(std::uint32_t processId)
{
    ++pathQueries;
    const auto found = running.find(processId);
    return found != running.end() ? found->second.path : std::string();
}

TrayIcon::Notifier TrayRecorder::Notifier()
{
    return [this](DWORD message, NOTIFYICONDATAA* data) -> BOOL {
        switch (message) {
        case NIM_ADD: ++adds; break;
        case NIM_MODIFY: ++modifies; break;
        case NIM_DELETE: ++deletes; break;
        default: break;
        }
        if (message != NIM_DELETE) {
            // The field is 128 characters; an unterminated one is a fault of the sender.
            const std::size_t length = ::strnlen(data->szTip, sizeof data->szTip);
            longestTip = std::max(longestTip, length);
            lastTip.assign(data->szTip, length);
        }
        return refuses ? FALSE : TRUE;
    };
}

ScriptedPlatform::ScriptedPlatform()
{
    MainDialog::RegisterWindowClass(::GetModuleHandleA(nullptr));
    ::InitCommonControls();
    WriteOption(kMonitorAtStartupOption, 1);
    WriteOption(kMinToTrayOption, 0);
}

MainDialogServices ScriptedPlatform::Services()
{
    return { &processes, &foreground, tray.Notifier() };
}

namespace {

struct ScriptRun {
    MainDialog* dialog;
    const std::function<void(HWND)>* script;
};
ScriptRun* g_scriptRun = nullptr;

void CALLBACK RunScriptOnce(HWND, UINT, UINT_PTR timer, DWORD)
{
    ::KillTimer(nullptr, timer);
    ScriptRun* run = g_scriptRun;
    g_scriptRun = nullptr;
    if (run == nullptr)
        return;
    (*run->script)(run->dialog->GetSafeHwnd());
    if (run->dialog->GetSafeHwnd() != nullptr)
        run->dialog->EndDialog(IDABORT);
}

struct PendingAnswer {
    HWND owner = nullptr;
    int button = 0;
    const std::function<void()>* whileOpen = nullptr;
    bool answered = false;
};
PendingAnswer g_pendingAnswer;

BOOL CALLBACK FindOwnedBox(HWND window, LPARAM param)
{
    auto& found = *reinterpret_cast<HWND*>(param);
    char className[16] = {};
    ::GetClassNameA(window, className, sizeof className);
    if (std::string(className) == "#32770" && ::GetWindow(window, GW_OWNER) == g_pendingAnswer.owner
        && ::IsWindowVisible(window)) {
        found = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK AnswerWhenOpen(HWND, UINT, UINT_PTR timer, DWORD)
{
    if (g_pendingAnswer.answered)
        return;
    HWND box = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindOwnedBox, reinterpret_cast<LPARAM>(&box));
    if (box == nullptr)
        return;
    ::KillTimer(nullptr, timer);
    g_pendingAnswer.answered = true;
    if (*g_pendingAnswer.whileOpen)
        (*g_pendingAnswer.whileOpen)();
    ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(g_pendingAnswer.button, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(box, g_pendingAnswer.button)));
}

} // namespace

void RunMainWindow(MainDialog& dialog, const std::function<void(HWND)>& script)
{
    ScriptRun run{ &dialog, &script };
    g_scriptRun = &run;
    ::SetTimer(nullptr, 0, 10, RunScriptOnce);
    dialog.DoModal();
    g_scriptRun = nullptr;
}

bool ClearAnswering(HWND window, int button, const std::function<void()>& whileOpen)
{
    g_pendingAnswer = { window, button, &whileOpen, false };
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 1, AnswerWhenOpen);
    SendCommand(window, IDC_CLEAR);
    if (!g_pendingAnswer.answered)
        ::KillTimer(nullptr, timer);
    return g_pendingAnswer.answered;
}

std::string ExecutablePath()
{
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

void OpenMainWindowOnce()
{
    ScriptedPlatform platform;
    for (std::uint32_t processId = 1; processId <= 40; ++processId)
        platform.processes.running[processId] = { "first" + std::to_string(processId), ExecutablePath() };
    platform.foreground.scene = { ::GetDesktopWindow(), 0, "first" };
    MainDialog dialog(platform.Services());
    RunMainWindow(dialog, [&](HWND window) {
        SendTimer(window, ActivitySampler::kSamplingTimerId);
        platform.foreground.scene.window = window;
        // Enough rows for the list to scroll.
        for (std::uint32_t processId = 1; processId <= 40; ++processId) {
            platform.foreground.scene.processId = processId;
            SendTimer(window, ActivitySampler::kSamplingTimerId);
        }
        SendCommand(window, IDC_STARTSTOP);
        SendCommand(window, IDC_STARTSTOP);
        SendCommand(window, IDCANCEL);
        ::ShowWindow(window, SW_SHOW);
        ClearAnswering(window, IDNO, [] {});
        ClearAnswering(window, IDYES, [] {});
    });
}

