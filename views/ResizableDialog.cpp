#include "views/ResizableDialog.h"

BEGIN_MESSAGE_MAP(ResizableDialog, Dialog)
    ON_WM_SIZE()
    ON_WM_GETMINMAXINFO()
END_MESSAGE_MAP()

ResizableDialog::ResizableDialog(UINT templateId, Window* parent, UINT resizeFlags, bool showGrip)
    : Dialog(templateId, parent), m_layout(*this, resizeFlags, showGrip)
{
}

BOOL ResizableDialog::OnInitDialog()
{
    return InitLayout();
}

BOOL ResizableDialog::InitLayout()
{
    Dialog::OnInitDialog();
    m_layout.Initialize();
    return TRUE;
}

bool ResizableDialog::AddAnchor(HWND control, int horizontalMode, int verticalMode)
{
    return m_layout.AddAnchor(control, horizontalMode, verticalMode);
}

bool ResizableDialog::AddAnchorPercent(HWND control, BYTE leftPercent, BYTE rightPercent,
                                       BYTE topPercent, BYTE bottomPercent)
{
    return m_layout.AddAnchorPercent(control, leftPercent, rightPercent, topPercent, bottomPercent);
}

void ResizableDialog::OnSize(UINT type, int cx, int cy)
{
    if (type != SIZE_MINIMIZED)
        m_layout.Relayout(cx, cy);
    Default();
}

void ResizableDialog::OnGetMinMaxInfo(MINMAXINFO* info)
{
    Default();
    m_layout.ApplyTrackingLimits(*info);
}

void ResizableDialog::OnDpiChanged(UINT oldDpi, UINT newDpi)
{
    m_layout.Rescale(oldDpi, newDpi);
    Dialog::OnDpiChanged(oldDpi, newDpi);
}

BOOL ResizableDialog::DestroyWindow()
{
    m_layout.Clear();
    return Dialog::DestroyWindow();
}

void ResizableDialog::PostNcDestroy()
{
    // However the window went (a modal run ends by destroying it), its anchors went with it.
    m_layout.Clear();
    Dialog::PostNcDestroy();
}
