// What the user sees of a control: the pixels it paints, and the text of its tooltip.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

// The window's client area as the window paints it (WM_PRINTCLIENT into a 32-bit bitmap, so
// colours read back exactly).
struct Picture {
    explicit Picture(HWND window)
    {
        RECT client{};
        ::GetClientRect(window, &client);
        width = client.right;
        height = client.bottom;
        BITMAPINFO info{{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
        void* bits = nullptr;
        const HDC dc = ::CreateCompatibleDC(nullptr);
        const HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        ::SelectObject(dc, bitmap);
        ::SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
        ::GdiFlush();
        pixels.assign(static_cast<const DWORD*>(bits), static_cast<const DWORD*>(bits) + width * height);
        ::DeleteDC(dc);
        ::DeleteObject(bitmap);
    }
    COLORREF At(int x, int y) const
    {
        const DWORD pixel = pixels[static_cast<size_t>(y * width + x)];
        return RGB(pixel >> 16 & 0xFF, pixel >> 8 & 0xFF, pixel & 0xFF);
    }
    // The longest horizontal run of colour: 0 when it is absent, at least the text's width when
    // a text is underlined in it.
    int LongestRun(COLORREF colour) const
    {
        int longest = 0;
        for (int i = 0, run = 0; i < width * height; ++i) {
            run = At(i % width, i / width) != colour ? 0 : i % width == 0 ? 1 : run + 1;
            longest = std::max(longest, run);
        }
        return longest;
    }
    bool operator==(const Picture& other) const { return pixels == other.pixels; }

    int width, height;
    std::vector<DWORD> pixels;
};

// The box around the pixels where two pictures of one window differ (empty when none do).
inline RECT Difference(const Picture& a, const Picture& b)
{
    RECT box{};
    for (int i = 0; i < a.width * a.height; ++i) {
        const RECT pixel{i % a.width, i / a.width, i % a.width + 1, i / a.width + 1};
        if (a.pixels[static_cast<size_t>(i)] != b.pixels[static_cast<size_t>(i)])
            ::UnionRect(&box, &box, &pixel);
    }
    return box;
}

// The text of tool 1 of the tooltip of this thread that serves control ("" when none does).
inline std::string ToolTipText(HWND control)
{
    char text[256] = {};
    TTTOOLINFOA tool{TTTOOLINFOA_V2_SIZE, 0, control, 1, {}, nullptr, text, 0, nullptr};
    for (HWND tip = nullptr; !*text && (tip = ::FindWindowExA(nullptr, tip, TOOLTIPS_CLASSA, nullptr)) != nullptr;) {
        if (::GetWindowThreadProcessId(tip, nullptr) == ::GetCurrentThreadId())
            ::SendMessageA(tip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    }
    return text;
}
