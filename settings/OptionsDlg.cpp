#include "settings/OptionsDlg.h"

#include "framework/Application.h"
#include "framework/Resources.h"
#include "res/resource.h"
#include "settings/SettingsStore.h"

namespace {

// Shown checked for any stored value other than 0, as everywhere else the option counts as on.
int AsCheck(DWORD option)
{
    return option != 0 ? 1 : 0;
}

}  // namespace

BEGIN_MESSAGE_MAP(COptionsDlg, Dialog)
    ON_WM_MOUSEMOVE()
    ON_WM_SETCURSOR()
END_MESSAGE_MAP()

COptionsDlg::COptionsDlg(Window* parent)
    : Dialog(IDD_OPTIONS, parent),
      m_strDescription(LoadResString(IDS_DESC_PROMPT)),
      m_bRunAtStartup(IsRunAtStartup() ? 1 : 0),
      m_bMinToTray(AsCheck(ReadOption(kMinToTrayOption))),
      m_bMonitorAtStartup(AsCheck(ReadOption(kMonitorAtStartupOption)))
{
}

void COptionsDlg::DoDataExchange(DataExchange& exchange)
{
    DDX_Text(exchange, IDC_DESCRIPTION, m_strDescription);
    DDX_Check(exchange, IDC_RUN_AT_STARTUP, m_bRunAtStartup);
    DDX_Check(exchange, IDC_MIN_TO_TRAY, m_bMinToTray);
    DDX_Check(exchange, IDC_MONITOR_AT_STARTUP, m_bMonitorAtStartup);
    DDX_Control(exchange, IDOK, m_btnOK);
    DDX_Control(exchange, IDCANCEL, m_btnCancel);
}

BOOL COptionsDlg::OnInitDialog()
{
    Dialog::OnInitDialog();

    SetCaptionIcon(IDI_OPTIONS);

    m_btnOK.SetIcon(IDI_OK);
    m_btnCancel.SetIcon(IDI_CANCEL);
    return TRUE;
}

void COptionsDlg::OnOK()
{
    UpdateData(true);
    // All three are written, changed or not, in this order (a braced list is evaluated in order).
    const struct {
        int checkBox;
        bool saved;
    } results[] = {
        {IDC_RUN_AT_STARTUP, SetRunAtStartup(m_bRunAtStartup != 0)},
        {IDC_MIN_TO_TRAY, WriteOption(kMinToTrayOption, static_cast<DWORD>(m_bMinToTray))},
        {IDC_MONITOR_AT_STARTUP,
         WriteOption(kMonitorAtStartupOption, static_cast<DWORD>(m_bMonitorAtStartup))},
    };
    std::string unsaved;
    bool anySaved = false;
    for (const auto& result : results) {
        if (result.saved)
            anySaved = true;
        else
            unsaved += "\n" + CheckBoxLabel(result.checkBox);
    }
    if (unsaved.empty()) {
        Dialog::OnOK();
        return;
    }
    // The dialog stays open, so that the user can try again or cancel.
    std::string text = LoadResString(IDS_SETTINGS_NOT_SAVED) + "\n" + unsaved;
    if (anySaved)
        text += "\n\n" + LoadResString(IDS_OTHERS_SAVED);
    AppMessageBox(m_hWnd, text, MB_OK | MB_ICONWARNING);
}

BOOL COptionsDlg::OnSetCursor(HWND window, UINT, UINT)
{
    if (window == GetDlgItem(IDC_RUN_AT_STARTUP))
        ShowDescription(IDS_DESC_RUNATSTARTUP);
    else if (window == GetDlgItem(IDC_MIN_TO_TRAY))
        ShowDescription(IDS_DESC_MINTOTRAY);
    else if (window == GetDlgItem(IDC_MONITOR_AT_STARTUP))
        ShowDescription(IDS_DESC_MONITOR);
    else
        ShowDescription(IDS_DESC_PROMPT);
    // The cursor shape itself is chosen as usual (the class cursor of the window under it).
    return static_cast<BOOL>(Default());
}

void COptionsDlg::OnMouseMove(UINT, POINT)
{
    ShowDescription(IDS_DESC_PROMPT);
}

std::string COptionsDlg::CheckBoxLabel(int id) const
{
    char label[128] = {};
    GetDlgItemTextA(m_hWnd, id, label, sizeof label);
    return label;
}

void COptionsDlg::ShowDescription(UINT stringId)
{
    m_strDescription = LoadResString(stringId);
    SetDlgItemTextA(m_hWnd, IDC_DESCRIPTION, m_strDescription.c_str());
}
