#include "framework/Dialog.h"

#include "framework/Application.h"
#include "framework/WindowDispatch.h"

namespace {

// Every message goes through the dialog object's subclass procedure in front of the system's
// dialog procedure; this one only has to exist for the system to send WM_INITDIALOG.
INT_PTR CALLBACK PassiveDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

bool IsInput(UINT message)
{
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST)
        || (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST);
}

} // namespace

BEGIN_MESSAGE_MAP(Dialog, Window)
    ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

Dialog::Dialog(UINT templateId, Window* parent)
    : m_pParent(parent), m_templateId(templateId)
{
}

INT_PTR Dialog::DoModal()
{
    if (m_hWnd != nullptr)
        return -1;

    HWND parent = m_pParent != nullptr ? m_pParent->GetSafeHwnd() : nullptr;
    if (parent == nullptr)
        parent = AppMainWindow();
    HWND owner = parent != nullptr ? GetAncestor(parent, GA_ROOT) : nullptr;
    const bool disableOwner = owner != nullptr && IsWindowEnabled(owner);
    if (disableOwner)
        EnableWindow(owner, FALSE);

    m_endRequested = false;
    m_result = IDCANCEL;
    HWND window = WindowDispatch::CreateBound(*this, [&] {
        return CreateDialogParamA(AppInstance(), MAKEINTRESOURCEA(m_templateId), owner,
                                  PassiveDialogProc, 0);
    });
    if (window == nullptr || m_hWnd != window) {
        // Not created, destroyed during its initialisation, or never bound to this object.
        if (window != nullptr && m_hWnd != window && ::IsWindow(window))
            ::DestroyWindow(window);
        if (disableOwner)
            EnableWindow(owner, TRUE);
        return -1;
    }

    if (!m_endRequested && !(GetWindowLongA(m_hWnd, GWL_STYLE) & WS_VISIBLE))
        ShowWindow(m_hWnd, SW_SHOW);

    bool quit = false;
    int quitCode = 0;
    while (!m_endRequested && m_hWnd != nullptr) {
        if (!WindowDispatch::PumpMessage(quitCode)) {
            quit = true;
            break;
        }
    }

    // Hide and give the activation back to the owner before the dialog goes, so that the owner,
    // not some other program, becomes active.
    if (m_hWnd != nullptr)
        SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    if (disableOwner)
        EnableWindow(owner, TRUE);
    if (owner != nullptr && m_hWnd != nullptr && GetActiveWindow() == m_hWnd)
        SetActiveWindow(owner);
    if (m_hWnd != nullptr)
        DestroyWindow();

    if (quit)
        PostQuitMessage(quitCode);
    return m_result;
}

void Dialog::EndDialog(INT_PTR result)
{
    m_result = result;
    m_endRequested = true;
    if (m_hWnd != nullptr)
        PostMessageA(m_hWnd, WM_NULL, 0, 0);   // wakes the modal loop
}

bool Dialog::UpdateData(bool save)
{
    if (m_hWnd == nullptr)
        return false;
    DataExchange exchange(*this, save);
    DoDataExchange(exchange);
    return true;
}

BOOL Dialog::PreTranslateMessage(MSG* message)
{
    if (m_hWnd == nullptr || !IsInput(message->message))
        return FALSE;
    return IsDialogMessageA(m_hWnd, message);
}

BOOL Dialog::OnInitDialog()
{
    UpdateData(false);
    return TRUE;
}

void Dialog::DoDataExchange(DataExchange&)
{
}

void Dialog::OnOK()
{
    if (UpdateData(true))
        EndDialog(IDOK);
}

void Dialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

LRESULT Dialog::HandleInitDialog(WPARAM, LPARAM)
{
    return OnInitDialog();
}
