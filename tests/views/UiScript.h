// Drives dialogs from inside whichever modal loop is running: a thread timer runs the steps one
// by one, and every loop of the thread (the dialog's, a nested dialog's, a message box's)
// dispatches it. A step returns false to be tried again at the next tick (waiting for a window
// to appear); it must not block, so it opens nested dialogs with posted messages. A watchdog
// fails the test and closes every window of the thread when the script stalls.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "framework/Dialog.h"

class UiScript {
public:
    using Step = std::function<bool()>;

    // Runs dialog.DoModal() with the steps; ends the dialog with IDCANCEL after the last unless
    // the steps close it themselves (endAfterLast false). DoModal's result.
    static INT_PTR Run(Dialog& dialog, std::vector<Step> steps, bool endAfterLast = true,
                       DWORD watchdogMs = 15000)
    {
        UiScript script(std::move(steps), watchdogMs, [&dialog, endAfterLast] {
            if (endAfterLast && dialog.GetSafeHwnd() != nullptr)
                dialog.EndDialog(IDCANCEL);
        });
        const INT_PTR result = dialog.DoModal();
        EXPECT_TRUE(script.Finished()) << "the dialog ended before step " << script.m_next;
        return result;
    }

    // A step that always completes at once.
    static Step Do(std::function<void()> action)
    {
        return [action = std::move(action)] { action(); return true; };
    }
    // A step that lets about milliseconds pass with the loop running.
    static Step Wait(DWORD milliseconds)
    {
        bool started = false;
        DWORD start = 0;
        return [milliseconds, started, start]() mutable {
            if (!started) {
                started = true;
                start = ::GetTickCount();
            }
            return ::GetTickCount() - start >= milliseconds;
        };
    }

    ~UiScript()
    {
        ::KillTimer(nullptr, m_timer);
        Current() = nullptr;
    }

private:
    UiScript(std::vector<Step> steps, DWORD watchdogMs, std::function<void()> onDone)
        : m_steps(std::move(steps)), m_watchdogMs(watchdogMs), m_onDone(std::move(onDone)),
          m_start(::GetTickCount())
    {
        Current() = this;
        m_timer = ::SetTimer(nullptr, 0, 10, &UiScript::OnTimer);
    }

    bool Finished() const { return m_next == m_steps.size(); }

    static UiScript*& Current()
    {
        static UiScript* current = nullptr;
        return current;
    }

    static BOOL CALLBACK CancelWindow(HWND window, LPARAM)
    {
        if (::IsWindowVisible(window))
            ::PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        return TRUE;
    }

    // After the last step the watchdog still runs, for a dialog that should close by itself.
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD)
    {
        UiScript* script = Current();
        if (script == nullptr || script->m_running || script->m_stalled)
            return;
        script->m_running = true;
        if (::GetTickCount() - script->m_start > script->m_watchdogMs) {
            ADD_FAILURE() << "script stalled at step " << script->m_next;
            script->m_stalled = true;
            ::EnumThreadWindows(::GetCurrentThreadId(), CancelWindow, 0);
            script->m_onDone();
        } else if (!script->Finished() && script->m_steps[script->m_next]()) {
            ++script->m_next;
            if (script->Finished())
                script->m_onDone();
        }
        script->m_running = false;
    }

    std::vector<Step> m_steps;
    DWORD m_watchdogMs;
    std::function<void()> m_onDone;
    DWORD m_start;
    UINT_PTR m_timer = 0;
    size_t m_next = 0;
    bool m_running = false;
    bool m_stalled = false;
};

namespace ui {

struct OwnedSearch {
    HWND owner;
    std::vector<HWND> found;
};

inline BOOL CALLBACK CollectOwned(HWND window, LPARAM data)
{
    auto& search = *reinterpret_cast<OwnedSearch*>(data);
    if (::IsWindowVisible(window) && (search.owner == nullptr || ::GetWindow(window, GW_OWNER) == search.owner))
        search.found.push_back(window);
    return TRUE;
}

// Visible top-level windows of this thread whose owner is owner (nullptr: any owner).
inline std::vector<HWND> OwnedWindows(HWND owner)
{
    OwnedSearch search{owner, {}};
    ::EnumThreadWindows(::GetCurrentThreadId(), CollectOwned, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

inline std::string WindowText(HWND window)
{
    char text[512] = {};
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

// The visible dialog of this thread (a "#32770" window, message boxes included) whose caption
// begins with prefix, or nullptr.
inline HWND FindDialog(const std::string& prefix)
{
    for (HWND window : OwnedWindows(nullptr)) {
        char className[64] = {};
        ::GetClassNameA(window, className, sizeof className);
        if (std::string(className) == "#32770" && WindowText(window).compare(0, prefix.size(), prefix) == 0)
            return window;
    }
    return nullptr;
}

// A message box: its text and the icon it shows.
struct MessageBoxContent {
    std::string text;
    HICON icon = nullptr;
};

inline MessageBoxContent ReadMessageBox(HWND box)
{
    MessageBoxContent content;
    for (HWND child = ::GetWindow(box, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        char className[64] = {};
        ::GetClassNameA(child, className, sizeof className);
        if (lstrcmpiA(className, "Static") != 0)
            continue;
        if ((::GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            content.icon = reinterpret_cast<HICON>(::SendMessageA(child, STM_GETICON, 0, 0));
        else if (content.text.empty())
            content.text = WindowText(child);
    }
    return content;
}

inline std::string ItemText(HWND list, int row, int column)
{
    char text[512] = {};
    ListView_GetItemText(list, row, column, text, sizeof text);
    return text;
}

// Every row of a report list, each cell of each column.
inline std::vector<std::vector<std::string>> Rows(HWND list)
{
    const int columns = Header_GetItemCount(ListView_GetHeader(list));
    std::vector<std::vector<std::string>> rows;
    for (int row = 0; row < ListView_GetItemCount(list); ++row) {
        std::vector<std::string> cells;
        for (int column = 0; column < columns; ++column)
            cells.push_back(ItemText(list, row, column));
        rows.push_back(cells);
    }
    return rows;
}

inline int ImageOf(HWND list, int row)
{
    LVITEMA item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    ListView_GetItem(list, &item);
    return item.iImage;
}

// A double-click of the left button at the middle of row (or, for row -1, below the last row),
// as the list receives it from the mouse.
inline void PostDoubleClick(HWND list, int row)
{
    RECT rect = {};
    if (row >= 0) {
        ListView_GetItemRect(list, row, &rect, LVIR_BOUNDS);
    } else {
        const int last = ListView_GetItemCount(list) - 1;
        ListView_GetItemRect(list, last, &rect, LVIR_BOUNDS);
        ::OffsetRect(&rect, 0, 3 * (rect.bottom - rect.top));
    }
    const LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    ::PostMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, point);
}

inline void PostClick(HWND dialog, int id)
{
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

inline void Select(HWND list, std::initializer_list<int> rows)
{
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    for (int row : rows)
        ListView_SetItemState(list, row, LVIS_SELECTED, LVIS_SELECTED);
}

inline SIZE WindowSize(HWND window)
{
    RECT rect = {};
    ::GetWindowRect(window, &rect);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

inline RECT ChildRect(HWND dialog, HWND child)
{
    RECT rect = {};
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// A rectangle as numbers that compare and print, each edge moved by the given offset.
inline std::array<LONG, 4> BoxOf(const RECT& rect, int left = 0, int top = 0, int right = 0, int bottom = 0)
{
    return {rect.left + left, rect.top + top, rect.right + right, rect.bottom + bottom};
}

inline void Resize(HWND window, int cx, int cy)
{
    ::SetWindowPos(window, nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace ui
