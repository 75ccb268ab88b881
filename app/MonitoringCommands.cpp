// Monitoring control of the main window: Start/Stop, hiding into the notification area and
// coming back, the tray entry's notifications and menu, and Clear.
#include "app/MainDialog.h"

#include "framework/Application.h"
#include "framework/Foreground.h"
#include "framework/Resources.h"
#include "res/resource.h"
#include "settings/SettingsStore.h"

namespace {

// Set while the Clear confirmation is open: the tray menu stays usable meanwhile, and a second
// Clear must not open a second box.
bool g_clearConfirmationOpen = false;

} // namespace

const UINT MainDialog::WM_TASKBAR_CREATED = ::RegisterWindowMessageA("TaskbarCreated");
const UINT MainDialog::WM_COME_FORWARD = ::RegisterWindowMessageA(kComeForwardMessage);

void MainDialog::OnStartStop()
{
    if (!m_bStopped) {
        KillTimer(ActivitySampler::kSamplingTimerId);
        m_bStopped = TRUE;
    } else {
        m_bStopped = FALSE;
        StartSampling();
    }
    ShowMonitoringState();
    // While the window is shown there is normally no entry, and then nothing is sent.
    if (m_trayIcon.Exists()) {
        const TrayEntry entry = CurrentTrayEntry();
        m_trayIcon.Modify(entry.icon, entry.tip);
    }
}

void MainDialog::OnMin()
{
    ::ShowWindow(m_hWnd, SW_HIDE);
    // A Show less than 150 ms ago left its timer pending: it would remove the entry that this
    // hidden window keeps.
    KillTimer(ActivitySampler::kReturnTimerId);
    PlaceTrayEntry();
}

// The entry for the monitoring state: the existing one changed, or a new one. At sign-in the
// notification area may not be there yet and refuses it: then it is tried again every second
// until it is taken or the window is shown, so that the user never has neither.
void MainDialog::PlaceTrayEntry()
{
    const TrayEntry entry = CurrentTrayEntry();
    if (m_trayIcon.Modify(entry.icon, entry.tip)) {
        KillTimer(kTrayRetryTimerId);
    } else if (m_trayIcon.Add(entry.icon, entry.tip)) {
        KillTimer(kTrayRetryTimerId);
        ShowTrayHintOnce();
    } else {
        SetTimer(kTrayRetryTimerId, kTrayRetryMs);
    }
}

// Where the system hides new notification icons (Windows 11 puts them in the overflow), a first
// start that goes straight to the tray would look as if Vantel had vanished: the first time the
// entry appears, a balloon says where it is. Once per user.
void MainDialog::ShowTrayHintOnce()
{
    if (ReadStoredOption(kTrayHintShownValue).value_or(0) != 0)
        return;
    if (m_trayIcon.ShowBalloon(LoadResString(IDS_TRAY_HINT_TITLE), LoadResString(IDS_TRAY_HINT)))
        WriteOption(kTrayHintShownValue, 1);
}

void MainDialog::RetryTrayEntry()
{
    if (::IsWindowVisible(m_hWnd))
        KillTimer(kTrayRetryTimerId);
    else
        PlaceTrayEntry();
}

// The shell broadcasts this when it starts again (after Explorer crashed or was updated): every
// notification-area entry is gone, and the one this program keeps is added again.
LRESULT MainDialog::OnTaskbarCreated(WPARAM, LPARAM)
{
    const bool wanted = m_trayIcon.Exists() || !::IsWindowVisible(m_hWnd);
    m_trayIcon.Forget();
    if (wanted)
        PlaceTrayEntry();
    return 0;
}

void MainDialog::OnShow()
{
    ::ShowWindow(m_hWnd, SW_SHOW);
    ::SetForegroundWindow(m_hWnd);
    KillTimer(kTrayRetryTimerId);
    // The entry goes once the window is back; a second Show restarts the wait.
    SetTimer(ActivitySampler::kReturnTimerId, kReturnDelayMs);
}

// A second copy of the program asks for this after showing the window; coming forward is done
// here, by the process that owns the window, which the second copy allowed to take the
// foreground. A dialog open over the window stays above it.
LRESULT MainDialog::OnComeForward(WPARAM, LPARAM)
{
    BringForward(m_hWnd);
    BringModalForward();
    return 0;
}

void MainDialog::BringModalForward()
{
    BringForward(InnermostModalWindow(m_hWnd));
}

LRESULT MainDialog::OnTrayNotify(WPARAM, LPARAM mouseMessage)
{
    switch (static_cast<UINT>(mouseMessage)) {
    case WM_RBUTTONDOWN:
        ShowTrayMenu();
        break;
    case WM_LBUTTONDBLCLK:
        OnShow();
        break;
    default:
        break;
    }
    return 1;
}

UniqueMenu MainDialog::LoadTrayMenu() const
{
    UniqueMenu menu(::LoadMenuA(AppInstance(), MAKEINTRESOURCEA(IDR_TRAYMENU)));
    const HMENU popup = menu ? ::GetSubMenu(menu.get(), 0) : nullptr;
    if (popup == nullptr)
        return nullptr;

    ::SetMenuDefaultItem(popup, IDC_STATS, FALSE);
    static const struct {
        UINT command;
        UINT bitmapId;
    } kItemBitmaps[] = {
        { IDC_ABOUT, IDB_MENU_ABOUT }, { IDOK, IDB_MENU_EXIT },      { IDC_STATS, IDB_MENU_STATS },
        { ID_SHOW, IDB_MENU_SHOW },    { IDC_OPTIONS, IDB_MENU_OPTIONS }, { IDC_CLEAR, IDB_MENU_CLEAR },
    };
    for (const auto& item : kItemBitmaps) {
        const HBITMAP bitmap = MenuBitmapOf(item.bitmapId);
        ::SetMenuItemBitmaps(popup, item.command, MF_BYCOMMAND, bitmap, bitmap);
    }

    HBITMAP startStop = MenuBitmapOf(IDB_MENU_STOP);
    if (m_bStopped) {
        ::ModifyMenuA(popup, IDC_STARTSTOP, MF_BYCOMMAND | MF_STRING, IDC_STARTSTOP, "S&tart");
        startStop = MenuBitmapOf(IDB_MENU_START);
    }
    ::SetMenuItemBitmaps(popup, IDC_STARTSTOP, MF_BYCOMMAND, startStop, startStop);
    return menu;
}

void MainDialog::ShowTrayMenu()
{
    POINT cursor{};
    ::GetCursorPos(&cursor);
    const UniqueMenu menu = LoadTrayMenu();
    if (!menu)
        return;
    // A popup menu whose owner is not the foreground window stays open when the user clicks
    // elsewhere, and a second right click then fails to open it: the owner comes forward first
    // (hidden or not), and the WM_NULL afterwards lets the menu close properly. A hidden owner
    // gives the foreground back as soon as the menu has closed.
    ForegroundReturn foreground;
    ::SetForegroundWindow(m_hWnd);
    // Returns when the menu closes; a chosen item arrives afterwards as a posted WM_COMMAND.
    ::TrackPopupMenu(::GetSubMenu(menu.get(), 0), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON,
                     cursor.x, cursor.y, 0, m_hWnd, nullptr);
    ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
}

void MainDialog::OnClear()
{
    if (g_clearConfirmationOpen) {
        BringModalForward();
        return;
    }
    g_clearConfirmationOpen = true;
    // Ticks go on while the box is open; the store is cleared as it is when the answer comes.
    // No is the default: Enter must not wipe the statistics.
    const int answer = AppMessageBox(m_hWnd, IDS_CLEAR_CONFIRM,
                                     MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
    if (answer == IDYES && m_hWnd != nullptr) {
        m_store.Clear();
        m_list.DeleteAllRows();
        ResetSummary();
    }
    g_clearConfirmationOpen = false;
}
