// Drives a modal dialog from inside its own loop: each step runs when the loop has nothing else
// to do (a thread timer, which the loop dispatches only after posted messages and painting), so
// the messages that one step posts are all handled before the next step looks at the outcome.
#pragma once

#include <windows.h>
#include <functional>
#include <utility>
#include <vector>

#include "framework/Dialog.h"
#include "tests/support/WindowMessages.h"

class ModalSteps {
public:
    using Step = std::function<void()>;

    // Runs dialog.DoModal(), then each step in turn while it is open; ends it with IDCANCEL after
    // the last one. Returns DoModal's result.
    static INT_PTR Run(Dialog& dialog, std::vector<Step> steps)
    {
        ModalSteps script(dialog, std::move(steps));
        current = &script;
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 10, &ModalSteps::OnTimer);
        const INT_PTR result = dialog.DoModal();
        ::KillTimer(nullptr, timer);
        current = nullptr;
        return result;
    }

    // Handles the messages that arrive during milliseconds (to look at the dialog on the screen).
    static void Pump(DWORD milliseconds) { ::Pump(milliseconds); }

private:
    ModalSteps(Dialog& dialog, std::vector<Step> steps) : m_dialog(dialog), m_steps(std::move(steps)) {}

    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD)
    {
        ModalSteps* script = current;
        if (script == nullptr || script->m_running || script->m_dialog.GetSafeHwnd() == nullptr)
            return;
        script->m_running = true;
        if (script->m_next < script->m_steps.size())
            script->m_steps[script->m_next++]();
        if (script->m_next == script->m_steps.size())
            script->m_dialog.EndDialog(IDCANCEL);
        script->m_running = false;
    }

    static inline ModalSteps* current = nullptr;
    Dialog& m_dialog;
    std::vector<Step> m_steps;
    size_t m_next = 0;
    bool m_running = false;   // a step that pumps messages must not start the next one
};
