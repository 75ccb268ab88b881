// Keeps a dialog's anchored controls in place as the dialog grows, holds the dialog to its
// opening size and shows a size grip in its lower right corner.
#pragma once

#include <windows.h>
#include <list>
#include <memory>

#include "core/AnchorMath.h"
#include "framework/Handles.h"

class Window;

// One control tied to the dialog's edges.
struct AnchorEntry {
    HWND control = nullptr;     // not owned
    AnchorPercents percents;
    AnchorRect origin;          // the control's place in client coordinates at registration
};

class AnchorLayout {
public:
    // owner: the dialog whose controls are laid out; its window need not exist yet.
    AnchorLayout(const Window& owner, UINT resizeFlags, bool showGrip);
    ~AnchorLayout();
    AnchorLayout(const AnchorLayout&) = delete;
    AnchorLayout& operator=(const AnchorLayout&) = delete;

    // Records the owner's current client and window sizes as the opening size and makes the grip.
    // Anchors of an earlier run are dropped.
    void Initialize();

    // Ties control's edges to the dialog and places it at once for the dialog's current size.
    // false (nothing registered) when the dialog or the control is not a window, the layout is
    // not initialised, or every percentage is 0.
    bool AddAnchorPercent(HWND control, BYTE leftPercent, BYTE rightPercent, BYTE topPercent,
                          BYTE bottomPercent);
    bool AddAnchor(HWND control, int horizontalMode, int verticalMode);

    // Places every anchored control for a client area of cx x cy and redraws the dialog.
    void Relayout(int cx, int cy);
    // The dialog is now drawn for newDpi instead of oldDpi: the opening size and every control's
    // registered place scale with it, and the grip is made again at its new size.
    void Rescale(UINT oldDpi, UINT newDpi);
    // Minimum tracking size = the opening size; no growth in a direction without its flag.
    void ApplyTrackingLimits(MINMAXINFO& info) const;
    void Clear() { m_anchors.clear(); }

    static constexpr int GripId = 0xFFFF;

private:
    bool IsInitialized() const { return m_initialClientWidth != -1; }
    bool CreateGrip(HWND dialog, UINT dpi);
    void DestroyGrip();
    void Place(const AnchorEntry& entry, int dx, int dy) const;

    const Window& m_owner;
    std::list<AnchorEntry> m_anchors;   // most recently registered first
    int m_initialClientWidth = -1;
    int m_initialClientHeight = -1;
    int m_initialWindowWidth = -1;
    int m_initialWindowHeight = -1;
    const UINT m_resizeFlags;
    HWND m_grip = nullptr;              // a child of the dialog, showing m_gripBitmap
    UniqueBitmap m_gripBitmap;
    bool m_showGrip;
};
