#include "controls/HyperlinkCtrl.h"

#include <commctrl.h>

#include <cstdlib>
#include <cstring>

#include "controls/UrlDataObject.h"
#include "framework/Dpi.h"
#include "framework/Resources.h"

namespace {

// Flags of m_state.
constexpr DWORD HoverEffect = 0x00000001;
constexpr DWORD Visited = 0x00000004;
constexpr DWORD ToolTipOn = 0x00000010;
constexpr DWORD RightPress = 0x01000000;
constexpr DWORD SuppressClick = 0x02000000;
constexpr DWORD MouseInside = 0x20000000;
constexpr DWORD PressInText = 0x40000000;
constexpr DWORD Pressed = 0x80000000;

constexpr UINT ToolId = 1;
constexpr COLORREF VisitedLinkColor = RGB(128, 0, 128);

// A dragged link is at most this many bytes, followed by a zero.
constexpr std::size_t MaxDraggedBytes = 4096;
constexpr DWORD LeftDragEffects = DROPEFFECT_LINK | DROPEFFECT_SCROLL;
constexpr DWORD RightDragEffects =
    DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK | DROPEFFECT_SCROLL;

// The clipboard format of a dragged link, registered when the program starts.
const UINT CF_URL = ::RegisterClipboardFormatA("UniformResourceLocator");

// Loaded by the first link and shared by all of them; a shared cursor is never freed.
HCURSOR handCursor = nullptr;

POINT PointFromLParam(LPARAM value)
{
    return POINT{ static_cast<short>(LOWORD(value)), static_cast<short>(HIWORD(value)) };
}

POINT MessageCursorPos()
{
    return PointFromLParam(static_cast<LPARAM>(::GetMessagePos()));
}

// Some desktop themes give the hot-tracking colour to highlight backgrounds; text drawn in it
// all but vanishes on the button face. Such a colour is not used for the hovered link.
COLORREF LegibleHoverColor(COLORREF hover, COLORREF link, COLORREF back)
{
    const auto luma = [](COLORREF color) {
        return (299 * GetRValue(color) + 587 * GetGValue(color) + 114 * GetBValue(color)) / 1000;
    };
    return std::abs(luma(hover) - luma(back)) >= 64 ? hover : link;
}

UINT ModifierKeyState()
{
    static const int keys[] = { VK_RCONTROL, VK_LCONTROL, VK_RSHIFT, VK_LSHIFT, VK_RMENU,
                                VK_LMENU, VK_CONTROL, VK_SHIFT, VK_MENU };
    UINT state = 0;
    for (UINT bit = 0; bit < sizeof keys / sizeof keys[0]; ++bit) {
        if (::GetAsyncKeyState(keys[bit]) & 0x8000)
            state |= 1u << bit;
    }
    return state;
}

}  // namespace

BEGIN_MESSAGE_MAP(HyperlinkCtrl, Window)
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
    ON_MESSAGE(WM_PRINTCLIENT, OnPrintClient)
    ON_WM_SETCURSOR()
    ON_MESSAGE(WM_GETDLGCODE, OnGetDlgCode)
    ON_MESSAGE(WM_LBUTTONDOWN, OnLButtonDown)
    ON_MESSAGE(WM_LBUTTONUP, OnLButtonUp)
    ON_MESSAGE(WM_LBUTTONDBLCLK, OnLButtonDblClk)
    ON_MESSAGE(WM_RBUTTONDOWN, OnRButtonDown)
    ON_MESSAGE(WM_RBUTTONUP, OnRButtonUp)
    ON_MESSAGE(WM_RBUTTONDBLCLK, OnRButtonDblClk)
    ON_MESSAGE(WM_MBUTTONDOWN, OnMButtonDown)
    ON_MESSAGE(WM_MBUTTONUP, OnMButtonUp)
    ON_MESSAGE(WM_MBUTTONDBLCLK, OnMButtonDblClk)
    ON_MESSAGE(WM_KEYDOWN, OnKeyDown)
    ON_WM_MOUSEMOVE()
    ON_MESSAGE(WM_MOUSELEAVE, OnMouseLeave)
    ON_MESSAGE(WM_MOUSEHOVER, OnMouseHover)
    ON_MESSAGE(WM_SETFOCUS, OnSetFocus)
    ON_MESSAGE(WM_KILLFOCUS, OnKillFocus)
    ON_MESSAGE(WM_ENABLE, OnEnable)
    ON_MESSAGE(WM_DESTROY, OnDestroy)
    ON_MESSAGE(WM_SETFONT, OnFontChanged)
    ON_MESSAGE(WM_DPICHANGED_AFTERPARENT, OnFontChanged)
END_MESSAGE_MAP()

HyperlinkCtrl::HyperlinkCtrl()
    : m_backColor(::GetSysColor(COLOR_BTNFACE)),
      m_linkColor(::GetSysColor(COLOR_HIGHLIGHT)),
      m_disabledColor(::GetSysColor(COLOR_GRAYTEXT)),
      m_visitedColor(VisitedLinkColor),
      m_hoverColor(LegibleHoverColor(::GetSysColor(COLOR_HOTLIGHT), m_linkColor, m_backColor)),
      m_state(HoverEffect | ToolTipOn)
{
}

HyperlinkCtrl::~HyperlinkCtrl() = default;

bool HyperlinkCtrl::Create(HWND parent, UINT id, const RECT& rect, DWORD style)
{
    return CreateEx(0, "BUTTON", m_text.c_str(), style | WS_CHILD | BS_PUSHBUTTON, rect, parent,
                    id);
}

void HyperlinkCtrl::SetLinkText(const char* text)
{
    m_text = text ? text : "";
    UpdateToolTipText();
    Redraw(RDW_INVALIDATE);
}

void HyperlinkCtrl::SetLinkUrl(const char* url)
{
    m_url = url ? url : "";
    UpdateToolTipText();
    Redraw(RDW_INVALIDATE);
}

void HyperlinkCtrl::SetToolTipText(const char* text)
{
    m_toolTipText = text ? text : "";
    UpdateToolTipText();
}

const std::string& HyperlinkCtrl::ToolTipTextToShow() const
{
    if (!m_toolTipText.empty())
        return m_toolTipText;
    return m_url.empty() ? m_text : m_url;
}

void HyperlinkCtrl::PreSubclassWindow()
{
    Window::PreSubclassWindow();
    InitToolTip();
}

void HyperlinkCtrl::InitToolTip()
{
    if (handCursor == nullptr) {
        handCursor = static_cast<HCURSOR>(::LoadImageA(nullptr, IDC_HAND, IMAGE_CURSOR, 0, 0,
                                                       LR_SHARED | LR_DEFAULTSIZE));
    }
    INITCOMMONCONTROLSEX classes = { sizeof classes, ICC_BAR_CLASSES };
    ::InitCommonControlsEx(&classes);
    m_toolTip.reset(::CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP, CW_USEDEFAULT,
                                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd,
                                      nullptr, nullptr, nullptr));
    if (!m_toolTip)
        return;
    TTTOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = m_hWnd;
    tool.uId = ToolId;
    ::GetClientRect(m_hWnd, &tool.rect);
    tool.lpszText = const_cast<char*>(ToolTipTextToShow().c_str());
    ::SendMessageA(m_toolTip.get(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    ::SendMessageA(m_toolTip.get(), TTM_ACTIVATE, TRUE, 0);
}

void HyperlinkCtrl::UpdateToolTipText()
{
    if (!m_toolTip)
        return;
    TTTOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = m_hWnd;
    tool.uId = ToolId;
    tool.lpszText = const_cast<char*>(ToolTipTextToShow().c_str());
    ::SendMessageA(m_toolTip.get(), TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
}

BOOL HyperlinkCtrl::PreTranslateMessage(MSG* message)
{
    if (m_toolTip && !IsDisabled()) {
        ::SendMessageA(m_toolTip.get(), TTM_ACTIVATE, (m_state & ToolTipOn) != 0, 0);
        ::SendMessageA(m_toolTip.get(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(message));
    }
    return Window::PreTranslateMessage(message);
}

void HyperlinkCtrl::Redraw(UINT flags)
{
    if (m_hWnd != nullptr)
        ::RedrawWindow(m_hWnd, nullptr, nullptr, flags);
}

bool HyperlinkCtrl::IsDisabled() const
{
    return (::GetWindowLongA(m_hWnd, GWL_STYLE) & WS_DISABLED) != 0;
}

int HyperlinkCtrl::Notify(int code, int value)
{
    const HWND parent = m_hWnd ? ::GetParent(m_hWnd) : nullptr;
    if (parent == nullptr)
        return 0;
    NMHYPERLINK record = {};
    record.hdr.hwndFrom = m_hWnd;
    record.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(m_hWnd));
    record.hdr.code = static_cast<UINT>(code);
    record.value = value;
    record.keyState = ModifierKeyState();
    const POINT cursor = MessageCursorPos();
    record.x = cursor.x;
    record.y = cursor.y;
    ::SendMessageA(parent, WM_NOTIFY, record.hdr.idFrom, reinterpret_cast<LPARAM>(&record));
    return record.value;
}

void HyperlinkCtrl::Navigate()
{
    if (Notify(HLN_NAVIGATE, 1) == 0)
        return;
    // Visited before the attempt: a target the shell cannot open still shows as followed.
    m_state |= Visited;
    Redraw(RDW_INVALIDATE);
    m_request = {};
    m_request.cbSize = sizeof m_request;
    m_request.hwnd = m_hWnd;
    m_request.lpVerb = "open";
    m_request.lpFile = m_url.empty() ? m_text.c_str() : m_url.c_str();
    m_request.nShow = SW_SHOWNORMAL;
    ::ShellExecuteExA(&m_request);
}

void HyperlinkCtrl::MakeFonts()
{
    if (m_font)
        return;
    auto source = reinterpret_cast<HFONT>(::SendMessageA(m_hWnd, WM_GETFONT, 0, 0));
    if (source == nullptr)
        source = static_cast<HFONT>(::GetStockObject(SYSTEM_FONT));
    LOGFONTA description = {};
    if (::GetObjectA(source, sizeof description, &description) == 0)
        return;
    m_font.reset(::CreateFontIndirectA(&description));
    description.lfUnderline = TRUE;
    m_underlineFont.reset(::CreateFontIndirectA(&description));
}

void HyperlinkCtrl::Paint(HDC dc)
{
    const int saved = ::SaveDC(dc);
    const int edgeX = ::GetSystemMetrics(SM_CXEDGE);
    const int edgeY = ::GetSystemMetrics(SM_CYEDGE);
    MakeFonts();

    RECT client;
    ::GetClientRect(m_hWnd, &client);
    const bool disabled = IsDisabled();
    COLORREF color = disabled ? m_disabledColor
                              : (m_state & Visited) ? m_visitedColor : m_linkColor;
    HFONT font = m_underlineFont.get();
    if (!disabled && (m_state & (HoverEffect | MouseInside)) == (HoverEffect | MouseInside)) {
        POINT cursor = MessageCursorPos();
        ::ScreenToClient(m_hWnd, &cursor);
        if (::PtInRect(&client, cursor))
            color = m_hoverColor;
        else
            font = m_font.get();   // a captured press dragged outside: plain text
    }
    if (font != nullptr)
        ::SelectObject(dc, font);

    const int length = static_cast<int>(m_text.size());
    SIZE extent = {};
    ::GetTextExtentPoint32A(dc, m_text.c_str(), length, &extent);
    m_textRect = { edgeX, edgeY, extent.cx + 2 * edgeX, extent.cy + 2 * edgeY };
    ::InflateRect(&m_textRect, edgeX / 2, edgeY / 2);

    ::SetTextColor(dc, color);
    ::SetBkColor(dc, m_backColor);
    ::ExtTextOutA(dc, edgeX, edgeY, ETO_OPAQUE, &client, m_text.c_str(),
                  static_cast<UINT>(length), nullptr);
    if (::GetFocus() == m_hWnd)
        ::DrawFocusRect(dc, &m_textRect);
    ::RestoreDC(dc, saved);
}

BOOL HyperlinkCtrl::OnEraseBkgnd(HDC)
{
    return FALSE;   // the paint fills the background
}

void HyperlinkCtrl::OnPaint()
{
    PAINTSTRUCT paint;
    const HDC dc = ::BeginPaint(m_hWnd, &paint);
    if (dc != nullptr) {
        Paint(dc);
        ::EndPaint(m_hWnd, &paint);
    }
}

LRESULT HyperlinkCtrl::OnPrintClient(WPARAM dc, LPARAM)
{
    Paint(reinterpret_cast<HDC>(dc));
    return 0;
}

BOOL HyperlinkCtrl::OnSetCursor(HWND, UINT hitTest, UINT)
{
    if (hitTest != HTCLIENT || handCursor == nullptr)
        return FALSE;
    ::SetCursor(handCursor);
    return TRUE;
}

// The dialog manager would turn Enter on a focused push button into a click command for the
// parent; the link wants the key itself.
LRESULT HyperlinkCtrl::OnGetDlgCode(WPARAM, LPARAM message)
{
    LRESULT code = Default();
    const MSG* pending = reinterpret_cast<const MSG*>(message);
    if (pending != nullptr && pending->message == WM_KEYDOWN && pending->wParam == VK_RETURN)
        code |= DLGC_WANTMESSAGE;
    return code;
}

void HyperlinkCtrl::ReleaseOwnCapture()
{
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
}

void HyperlinkCtrl::BeginPress(LPARAM point, DWORD inTextFlags)
{
    const POINT at = PointFromLParam(point);
    if (::PtInRect(&m_textRect, at)) {
        m_pressPoint = at;
        m_state |= inTextFlags;
    } else {
        m_state &= ~(PressInText | RightPress);
    }
    m_state |= Pressed;
    ::SetFocus(m_hWnd);
    ::SetCapture(m_hWnd);
}

LRESULT HyperlinkCtrl::OnLButtonDown(WPARAM, LPARAM point)
{
    if (!IsDisabled())
        BeginPress(point, PressInText);
    return 0;
}

LRESULT HyperlinkCtrl::OnLButtonUp(WPARAM, LPARAM point)
{
    if (IsDisabled())
        return 0;
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    const bool open = (m_state & Pressed) && ::PtInRect(&client, PointFromLParam(point));
    m_state &= ~(Pressed | PressInText | MouseInside);
    ReleaseOwnCapture();
    if (open)
        Navigate();
    return 0;
}

LRESULT HyperlinkCtrl::OnLButtonDblClk(WPARAM, LPARAM)
{
    if (!IsDisabled())
        Notify(NM_DBLCLK, 0);
    return 0;
}

LRESULT HyperlinkCtrl::OnRButtonDown(WPARAM, LPARAM point)
{
    if (!IsDisabled())
        BeginPress(point, PressInText | RightPress);
    return 0;
}

LRESULT HyperlinkCtrl::OnRButtonUp(WPARAM, LPARAM)
{
    if (IsDisabled())
        return 0;
    const bool click = (m_state & SuppressClick) == 0;
    m_state &= ~(SuppressClick | Pressed | PressInText | RightPress);
    ReleaseOwnCapture();
    if (click)
        Notify(NM_RCLICK, 0);
    return 0;
}

LRESULT HyperlinkCtrl::OnRButtonDblClk(WPARAM, LPARAM)
{
    if (IsDisabled())
        return 0;
    m_state |= SuppressClick;
    ReleaseOwnCapture();
    Notify(NM_RDBLCLK, 0);
    return 0;
}

LRESULT HyperlinkCtrl::OnMButtonDown(WPARAM, LPARAM)
{
    ::SetFocus(m_hWnd);
    ::SetCapture(m_hWnd);
    return 0;
}

LRESULT HyperlinkCtrl::OnMButtonUp(WPARAM, LPARAM)
{
    ReleaseOwnCapture();   // the middle press captures even while disabled
    if (IsDisabled())
        return 0;
    const bool click = (m_state & SuppressClick) == 0;
    m_state &= ~SuppressClick;
    if (click)
        Notify(HLN_MIDDLECLICK, 0);
    return 0;
}

LRESULT HyperlinkCtrl::OnMButtonDblClk(WPARAM, LPARAM)
{
    if (IsDisabled())
        return 0;
    m_state |= SuppressClick;
    Notify(HLN_MIDDLEDBLCLK, 0);
    return 0;
}

LRESULT HyperlinkCtrl::OnKeyDown(WPARAM key, LPARAM)
{
    // No key reaches the button: Space would otherwise click it.
    if (!IsDisabled() && key == VK_RETURN && ::GetFocus() == m_hWnd)
        Navigate();
    return 0;
}

void HyperlinkCtrl::OnMouseMove(UINT, POINT point)
{
    if (IsDisabled())
        return;
    if ((m_state & MouseInside) == 0) {
        TRACKMOUSEEVENT tracking = { sizeof tracking, TME_HOVER | TME_LEAVE, m_hWnd,
                                     HOVER_DEFAULT };
        ::TrackMouseEvent(&tracking);
        m_state |= MouseInside;
        Notify(HLN_MOUSEENTER, 0);
    }
    Redraw(RDW_INVALIDATE | RDW_UPDATENOW);

    if ((m_state & PressInText) == 0)
        return;
    if (std::abs(point.x - m_pressPoint.x) < ::GetSystemMetrics(SM_CXDRAG) &&
        std::abs(point.y - m_pressPoint.y) < ::GetSystemMetrics(SM_CYDRAG))
        return;
    const bool rightButton = (m_state & RightPress) != 0;
    if (Notify(rightButton ? HLN_RIGHTBEGINDRAG : HLN_BEGINDRAG, 1) == 0) {
        m_state &= ~(PressInText | RightPress);   // still pressed: the release may open the link
        return;
    }
    DragLink(rightButton);
    m_state &= ~(RightPress | MouseInside | PressInText | Pressed);
}

void HyperlinkCtrl::DragLink(bool rightButton)
{
    GlobalBlock block(::GlobalAlloc(GMEM_DDESHARE | GMEM_ZEROINIT, MaxDraggedBytes + 1));
    auto* bytes = block ? static_cast<char*>(::GlobalLock(block.get())) : nullptr;
    if (bytes == nullptr) {
        ::MessageBeep(MB_ICONEXCLAMATION);
        return;
    }
    ReleaseOwnCapture();
    const std::string& target = m_url.empty() ? m_text : m_url;
    std::memcpy(bytes, target.data(), MultibytePrefixLength(target, MaxDraggedBytes));
    bytes[MaxDraggedBytes] = '\0';
    ::GlobalUnlock(block.get());

    const ComPtr<IDataObject> data = MakeBlockDataObject(std::move(block),
                                                         static_cast<CLIPFORMAT>(CF_URL));
    const ComPtr<IDropSource> source = MakeButtonDropSource(rightButton ? MK_RBUTTON : MK_LBUTTON);
    DWORD effect = DROPEFFECT_NONE;
    const HRESULT outcome = ::DoDragDrop(data.get(), source.get(),
                                         rightButton ? RightDragEffects : LeftDragEffects, &effect);
    if (FAILED(outcome))
        effect = DROPEFFECT_NONE;   // e.g. OLE not initialised on this thread
    Notify(rightButton ? HLN_RIGHTDRAGEND : HLN_DRAGEND, static_cast<int>(effect));
}

void HyperlinkCtrl::CancelPointerTracking()
{
    TRACKMOUSEEVENT tracking = { sizeof tracking, TME_CANCEL | TME_HOVER | TME_LEAVE, m_hWnd, 0 };
    ::TrackMouseEvent(&tracking);
}

LRESULT HyperlinkCtrl::OnMouseLeave(WPARAM, LPARAM)
{
    CancelPointerTracking();
    m_state &= ~MouseInside;
    Notify(HLN_MOUSELEAVE, 0);
    Redraw(RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return 0;
}

LRESULT HyperlinkCtrl::OnMouseHover(WPARAM, LPARAM)
{
    Notify(HLN_MOUSEHOVER, 0);
    return 0;
}

LRESULT HyperlinkCtrl::OnSetFocus(WPARAM, LPARAM)
{
    const LRESULT result = Default();
    Notify(NM_SETFOCUS, 0);
    return result;
}

LRESULT HyperlinkCtrl::OnKillFocus(WPARAM, LPARAM)
{
    const LRESULT result = Default();   // the button drops its focus state and repaints
    if (m_state & MouseInside) {
        ReleaseOwnCapture();
        CancelPointerTracking();
        m_state &= ~(MouseInside | PressInText | Pressed);
        Redraw(RDW_INVALIDATE | RDW_UPDATENOW);
    }
    Notify(NM_KILLFOCUS, 0);
    return result;
}

LRESULT HyperlinkCtrl::OnEnable(WPARAM enabled, LPARAM)
{
    const LONG style = ::GetWindowLongA(m_hWnd, GWL_STYLE);
    const LONG wanted = enabled ? (style & ~WS_DISABLED) : (style | WS_DISABLED);
    if (wanted != style)
        ::SetWindowLongA(m_hWnd, GWL_STYLE, wanted);
    Redraw(RDW_INVALIDATE | RDW_UPDATENOW);
    return 0;
}

// A new font (the dialog's, scaled for another DPI): the link's two are made again from it when
// it is next painted.
LRESULT HyperlinkCtrl::OnFontChanged(WPARAM, LPARAM)
{
    m_font.reset();
    m_underlineFont.reset();
    return Default();
}

LRESULT HyperlinkCtrl::OnDestroy(WPARAM, LPARAM)
{
    m_toolTip.reset();
    return Default();
}
