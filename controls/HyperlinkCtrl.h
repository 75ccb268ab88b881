// A push button turned into a web link: one line of underlined text in link colours, a hand
// cursor, a tooltip, the shell's "open" on a click or on Enter, and the address dragged out as
// "UniformResourceLocator" data. The parent hears of pointer, focus, click and drag events
// through WM_NOTIFY (NMHYPERLINK) and may cancel a navigation or a drag.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <type_traits>

#include "framework/Window.h"
#include "framework/Handles.h"

// Notification codes of the link (beside NM_DBLCLK, NM_RCLICK, NM_RDBLCLK, NM_SETFOCUS,
// NM_KILLFOCUS).
constexpr int HLN_MIDDLEDBLCLK = -81;
constexpr int HLN_MIDDLECLICK = -82;
constexpr int HLN_RIGHTDRAGEND = -83;    // value: the drop effect
constexpr int HLN_RIGHTBEGINDRAG = -84;  // value 1; set it to 0 to refuse the drag
constexpr int HLN_DRAGEND = -85;         // value: the drop effect
constexpr int HLN_BEGINDRAG = -86;       // value 1; set it to 0 to refuse the drag
constexpr int HLN_MOUSELEAVE = -87;
constexpr int HLN_MOUSEHOVER = -88;
constexpr int HLN_MOUSEENTER = -89;
constexpr int HLN_NAVIGATE = -90;        // value 1; set it to 0 to cancel the navigation

// Sent with WM_NOTIFY; the sender reads value back after the parent has seen it.
struct NMHYPERLINK {
    NMHDR hdr;
    int value;
    // Modifier keys down at sending time: bit 0 right Ctrl, 1 left Ctrl, 2 right Shift,
    // 3 left Shift, 4 right Alt, 5 left Alt, 6 either Ctrl, 7 either Shift, 8 either Alt.
    UINT keyState;
    int x, y;   // screen position of the cursor recorded with the message being handled
};

class HyperlinkCtrl : public Window {
public:
    HyperlinkCtrl();
    ~HyperlinkCtrl() override;

    // Creates a push button child and takes it over.
    bool Create(HWND parent, UINT id, const RECT& rect, DWORD style = WS_VISIBLE | WS_TABSTOP);

    // nullptr counts as empty. Once the window exists, each refreshes the tooltip, which shows
    // the first non-empty of tooltip text, URL and link text; text and URL also redraw.
    void SetLinkText(const char* text);
    void SetLinkUrl(const char* url);
    void SetToolTipText(const char* text);

    // Asks the parent (HLN_NAVIGATE), marks the link visited and opens the URL (or, without
    // one, the link text) with the shell's "open".
    void Navigate();

    BOOL PreTranslateMessage(MSG* message) override;

protected:
    void PreSubclassWindow() override;

    DECLARE_MESSAGE_MAP()

private:
    void InitToolTip();
    void UpdateToolTipText();
    const std::string& ToolTipTextToShow() const;
    void Redraw(UINT flags);
    bool IsDisabled() const;
    int Notify(int code, int value);
    void Paint(HDC dc);
    void MakeFonts();
    void ReleaseOwnCapture();
    void BeginPress(LPARAM point, DWORD inTextFlags);
    void DragLink(bool rightButton);
    void CancelPointerTracking();

    BOOL OnEraseBkgnd(HDC dc);
    void OnPaint();
    LRESULT OnPrintClient(WPARAM dc, LPARAM flags);
    BOOL OnSetCursor(HWND window, UINT hitTest, UINT mouseMessage);
    LRESULT OnGetDlgCode(WPARAM key, LPARAM message);
    LRESULT OnLButtonDown(WPARAM flags, LPARAM point);
    LRESULT OnLButtonUp(WPARAM flags, LPARAM point);
    LRESULT OnLButtonDblClk(WPARAM flags, LPARAM point);
    LRESULT OnRButtonDown(WPARAM flags, LPARAM point);
    LRESULT OnRButtonUp(WPARAM flags, LPARAM point);
    LRESULT OnRButtonDblClk(WPARAM flags, LPARAM point);
    LRESULT OnMButtonDown(WPARAM flags, LPARAM point);
    LRESULT OnMButtonUp(WPARAM flags, LPARAM point);
    LRESULT OnMButtonDblClk(WPARAM flags, LPARAM point);
    LRESULT OnKeyDown(WPARAM key, LPARAM flags);
    void OnMouseMove(UINT flags, POINT point);
    LRESULT OnMouseLeave(WPARAM, LPARAM);
    LRESULT OnMouseHover(WPARAM, LPARAM);
    LRESULT OnSetFocus(WPARAM, LPARAM);
    LRESULT OnKillFocus(WPARAM, LPARAM);
    LRESULT OnEnable(WPARAM enabled, LPARAM);
    LRESULT OnDestroy(WPARAM, LPARAM);
    LRESULT OnFontChanged(WPARAM, LPARAM);

    SHELLEXECUTEINFOA m_request{};
    UniqueWindow m_toolTip;
    COLORREF m_backColor;
    COLORREF m_linkColor;
    COLORREF m_disabledColor;
    COLORREF m_visitedColor;
    COLORREF m_hoverColor;
    std::string m_url;
    std::string m_text;
    std::string m_toolTipText;
    POINT m_pressPoint{};
    DWORD m_state;
    RECT m_textRect{};
    UniqueFont m_font;
    UniqueFont m_underlineFont;
};
