#include "framework/Dialog.h"

#include <vector>

#include "framework/Application.h"
#include "framework/Dpi.h"
#include "framework/Foreground.h"
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

// Keeps the owner of a modal run disabled from construction until Restore or the end of the scope,
// however the run ends. An owner that was disabled already is left as it was.
class OwnerDisabled {
public:
    explicit OwnerDisabled(HWND owner)
        : m_owner(owner != nullptr && IsWindowEnabled(owner) ? owner : nullptr)
    {
        if (m_owner != nullptr)
            EnableWindow(m_owner, FALSE);
    }
    ~OwnerDisabled() { Restore(); }
    OwnerDisabled(const OwnerDisabled&) = delete;
    OwnerDisabled& operator=(const OwnerDisabled&) = delete;

    void Restore()
    {
        if (m_owner != nullptr)
            EnableWindow(m_owner, TRUE);
        m_owner = nullptr;
    }

private:
    HWND m_owner;
};

BOOL CALLBACK TellDpiChanged(HWND child, LPARAM)
{
    SendMessageA(child, WM_DPICHANGED_AFTERPARENT, 0, 0);
    return TRUE;
}

void CentreOnWorkArea(HWND window)
{
    RECT work{};
    RECT own{};
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0) || !GetWindowRect(window, &own))
        return;
    const int x = work.left + (work.right - work.left - (own.right - own.left)) / 2;
    const int y = work.top + (work.bottom - work.top - (own.bottom - own.top)) / 2;
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

BEGIN_MESSAGE_MAP(Dialog, Window)
    ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
    ON_MESSAGE(WM_DPICHANGED, HandleDpiChanged)
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
    // A dialog opened while another of ours is open belongs to the innermost one, so that two
    // modal layers never take input at the same time.
    const HWND owner = parent != nullptr ? InnermostModalWindow(GetAncestor(parent, GA_ROOT)) : nullptr;
    const bool ownerHidden = owner != nullptr && !IsWindowVisible(owner);
    ForegroundReturn foreground;
    OwnerDisabled disabled(owner);

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
        return -1;
    }

    // Over a hidden owner (the main window in the notification area) the template's place means
    // nothing to the user: the dialog opens in the middle of the primary work area, in front.
    if (ownerHidden)
        CentreOnWorkArea(m_hWnd);
    if (!m_endRequested && !(GetWindowLongA(m_hWnd, GWL_STYLE) & WS_VISIBLE))
        ShowWindow(m_hWnd, SW_SHOW);
    if (ownerHidden)
        BringForward(m_hWnd);

    bool quit = false;
    int quitCode = 0;
    while (!m_endRequested && m_hWnd != nullptr) {
        if (!WindowDispatch::PumpMessage(quitCode)) {
            quit = true;
            break;
        }
    }

    // Hide and give the activation back to a shown owner before the dialog goes, so that the
    // owner, not some other program, becomes active. A hidden owner gets nothing: the foreground
    // goes back where it was.
    if (m_hWnd != nullptr)
        SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    disabled.Restore();
    if (owner != nullptr && !ownerHidden && m_hWnd != nullptr && GetActiveWindow() == m_hWnd)
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
    if (m_hWnd == nullptr)
        return;
    // No modal run outlives the one it was started in: the dialogs and message boxes opened over
    // this one end too, the innermost first, each as its own loop regains control.
    const std::vector<HWND> chain = ModalChain(m_hWnd);
    for (auto above = chain.rbegin(); above != chain.rend() && *above != m_hWnd; ++above) {
        if (auto* dialog = dynamic_cast<Dialog*>(Window::FromHandle(*above)))
            dialog->EndDialog(IDCANCEL);
        else
            ::EndDialog(*above, IDCANCEL);   // a message box
    }
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
    m_dpi = 0;   // so that DpiOf asks the system, not this dialog's last run
    m_dpi = DpiOf(m_hWnd);
    return OnInitDialog();
}

void Dialog::SetCaptionIcon(UINT iconId)
{
    m_captionIconId = iconId;
    LoadCaptionIcon();
}

void Dialog::LoadCaptionIcon()
{
    if (m_captionIconId == 0)
        return;
    const int size = SmallIconSize(m_dpi);
    UniqueIcon icon(static_cast<HICON>(LoadImageA(AppInstance(), MAKEINTRESOURCEA(m_captionIconId),
                                                  IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
    SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon.get()));
    m_captionIcon = std::move(icon);
}

void Dialog::OnDpiChanged(UINT, UINT)
{
}

LRESULT Dialog::HandleDpiChanged(WPARAM dpi, LPARAM suggestedRect)
{
    const UINT oldDpi = m_dpi;
    m_dpi = LOWORD(dpi);
    OnDpiChanged(oldDpi, m_dpi);
    const RECT& rect = *reinterpret_cast<const RECT*>(suggestedRect);
    SetWindowPos(m_hWnd, nullptr, rect.left, rect.top, rect.right - rect.left,
                 rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
    LoadCaptionIcon();
    EnumChildWindows(m_hWnd, TellDpiChanged, 0);
    return 0;
}
