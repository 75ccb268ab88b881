#include "tests/e2e/DesktopDriver.h"

#include <cstdio>

namespace {

struct WindowSearch {
    DWORD processId;
    const std::string& className;
    const std::string& prefix;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM data)
{
    auto& search = *reinterpret_cast<WindowSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char name[64] = {};
    char caption[256] = {};
    GetClassNameA(window, name, sizeof name);
    GetWindowTextA(window, caption, sizeof caption);
    if (owner == search.processId && IsWindowVisible(window) && search.className == name
        && std::string(caption).compare(0, search.prefix.size(), search.prefix) == 0)
        search.found.push_back(window);
    return TRUE;
}

// A mouse event at a screen point, in the absolute coordinates of the primary screen.
void SendMouseAt(POINT point, DWORD flags)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(point.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(point.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
}

} // namespace

std::string BinFolder()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(50);
    }
    return true;
}

std::string TextOf(HWND window)
{
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

int Seconds(const std::string& duration)
{
    int h = 0, m = 0, s = 0;
    char rest = 0;
    if (std::sscanf(duration.c_str(), "%d:%d:%d%c", &h, &m, &s, &rest) != 3)
        return -1;
    return h * 3600 + m * 60 + s;
}

Program::Program(const std::string& exe, const std::string& arguments)
{
    std::string commandLine = "\"" + BinFolder() + exe + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    m_started = CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                               BinFolder().c_str(), &startup, &m_info) != FALSE;
}

Program::~Program()
{
    if (!m_started)
        return;
    if (WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT)
        TerminateProcess(m_info.hProcess, 1);
    CloseHandle(m_info.hThread);
    CloseHandle(m_info.hProcess);
}

bool Program::HasEnded(DWORD waitMs) const
{
    return WaitForSingleObject(m_info.hProcess, waitMs) == WAIT_OBJECT_0;
}

void Program::WaitIdle() const
{
    WaitForInputIdle(m_info.hProcess, 3000);
}

std::vector<HWND> Program::Windows(const std::string& className, const std::string& captionPrefix) const
{
    WindowSearch search{m_info.dwProcessId, className, captionPrefix, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND Program::Window(const std::string& className, const std::string& captionPrefix) const
{
    const std::vector<HWND> found = Windows(className, captionPrefix);
    return found.empty() ? nullptr : found.front();
}

HWND Program::WaitForWindow(const std::string& className, const std::string& captionPrefix) const
{
    HWND window = nullptr;
    if (WaitFor([&] { return (window = Window(className, captionPrefix)) != nullptr; }, 5000))
        Sleep(400);
    return window;
}

void ClickAt(const Program& target, const RECT& rect, int clicks)
{
    const POINT point{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    target.WaitIdle();
    SendMouseAt(point, 0);
    Sleep(150);
    target.WaitIdle();
    for (int i = 0; i < clicks; ++i) {
        SendMouseAt(point, MOUSEEVENTF_LEFTDOWN);
        Sleep(40);
        SendMouseAt(point, MOUSEEVENTF_LEFTUP);
        Sleep(40);
    }
    Sleep(100);
    target.WaitIdle();
}

void ClickOn(const Program& target, HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    ClickAt(target, rect);
}

void PressKey(WORD virtualKey)
{
    INPUT input[2]{};
    for (INPUT& key : input) {
        key.type = INPUT_KEYBOARD;
        key.ki.wVk = virtualKey;
    }
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof input[0]);
    Sleep(50);
}

bool SaveScreenshot(HWND window, const std::string& name)
{
    const std::string folder = BinFolder() + "..\\e2e-screenshots\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    RECT rect{};
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, old);

    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    const int stride = (width * 3 + 3) & ~3;
    std::vector<BYTE> pixels(static_cast<size_t>(stride) * height);
    const int lines = GetDIBits(memory, bitmap, 0, height, pixels.data(),
                                reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (lines != height)
        return false;

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    FILE* out = std::fopen((folder + name + ".bmp").c_str(), "wb");
    if (out == nullptr)
        return false;
    std::fwrite(&file, sizeof file, 1, out);
    std::fwrite(&header, sizeof header, 1, out);
    std::fwrite(pixels.data(), 1, pixels.size(), out);
    return std::fclose(out) == 0;
}
