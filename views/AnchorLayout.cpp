#include "views/AnchorLayout.h"

#include "framework/Dpi.h"
#include "framework/Window.h"

namespace {

// OBM_SIZE: the system's size-grip picture, drawn for 96 DPI.
constexpr UINT SystemSizeGripBitmap = 32766;
constexpr int GripBoxSize = 24;

// The size-grip picture at dpi: the system's, stretched from 96 DPI.
UniqueBitmap LoadGripBitmap(UINT dpi)
{
    UniqueBitmap bitmap(::LoadBitmapA(nullptr, MAKEINTRESOURCEA(SystemSizeGripBitmap)));
    BITMAP size = {};
    if (!bitmap || dpi == kDefaultDpi || !::GetObjectA(bitmap.get(), sizeof size, &size))
        return bitmap;
    return UniqueBitmap(static_cast<HBITMAP>(
        ::CopyImage(bitmap.get(), IMAGE_BITMAP, ScaleForDpi(size.bmWidth, dpi),
                    ScaleForDpi(size.bmHeight, dpi), 0)));
}

// control's window rectangle in the client coordinates of its parent dialog.
bool ControlRect(HWND control, HWND dialog, RECT& rect)
{
    if (!::GetWindowRect(control, &rect))
        return false;
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return true;
}

}  // namespace

AnchorLayout::AnchorLayout(const Window& owner, UINT resizeFlags, bool showGrip)
    : m_owner(owner), m_resizeFlags(resizeFlags), m_showGrip(showGrip)
{
}

AnchorLayout::~AnchorLayout()
{
    // The grip must not outlive the bitmap it shows.
    DestroyGrip();
}

void AnchorLayout::Initialize()
{
    Clear();
    DestroyGrip();
    const HWND dialog = m_owner.GetSafeHwnd();
    RECT client;
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    if (!::GetClientRect(dialog, &client) || !::GetWindowPlacement(dialog, &placement))
        return;
    m_initialClientWidth = client.right - client.left;
    m_initialClientHeight = client.bottom - client.top;
    m_initialWindowWidth = placement.rcNormalPosition.right - placement.rcNormalPosition.left;
    m_initialWindowHeight = placement.rcNormalPosition.bottom - placement.rcNormalPosition.top;

    if (m_showGrip && !CreateGrip(dialog, DpiOf(dialog)))
        m_showGrip = false;
}

void AnchorLayout::Rescale(UINT oldDpi, UINT newDpi)
{
    if (!IsInitialized() || oldDpi == 0 || oldDpi == newDpi)
        return;
    m_initialClientWidth = RescaleForDpi(m_initialClientWidth, oldDpi, newDpi);
    m_initialClientHeight = RescaleForDpi(m_initialClientHeight, oldDpi, newDpi);
    m_initialWindowWidth = RescaleForDpi(m_initialWindowWidth, oldDpi, newDpi);
    m_initialWindowHeight = RescaleForDpi(m_initialWindowHeight, oldDpi, newDpi);
    for (AnchorEntry& entry : m_anchors) {
        for (int* edge : {&entry.origin.left, &entry.origin.top, &entry.origin.right, &entry.origin.bottom})
            *edge = RescaleForDpi(*edge, oldDpi, newDpi);
    }
    if (m_showGrip) {
        m_anchors.remove_if([this](const AnchorEntry& entry) { return entry.control == m_grip; });
        DestroyGrip();
        m_showGrip = CreateGrip(m_owner.GetSafeHwnd(), newDpi);
    }
}

bool AnchorLayout::CreateGrip(HWND dialog, UINT dpi)
{
    UniqueBitmap bitmap = LoadGripBitmap(dpi);
    if (!bitmap)
        return false;
    const int w = m_initialClientWidth;
    const int h = m_initialClientHeight;
    const int box = ScaleForDpi(GripBoxSize, dpi);
    const auto instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrA(dialog, GWLP_HINSTANCE));
    m_grip = ::CreateWindowExA(WS_EX_TRANSPARENT, "STATIC", "", WS_CHILD | SS_BITMAP,
                               w - box, h - box, box, box, dialog,
                               reinterpret_cast<HMENU>(static_cast<UINT_PTR>(GripId)), instance,
                               nullptr);
    if (!m_grip)
        return false;
    // The static control takes the bitmap's own size; its lower right corner goes to the
    // client area's.
    ::SendMessageA(m_grip, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap.get()));
    RECT gripRect;
    if (!::GetWindowRect(m_grip, &gripRect)
        || !::SetWindowPos(m_grip, nullptr, w - (gripRect.right - gripRect.left),
                           h - (gripRect.bottom - gripRect.top), 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE)) {
        DestroyGrip();
        return false;
    }
    m_gripBitmap = std::move(bitmap);
    AddAnchorPercent(m_grip, 100, 100, 100, 100);
    ::ShowWindow(m_grip, SW_SHOW);
    return true;
}

void AnchorLayout::DestroyGrip()
{
    // Once the dialog window is gone, the grip went with it and its handle may name another
    // window by now.
    const HWND dialog = m_owner.GetSafeHwnd();
    if (m_grip && dialog && ::IsWindow(m_grip) && ::GetParent(m_grip) == dialog)
        ::DestroyWindow(m_grip);
    m_grip = nullptr;
    m_gripBitmap.reset();
}

bool AnchorLayout::AddAnchorPercent(HWND control, BYTE leftPercent, BYTE rightPercent,
                                    BYTE topPercent, BYTE bottomPercent)
{
    const HWND dialog = m_owner.GetSafeHwnd();
    AnchorEntry entry;
    entry.control = control;
    entry.percents.left = leftPercent;
    entry.percents.right = rightPercent;
    entry.percents.top = topPercent;
    entry.percents.bottom = bottomPercent;
    RECT rect;
    RECT client;
    if (!dialog || !::IsWindow(dialog) || !control || !::IsWindow(control) || !IsInitialized()
        || !entry.percents.MovesAnything() || !ControlRect(control, dialog, rect)
        || !::GetClientRect(dialog, &client))
        return false;
    entry.origin.left = rect.left;
    entry.origin.top = rect.top;
    entry.origin.right = rect.right;
    entry.origin.bottom = rect.bottom;
    m_anchors.push_front(entry);
    Place(entry, LayoutGrowth(client.right - client.left, m_initialClientWidth),
          LayoutGrowth(client.bottom - client.top, m_initialClientHeight));
    return true;
}

bool AnchorLayout::AddAnchor(HWND control, int horizontalMode, int verticalMode)
{
    const AnchorPercents percents = AnchorPercentsFor(horizontalMode, verticalMode);
    return AddAnchorPercent(control, percents.left, percents.right, percents.top, percents.bottom);
}

void AnchorLayout::Place(const AnchorEntry& entry, int dx, int dy) const
{
    if (!::IsWindow(entry.control))
        return;
    const AnchorRect placed = AnchoredRect(entry.origin, entry.percents, dx, dy);
    ::SetWindowPos(entry.control, nullptr, placed.left, placed.top, placed.right - placed.left,
                   placed.bottom - placed.top, SWP_NOZORDER | SWP_NOREDRAW);
}

void AnchorLayout::Relayout(int cx, int cy)
{
    const HWND dialog = m_owner.GetSafeHwnd();
    if (!IsInitialized() || !dialog || !::IsWindow(dialog))
        return;
    const int dx = LayoutGrowth(cx, m_initialClientWidth);
    const int dy = LayoutGrowth(cy, m_initialClientHeight);
    for (const AnchorEntry& entry : m_anchors)
        Place(entry, dx, dy);
    ::RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void AnchorLayout::ApplyTrackingLimits(MINMAXINFO& info) const
{
    const HWND dialog = m_owner.GetSafeHwnd();
    if (!IsInitialized() || !dialog || !::IsWindow(dialog))
        return;
    info.ptMinTrackSize.x = m_initialWindowWidth;
    info.ptMinTrackSize.y = m_initialWindowHeight;
    if (!(m_resizeFlags & ResizeVertical))
        info.ptMaxTrackSize.y = m_initialWindowHeight;
    if (!(m_resizeFlags & ResizeHorizontal))
        info.ptMaxTrackSize.x = m_initialWindowWidth;
}
