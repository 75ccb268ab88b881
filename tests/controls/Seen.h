// What the user sees of a control: the pixels it paints, the backgrounds of a list's cells, and
// the text of its tooltip.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

constexpr COLORREF Red = RGB(200, 0, 0);   // not one of the program's colours

// The window's client area as the window paints it (WM_PRINTCLIENT into a 32-bit bitmap, so
// colours read back exactly).
struct Picture {
    explicit Picture(HWND window)
    {
        RECT client{};
        ::GetClientRect(window, &client);
        width = client.right;
        BITMAPINFO info{{sizeof(BITMAPINFOHEADER), width, -client.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
        void* bits = nullptr;
        const HDC dc = ::CreateCompatibleDC(nullptr);
        const HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        ::SelectObject(dc, bitmap);
        ::SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
        ::GdiFlush();
        pixels.assign(static_cast<const DWORD*>(bits), static_cast<const DWORD*>(bits) + width * client.bottom);
        ::DeleteDC(dc);
        ::DeleteObject(bitmap);
    }
    // The bitmap holds blue in the low byte, where a COLORREF holds red: the one from the other.
    static COLORREF Swapped(DWORD colour) { return RGB(colour >> 16 & 0xFF, colour >> 8 & 0xFF, colour & 0xFF); }
    COLORREF At(int x, int y) const { return Swapped(pixels[static_cast<size_t>(y * width + x)]); }
    // The longest horizontal run of colour: 0 when it is absent, at least the text's width when
    // a text is underlined in it.
    int LongestRun(COLORREF colour) const
    {
        int longest = 0;
        for (int i = 0, run = 0; i < static_cast<int>(pixels.size()); ++i)
            longest = std::max(longest, run = pixels[static_cast<size_t>(i)] != Swapped(colour) ? 0 : i % width ? run + 1 : 1);
        return longest;
    }

    int width;
    std::vector<DWORD> pixels;
};

// The box around the pixels where two pictures of one window differ (empty when none do).
inline RECT Difference(const Picture& a, const Picture& b)
{
    RECT box{};
    for (int i = 0; i < static_cast<int>(a.pixels.size()); ++i) {
        const RECT pixel{i % a.width, i / a.width, i % a.width + 1, i / a.width + 1};
        if (a.pixels[static_cast<size_t>(i)] != b.pixels[static_cast<size_t>(i)])
            ::UnionRect(&box, &box, &pixel);
    }
    return box;
}

// The background of each cell of the list as painted, row by row, each row followed by a
// space: S the statistics lists' stripe, W white, L their last row's colour, R red, ? any other.
inline std::string Backgrounds(HWND list)
{
    const Picture picture(list);
    const COLORREF known[] = {RGB(232, 232, 243), RGB(255, 255, 255), RGB(185, 200, 216), Red};
    std::string shown;
    for (int row = 0; row < ListView_GetItemCount(list); ++row) {
        for (int column = 0; column < Header_GetItemCount(ListView_GetHeader(list)); ++column) {
            RECT cell{};
            ListView_GetSubItemRect(list, row, column, LVIR_LABEL, &cell);
            shown += "SWLR?"[std::find(known, known + 4, picture.At(cell.right - 3, (cell.top + cell.bottom) / 2)) - known];
        }
        shown += ' ';
    }
    return shown;
}

// The text of tool 1 of the tooltip of this thread that serves control ("" when none does).
inline std::string ToolTipText(HWND control)
{
    char text[256] = {};
    TTTOOLINFOA tool{TTTOOLINFOA_V2_SIZE, 0, control, 1, {}, nullptr, text, 0, nullptr};
    for (HWND tip = nullptr; !*text && (tip = ::FindWindowExA(nullptr, tip, TOOLTIPS_CLASSA, nullptr)) != nullptr;)
        if (::GetWindowThreadProcessId(tip, nullptr) == ::GetCurrentThreadId())
            ::SendMessageA(tip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    return text;
}
