#include "controls/IconButton.h"

#include <string>

#include <vsstyle.h>

#include "framework/Application.h"
#include "framework/Dpi.h"
#include "framework/Resources.h"

namespace {

constexpr int IconMarginAt96 = 6;

int Width(const RECT& rect) { return rect.right - rect.left; }
int Height(const RECT& rect) { return rect.bottom - rect.top; }

}  // namespace

const UINT WM_PUSH_DEFAULT_BUTTON = ::RegisterWindowMessageA("Push default button");

BEGIN_MESSAGE_MAP(IconButton, Window)
    ON_WM_MOUSEMOVE()
    ON_MESSAGE(WM_MOUSELEAVE, OnMouseLeave)
    ON_MESSAGE(WM_SETFOCUS, OnSetFocus)
    ON_MESSAGE(WM_KILLFOCUS, OnKillFocus)
    ON_REGISTERED_MESSAGE(WM_PUSH_DEFAULT_BUTTON, OnPushDefaultButton)
    ON_MESSAGE(WM_DPICHANGED_AFTERPARENT, OnDpiChanged)
    ON_DRAWITEM_REFLECT(DrawItem)
END_MESSAGE_MAP()

IconButton::~IconButton() = default;

void IconButton::SetIcon(UINT iconId)
{
    m_iconId = iconId;
    const UINT dpi = DpiOf(m_hWnd);
    m_iconSize = SmallIconSize(dpi);
    m_margin = ScaleForDpi(IconMarginAt96, dpi);
    // Loaded at the size it is drawn at: the resource's image of that size, not a stretched one.
    m_hIcon.reset(static_cast<HICON>(::LoadImageA(AppInstance(), MAKEINTRESOURCEA(iconId),
                                                  IMAGE_ICON, m_iconSize, m_iconSize, LR_DEFAULTCOLOR)));
    m_theme.Open(m_hWnd);
    if (IsWindow())
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

LRESULT IconButton::OnDpiChanged(WPARAM, LPARAM)
{
    if (m_iconId != 0)
        SetIcon(m_iconId);
    return 0;
}

void IconButton::OnMouseMove(UINT, POINT)
{
    if (!m_bHover) {
        TRACKMOUSEEVENT track = {};
        track.cbSize = sizeof(track);
        track.dwFlags = TME_LEAVE;
        track.hwndTrack = m_hWnd;
        if (::TrackMouseEvent(&track)) {
            m_bHover = true;
            ::InvalidateRect(m_hWnd, nullptr, TRUE);
        }
    }
    // The button's own handling releases its pushed look when the pressed mouse is dragged off.
    Default();
}

LRESULT IconButton::OnMouseLeave(WPARAM, LPARAM)
{
    if (m_bHover) {
        m_bHover = false;
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
    }
    return 1;
}

// A button may only invalidate itself when the focus leaves it, and an Enter already queued is
// handled before that painting: the focus change itself keeps the default flag right.
LRESULT IconButton::OnSetFocus(WPARAM, LPARAM)
{
    m_bDefault = true;
    return Default();
}

LRESULT IconButton::OnKillFocus(WPARAM, LPARAM)
{
    m_bDefault = false;
    return Default();
}

LRESULT IconButton::OnPushDefaultButton(WPARAM, LPARAM)
{
    if (m_bDefault) {
        ::PostMessageA(::GetParent(m_hWnd), WM_COMMAND,
                       MAKEWPARAM(::GetDlgCtrlID(m_hWnd), BN_CLICKED),
                       reinterpret_cast<LPARAM>(m_hWnd));
    }
    return 1;
}

void IconButton::DrawClassicBackground(HDC dc, RECT& frame, bool pressed, bool focused) const
{
    if (focused) {
        ::FrameRect(dc, &frame, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        ::InflateRect(&frame, -1, -1);
    }
    ::FillRect(dc, &frame, ::GetSysColorBrush(COLOR_BTNFACE));
    if (pressed) {
        ::FrameRect(dc, &frame, ::GetSysColorBrush(COLOR_BTNSHADOW));
    } else {
        RECT edge = frame;
        ::DrawFrameControl(dc, &edge, DFC_BUTTON, DFCS_BUTTONPUSH | (m_bHover ? DFCS_HOT : 0));
    }
}

void IconButton::DrawCaption(HDC dc, const char* text, RECT textRect, bool pressed,
                             bool disabled) const
{
    const bool themed = m_theme.IsOpen();
    if (pressed && !themed)
        ::OffsetRect(&textRect, 1, 1);

    // Measure the wrapped block and centre it in textRect.
    RECT block = textRect;
    ::DrawTextA(dc, text, -1, &block, DT_CALCRECT | DT_WORDBREAK | DT_CENTER);
    ::OffsetRect(&block, (Width(textRect) - Width(block)) / 2,
                 (Height(textRect) - Height(block)) / 2);

    if (themed) {
        const std::wstring wide = Widen(text);
        m_theme.DrawThemedText(dc, PBS_NORMAL, wide.c_str(), static_cast<int>(wide.size()),
                               DT_CENTER | DT_VCENTER | DT_SINGLELINE, 0, block);
        return;
    }
    if (disabled) {
        RECT embossed = block;
        ::OffsetRect(&embossed, 1, 1);
        ::SetTextColor(dc, ::GetSysColor(COLOR_3DHILIGHT));
        ::DrawTextA(dc, text, -1, &embossed, DT_WORDBREAK | DT_CENTER);
        ::SetTextColor(dc, ::GetSysColor(COLOR_BTNSHADOW));
    } else {
        ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
    }
    ::DrawTextA(dc, text, -1, &block, DT_WORDBREAK | DT_CENTER);
}

void IconButton::DrawItem(DRAWITEMSTRUCT* item)
{
    const HDC dc = item->hDC;
    const bool pressed = (item->itemState & ODS_SELECTED) != 0;
    const bool focused = (item->itemState & ODS_FOCUS) != 0;
    const bool disabled = (item->itemState & ODS_DISABLED) != 0;
    const bool themed = m_theme.IsOpen();
    const RECT& itemRect = item->rcItem;

    const int savedDC = ::SaveDC(dc);
    ::SetBkMode(dc, TRANSPARENT);

    RECT frame = itemRect;
    if (themed) {
        const int state = pressed ? PBS_PRESSED
                        : m_bHover ? PBS_HOT
                        : focused ? PBS_DEFAULTED
                        : PBS_NORMAL;
        m_theme.DrawBackground(dc, state, frame, nullptr);
    } else {
        DrawClassicBackground(dc, frame, pressed, focused);
    }

    const std::string text = GetWindowText();
    RECT textRect = itemRect;
    int iconLeft;
    int iconTop;
    if (!text.empty()) {
        iconLeft = itemRect.left + m_margin;
        iconTop = itemRect.top + (Height(itemRect) - m_iconSize) / 2;
        RECT client;
        ::GetClientRect(m_hWnd, &client);
        textRect.left = m_iconSize + m_margin;
        textRect.right = client.right - m_margin;
    } else {
        iconLeft = itemRect.left + (Width(itemRect) - m_iconSize) / 2;
        iconTop = itemRect.top;
    }
    if (pressed && !themed) {
        ++iconLeft;
        ++iconTop;
    }
    if (m_hIcon) {
        ::DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(m_hIcon.get()), 0, iconLeft,
                     iconTop, m_iconSize, m_iconSize, DST_ICON | (disabled ? DSS_DISABLED : DSS_NORMAL));
    }

    if (!text.empty())
        DrawCaption(dc, text.c_str(), textRect, pressed, disabled);

    if (focused) {
        ::InflateRect(&frame, -3, -3);
        ::DrawFocusRect(dc, &frame);
    }
    m_bDefault = focused;
    ::RestoreDC(dc, savedDC);
}
