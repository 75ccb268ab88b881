// An owner-drawn push button with a small icon at its left and its caption centred in the rest.
// It lights up while the mouse is over it and uses the desktop's visual style when one is active,
// the classic look otherwise. In a DefaultButtonDialog the focused icon button answers Enter
// (WM_PUSH_DEFAULT_BUTTON) with its own click.
//
// Declare the button BS_OWNERDRAW in the template, bind it with DDX_Control, then call SetIcon.
// The icon is drawn at the small-icon size of the button's DPI and loaded again when it changes.
#pragma once

#include <windows.h>
#include <memory>

#include "controls/ThemeHelper.h"
#include "framework/Handles.h"
#include "framework/Window.h"

// "Push default button": posted by a dialog to its controls on Enter; the focused icon button
// answers it with its click. Registered when the program starts.
extern const UINT WM_PUSH_DEFAULT_BUTTON;

class IconButton : public Window {
public:
    IconButton() = default;
    ~IconButton() override;

    // Loads icon resource iconId of the program's module at the small-icon size of the button's
    // DPI (16 x 16 at 96 DPI), replacing (and destroying) the previous icon. A missing resource
    // leaves no icon; the caption keeps its place. Call once the button is bound to its window:
    // this is also where the visual-style data is (re)opened.
    void SetIcon(UINT iconId);
    HICON GetIcon() const { return m_hIcon.get(); }

    void DrawItem(DRAWITEMSTRUCT* item);

protected:
    void OnMouseMove(UINT flags, POINT point);
    LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetFocus(WPARAM wParam, LPARAM lParam);
    LRESULT OnKillFocus(WPARAM wParam, LPARAM lParam);
    LRESULT OnPushDefaultButton(WPARAM wParam, LPARAM lParam);
    LRESULT OnDpiChanged(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    void DrawClassicBackground(HDC dc, RECT& frame, bool pressed, bool focused) const;
    void DrawCaption(HDC dc, const char* text, RECT textRect, bool pressed, bool disabled) const;

    ThemeHelper m_theme;
    UniqueIcon m_hIcon;
    UINT m_iconId = 0;
    int m_iconSize = 0;
    int m_margin = 0;   // between the icon and the button's edge, and the caption and the other
    bool m_bHover = false;
    bool m_bDefault = false;
};
