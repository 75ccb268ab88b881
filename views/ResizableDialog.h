// A dialog the user can enlarge with its sizing border. Derived dialogs tie their controls to
// the dialog's edges with AddAnchor at the end of their OnInitDialog; unregistered controls never
// move. The dialog cannot become smaller than it opened, and grows only in the directions its
// resizeFlags allow (ResizeHorizontal, ResizeVertical from core/AnchorMath.h).
#pragma once

#include "core/AnchorMath.h"
#include "framework/Dialog.h"
#include "views/AnchorLayout.h"

class ResizableDialog : public Dialog {
public:
    // showGrip: show the size-grip picture in the lower right corner.
    ResizableDialog(UINT templateId, Window* parent, UINT resizeFlags, bool showGrip);

    // Drops every anchor, then destroys the window.
    BOOL DestroyWindow() override;

    // Ties control to the dialog's edges: horizontalMode and verticalMode are AnchorFixed,
    // AnchorStretch, AnchorFollow or AnchorCenter. The control is placed at once for the dialog's
    // current size. false when nothing was registered: before InitLayout, for a control that is not
    // a window, or for (AnchorFixed, AnchorFixed).
    bool AddAnchor(HWND control, int horizontalMode, int verticalMode);
    // The same with the share of growth, in per cent, that each edge follows.
    bool AddAnchorPercent(HWND control, BYTE leftPercent, BYTE rightPercent, BYTE topPercent,
                          BYTE bottomPercent);

protected:
    // Calls InitLayout. A derived OnInitDialog calls InitLayout first, then sets up its controls,
    // then registers its anchors.
    BOOL OnInitDialog() override;
    // Runs the dialog's data exchange (Dialog::OnInitDialog), then records the opening size and
    // makes the grip. Returns TRUE: the focus goes to the first tab stop.
    virtual BOOL InitLayout();

    void OnSize(UINT type, int cx, int cy);
    void OnGetMinMaxInfo(MINMAXINFO* info);
    void OnDpiChanged(UINT oldDpi, UINT newDpi) override;
    void PostNcDestroy() override;

    DECLARE_MESSAGE_MAP()

private:
    AnchorLayout m_layout;
};
