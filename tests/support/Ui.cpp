#include "tests/support/Ui.h"

#include <commctrl.h>

#include <fstream>

#include <gtest/gtest.h>

#include "framework/Application.h"
#include "framework/Dialog.h"

namespace ui {

void Pump(DWORD milliseconds)
{
    const DWORD start = ::GetTickCount();
    do {
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (::GetTickCount() - start < milliseconds);
}

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    while (!condition()) {
        if (::GetTickCount() - start > timeoutMs)
            return false;
        Pump(20);
    }
    return true;
}

void SendTimer(HWND window, UINT_PTR id)
{
    ::SendMessageA(window, WM_TIMER, id, 0);
}

void SendCommand(HWND window, int id)
{
    ::SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(window, id)));
}

void PostCommand(HWND window, int id)
{
    ::PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(id), 0);
}

std::string Text(HWND window)
{
    std::string text(static_cast<size_t>(::GetWindowTextLengthA(window)) + 8, '\0');
    text.resize(static_cast<size_t>(::GetWindowTextA(window, &text[0], static_cast<int>(text.size()))));
    return text;
}

std::string BinFolder()
{
    const std::string path = ModulePath(nullptr);
    return path.substr(0, path.find_last_of("\\/") + 1);
}

Program::Program(const std::string& path, const std::string& arguments) : path(path)
{
    std::string commandLine = "\"" + path + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    ::CreateProcessA(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                     &startup, &info);
}

Program::~Program()
{
    End();
}

bool Program::HasEnded(DWORD waitMs) const
{
    return ::WaitForSingleObject(info.hProcess, waitMs) == WAIT_OBJECT_0;
}

void Program::WaitIdle() const
{
    ::WaitForInputIdle(info.hProcess, 3000);
}

void Program::End()
{
    if (info.hProcess == nullptr)
        return;
    ::TerminateProcess(info.hProcess, 1);
    ::WaitForSingleObject(info.hProcess, 5000);
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    info.hProcess = nullptr;
}

namespace {

struct DialogSearch {
    const std::string& prefix;
    std::vector<HWND> found;
};

BOOL CALLBACK FindByCaption(HWND window, LPARAM data)
{
    auto& search = *reinterpret_cast<DialogSearch*>(data);
    char className[16] = {};
    ::GetClassNameA(window, className, sizeof className);
    if (::IsWindowVisible(window) && std::string(className) == "#32770"
        && Text(window).compare(0, search.prefix.size(), search.prefix) == 0)
        search.found.push_back(window);
    return TRUE;
}

} // namespace

std::vector<HWND> Dialogs(const std::string& prefix)
{
    DialogSearch search{prefix, {}};
    ::EnumThreadWindows(::GetCurrentThreadId(), FindByCaption, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindDialog(const std::string& prefix)
{
    const std::vector<HWND> found = Dialogs(prefix);
    return found.empty() ? nullptr : found.front();
}

std::string BoxText(HWND box)
{
    for (HWND child = ::GetWindow(box, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        char className[16] = {};
        ::GetClassNameA(child, className, sizeof className);
        if (lstrcmpiA(className, "Static") == 0 && (::GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON)
            return Text(child);
    }
    return {};
}

Rows ListRows(HWND list)
{
    const int columns = Header_GetItemCount(ListView_GetHeader(list));
    Rows rows(static_cast<size_t>(ListView_GetItemCount(list)));
    for (size_t row = 0; row < rows.size(); ++row) {
        for (int column = 0; column < columns; ++column) {
            char text[1024] = {};
            ListView_GetItemText(list, static_cast<int>(row), column, text, sizeof text);
            rows[row].push_back(text);
        }
    }
    return rows;
}

int IconSide(HICON icon)
{
    ICONINFO info{};
    if (icon == nullptr || !::GetIconInfo(icon, &info))
        return 0;
    BITMAP bitmap{};
    ::GetObjectA(info.hbmColor, sizeof bitmap, &bitmap);
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

bool SaveScreenshot(HWND window, const std::string& name)
{
    const std::string folder = BinFolder() + "..\\e2e-screenshots\\";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    RECT rect{};
    ::GetWindowRect(window, &rect);
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = rect.right - rect.left;
    header.biHeight = rect.bottom - rect.top;
    header.biPlanes = 1;
    header.biBitCount = 24;
    void* pixels = nullptr;
    const HDC screen = ::GetDC(nullptr), memory = ::CreateCompatibleDC(screen);
    const HBITMAP bitmap = ::CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &pixels, nullptr, 0);
    const HGDIOBJ old = ::SelectObject(memory, bitmap);
    const bool copied = ::BitBlt(memory, 0, 0, header.biWidth, header.biHeight, screen, rect.left, rect.top, SRCCOPY) && ::GdiFlush();
    const DWORD size = static_cast<DWORD>(((header.biWidth * 3 + 3) & ~3) * header.biHeight);
    const BITMAPFILEHEADER file{0x4D42, sizeof file + sizeof header + size, 0, 0, sizeof file + sizeof header};
    std::ofstream out(folder + name + ".bmp", std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file).write(reinterpret_cast<const char*>(&header), sizeof header);
    out.write(static_cast<const char*>(pixels), copied ? size : 0);
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return copied && out.good();
}

namespace {

struct RunningScript {
    std::vector<Script::Step> steps;
    size_t next = 0;
    bool running = false;
    bool stalled = false;
    DWORD start = ::GetTickCount();
    std::function<void(bool stalled)> onDone;
};
RunningScript* g_script = nullptr;
constexpr DWORD kWatchdogMs = 15000;

// Cancels a dialog, or answers No to a message box without a Cancel button.
BOOL CALLBACK CancelWindow(HWND window, LPARAM)
{
    if (::IsWindowVisible(window))
        ::PostMessageA(window, WM_COMMAND, ::GetDlgItem(window, IDCANCEL) || !::GetDlgItem(window, IDNO) ? IDCANCEL : IDNO, 0);
    return TRUE;
}

void CALLBACK RunNextStep(HWND, UINT, UINT_PTR, DWORD)
{
    RunningScript* script = g_script;
    if (script == nullptr || script->running || script->stalled)
        return;
    script->running = true;
    if (::GetTickCount() - script->start > kWatchdogMs) {
        ADD_FAILURE() << "script stalled at step " << script->next;
        script->stalled = true;
        ::EnumThreadWindows(::GetCurrentThreadId(), CancelWindow, 0);
        script->onDone(true);
    } else if (script->next < script->steps.size() && script->steps[script->next]()) {
        if (++script->next == script->steps.size())
            script->onDone(false);
    }
    script->running = false;
}

} // namespace

Script::Step Script::Do(std::function<void()> action)
{
    return [action = std::move(action)] { action(); return true; };
}

Script::Step Script::Wait(DWORD milliseconds)
{
    DWORD start = 0;
    return [milliseconds, start]() mutable {
        if (start == 0)
            start = ::GetTickCount();
        return ::GetTickCount() - start >= milliseconds;
    };
}

INT_PTR Script::Run(Dialog& dialog, std::vector<Step> steps, bool endAfterLast)
{
    RunningScript script;
    script.steps = std::move(steps);
    script.onDone = [&dialog, endAfterLast](bool stalled) {
        if ((endAfterLast || stalled) && dialog.GetSafeHwnd() != nullptr)
            dialog.EndDialog(IDCANCEL);
    };
    g_script = &script;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 10, RunNextStep);
    const INT_PTR result = dialog.DoModal();
    ::KillTimer(nullptr, timer);
    g_script = nullptr;
    EXPECT_EQ(script.next, script.steps.size()) << "the dialog ended before step " << script.next;
    return result;
}

} // namespace ui
