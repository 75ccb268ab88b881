// A modal dialog from a resource template, run by a message loop of our own that offers each
// message to PreTranslateMessage of its target and the target's parents before the dialog
// manager sees it. Timer and posted messages of every window of the thread are dispatched by this
// loop too, so work driven by timers goes on while a dialog is open.
#pragma once

#include "framework/Window.h"
#include "framework/DataExchange.h"
#include "framework/Handles.h"

class Dialog : public Window {
public:
    // parent nullptr: the application's main window owns the dialog (when there is one).
    Dialog(UINT templateId, Window* parent = nullptr);

    // Creates the dialog owned by the innermost modal window over the parent's root, disables that
    // owner, shows the dialog if its template did not, runs the loop until EndDialog (or until the
    // window is destroyed), re-enables the owner, destroys the window. Over a hidden owner the
    // dialog opens centred on the primary work area and in front. -1 when the dialog cannot be
    // created or is already running.
    // A WM_QUIT met inside is posted again after the loop so outer loops see it.
    INT_PTR DoModal();
    // Ends the modal run, and with it every dialog and message box opened over this dialog
    // (those end with IDCANCEL).
    void EndDialog(INT_PTR result);

    // Runs DoDataExchange: save = true copies controls to members, false members to controls.
    bool UpdateData(bool save = true);

    // The DPI the dialog is drawn for; 0 while it has no window.
    UINT Dpi() const { return m_dpi; }

    BOOL PreTranslateMessage(MSG* message) override;  // keyboard and mouse input: IsDialogMessage

protected:
    // Default: UpdateData(false) (binds member controls, fills controls); returns TRUE.
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(DataExchange& exchange);
    virtual void OnOK();       // UpdateData(true), then EndDialog(IDOK)
    virtual void OnCancel();   // EndDialog(IDCANCEL)

    // The icon resource iconId as the small caption icon, at the small-icon size of the dialog's
    // DPI, and again after every change of it.
    void SetCaptionIcon(UINT iconId);
    // The dialog is to be drawn for another DPI (it moved to another monitor, or the display
    // changed). Overrides scale what they keep in pixels; afterwards the dialog takes the
    // rectangle the system suggests and its controls hear WM_DPICHANGED_AFTERPARENT.
    virtual void OnDpiChanged(UINT oldDpi, UINT newDpi);

    Window* m_pParent;

    DECLARE_MESSAGE_MAP()

private:
    LRESULT HandleInitDialog(WPARAM focus, LPARAM initParam);   // WM_INITDIALOG -> OnInitDialog
    LRESULT HandleDpiChanged(WPARAM dpi, LPARAM suggestedRect);   // WM_DPICHANGED
    void LoadCaptionIcon();

    UINT m_templateId;
    UINT m_dpi = 0;
    UINT m_captionIconId = 0;
    UniqueIcon m_captionIcon;
    bool m_endRequested = false;
    INT_PTR m_result = IDCANCEL;
};
