// The visual-style data of one button: "BUTTON" theme data opened for a window, and the two
// drawing calls that use it. UXTHEME.DLL is looked up at run time once per process; without it, or
// without an active visual style, nothing is opened and the callers draw the classic look.
#pragma once

#include <windows.h>
#include <uxtheme.h>

class ThemeHelper {
public:
    ThemeHelper() = default;
    ~ThemeHelper();
    ThemeHelper(const ThemeHelper&) = delete;
    ThemeHelper& operator=(const ThemeHelper&) = delete;

    // Closes the held theme data and opens "BUTTON" theme data for window (none without a visual
    // style).
    void Open(HWND window);
    bool IsOpen() const { return m_hTheme != nullptr; }

    // E_FAIL and no drawing without theme data. state: a push-button state (PBS_NORMAL ...).
    HRESULT DrawBackground(HDC dc, int state, const RECT& rect, const RECT* clip) const;
    HRESULT DrawThemedText(HDC dc, int state, const wchar_t* text, int length, DWORD textFlags,
                           DWORD textFlags2, const RECT& rect) const;

private:
    void Close();

    HTHEME m_hTheme = nullptr;
    static constexpr int m_partId = 1;   // BP_PUSHBUTTON
};
