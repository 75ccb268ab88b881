#include "app/MainDialog.h"

#include <ctime>
#include <iterator>
#include <utility>

#include "app/Win32Foreground.h"
#include "app/Win32ProcessSource.h"
#include "core/TrayTip.h"
#include "framework/Application.h"
#include "framework/Resources.h"
#include "res/resource.h"
#include "settings/SettingsStore.h"

namespace {

// The icon resource at the system's small-icon size, as the notification area shows it. Shared:
// the system owns it.
HICON LoadTrayIcon(UINT id)
{
    return static_cast<HICON>(::LoadImageA(AppInstance(), MAKEINTRESOURCEA(id), IMAGE_ICON,
                                           ::GetSystemMetrics(SM_CXSMICON),
                                           ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
}

// A menu bitmap stretched to the size of a menu's check-mark area, where the menu shows it.
HBITMAP LoadMenuBitmap(UINT id)
{
    return static_cast<HBITMAP>(::LoadImageA(AppInstance(), MAKEINTRESOURCEA(id), IMAGE_BITMAP,
                                             ::GetSystemMetrics(SM_CXMENUCHECK),
                                             ::GetSystemMetrics(SM_CYMENUCHECK), 0));
}

// The local date and time as "%c" renders it in the C locale: "12/05/26 19:33:59". Empty when
// the time cannot be converted.
std::string LocalDateTimeText()
{
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    char text[64] = {};
    if (local == nullptr || std::strftime(text, sizeof text, "%c", local) == 0)
        return std::string();
    return text;
}

} // namespace

MainDialogServices MainDialogServices::Win32()
{
    // Neither keeps any state, so one of each serves every main window.
    static Win32ProcessSource processes;
    static Win32Foreground foreground;
    return { &processes, &foreground, &Shell_NotifyIconA };
}

const UINT MainDialog::kMenuBitmapIds[8] = {
    IDB_MENU_ABOUT, IDB_MENU_EXIT, IDB_MENU_START, IDB_MENU_STATS,
    IDB_MENU_STOP, IDB_MENU_SHOW, IDB_MENU_CLEAR, IDB_MENU_OPTIONS,
};

const MainDialog::ButtonSlot MainDialog::kButtons[8] = {
    { IDC_STATS, &MainDialog::m_statsButton, IDI_STATS },
    { IDCANCEL, &MainDialog::m_minButton, IDI_MIN },
    { IDOK, &MainDialog::m_exitButton, IDI_EXIT },
    { IDC_STARTSTOP, &MainDialog::m_startStopButton, IDI_STOP },
    { IDC_ABOUT, &MainDialog::m_aboutButton, IDI_ABOUT },
    { IDC_OPTIONS, &MainDialog::m_optionsButton, IDI_OPTIONS },
    { IDC_DETAILS, &MainDialog::m_detailsButton, IDI_DETAILS },
    { IDC_CLEAR, &MainDialog::m_clearButton, IDI_CLEAR },
};

BEGIN_MESSAGE_MAP(MainDialog, DefaultButtonDialog)
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_WM_TIMER()
    ON_WM_DESTROY()
    ON_WM_CONTEXTMENU()
    ON_MESSAGE(WM_SHOWWINDOW, OnShowWindow)
    ON_COMMAND(IDCANCEL, OnMin)
    ON_COMMAND(IDC_STARTSTOP, OnStartStop)
    ON_COMMAND(ID_SHOW, OnShow)
    ON_MESSAGE(TrayIcon::kCallbackMessage, OnTrayNotify)
    ON_COMMAND(IDC_CLEAR, OnClear)
    ON_WM_SYSCOMMAND()
    ON_COMMAND(IDC_STATS, OnStats)
    ON_COMMAND(IDC_DETAILS, OnDetails)
    ON_NOTIFY(NM_DBLCLK, IDC_MAIN_LIST, OnListDoubleClick)
    ON_COMMAND(IDC_ABOUT, OnAbout)
    ON_COMMAND(IDC_OPTIONS, OnOptions)
    ON_REGISTERED_MESSAGE(WM_TASKBAR_CREATED, OnTaskbarCreated)
    ON_REGISTERED_MESSAGE(WM_COME_FORWARD, OnComeForward)
    // IDOK: the framework's OnOK ends the modal run, and with it the program.
END_MESSAGE_MAP()

MainDialog::MainDialog(MainDialogServices services)
    : DefaultButtonDialog(IDD_MAIN, nullptr, ResizeVertical),
      m_services(std::move(services)),
      m_processNames(*m_services.processes),
      m_bStopped(FALSE),
      m_trayIcon(m_services.trayNotifier),
      m_hMainIcon(::LoadIconA(AppInstance(), MAKEINTRESOURCEA(IDI_MAIN))),
      m_hTrayIcon(LoadTrayIcon(IDI_MAIN)),
      m_hDisabledIcon(LoadTrayIcon(IDI_DISABLED)),
      m_rows(m_list),
      m_trayPresence(m_trayIcon, *this)
{
    for (size_t i = 0; i < std::size(kMenuBitmapIds); ++i)
        m_menuBitmaps[i].reset(LoadMenuBitmap(kMenuBitmapIds[i]));
    m_bStopped = ReadOption(kMonitorAtStartupOption) == 0;
}

MainDialog::~MainDialog()
{
    // Normally the modal run has destroyed the window already. Otherwise destroy it while every
    // member it uses still exists.
    if (m_hWnd != nullptr)
        DestroyWindow();
}

void MainDialog::RegisterWindowClass(HINSTANCE instance)
{
    WNDCLASSA windowClass{};
    if (!::GetClassInfoA(instance, WC_DIALOG, &windowClass))
        return;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kMainWindowClass;
    ::RegisterClassA(&windowClass);
}

void MainDialog::DoDataExchange(DataExchange& exchange)
{
    DefaultButtonDialog::DoDataExchange(exchange);
    DDX_Control(exchange, IDC_MAIN_LIST, m_list);
    for (const ButtonSlot& slot : kButtons)
        DDX_Control(exchange, slot.id, this->*slot.button);
    DDX_Control(exchange, IDC_FRAME, m_frame);
}

BOOL MainDialog::OnInitDialog()
{
    InitLayout();
    m_list.EnableSort(false);
    for (const ButtonSlot& slot : kButtons)
        (this->*slot.button).SetIcon(slot.iconId);

    // The image list outlives the list view (it is ours, and the statistics dialog shows it too).
    m_imageList = CreateSmallImageList(Dpi(), IDI_APPLICATION_GENERIC);
    m_list.SetImageList(m_imageList.get());
    m_icons.emplace(m_imageList.get(), AppInstance());
    m_sampler.emplace(m_store, m_processNames, *m_services.processes, *m_services.foreground,
                      *m_icons, m_rows, m_trayPresence);

    const std::string aboutItem = LoadResString(IDS_ABOUTBOX);
    if (!aboutItem.empty()) {
        const HMENU systemMenu = ::GetSystemMenu(m_hWnd, FALSE);
        ::AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuA(systemMenu, MF_STRING, IDC_ABOUT, aboutItem.c_str());
    }

    ::SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hMainIcon));
    SetCaptionIcon(IDI_MAIN);

    if (m_bStopped)
        ShowMonitoringState();
    else
        StartSampling();

    m_processNames.Rebuild();

    RECT client{};
    ::GetClientRect(m_list.GetSafeHwnd(), &client);
    const int width = client.right - client.left;
    const int labelWidth = static_cast<int>(width * 0.65);
    m_list.InsertColumn(0, "Processes", LVCFMT_LEFT, labelWidth);
    m_list.InsertColumn(1, "Duration", LVCFMT_LEFT, width - labelWidth);

    ResetSummary();

    AddAnchor(m_list.GetSafeHwnd(), AnchorFixed, AnchorStretch);
    AddAnchor(m_frame.GetSafeHwnd(), AnchorFixed, AnchorStretch);

    m_trayIcon.SetOwner(m_hWnd);

    if (ReadOption(kMinToTrayOption) != 0)
        ::PostMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                       reinterpret_cast<LPARAM>(GetDlgItem(IDCANCEL)));
    return TRUE;
}

void MainDialog::ResetSummary()
{
    // Its time stays empty until the first tick.
    m_list.AppendTotalRows({});
    m_startText = "Starting at " + LocalDateTimeText();
    SetWindowText("Vantel:  " + m_startText);
}

void MainDialog::StartSampling()
{
    SetTimer(ActivitySampler::kSamplingTimerId, kSamplingPeriodMs);
}

void MainDialog::ShowMonitoringState()
{
    ::SetDlgItemTextA(m_hWnd, IDC_STARTSTOP, m_bStopped ? "S&tart" : "S&top");
    m_startStopButton.SetIcon(m_bStopped ? IDI_START : IDI_STOP);
}

MainDialog::TrayEntry MainDialog::CurrentTrayEntry() const
{
    if (m_bStopped)
        return { m_hDisabledIcon, kDisabledTip };
    return { m_hTrayIcon, BuildTrayTip(m_store) };
}

HBITMAP MainDialog::MenuBitmapOf(UINT bitmapId) const
{
    for (size_t i = 0; i < std::size(kMenuBitmapIds); ++i) {
        if (kMenuBitmapIds[i] == bitmapId)
            return m_menuBitmaps[i].get();
    }
    return nullptr;
}

void MainDialog::OnTimer(UINT_PTR id)
{
    if (id == kTrayRetryTimerId)
        RetryTrayEntry();
    else if (m_sampler)
        m_sampler->OnTimer(id);
}

void MainDialog::OnPaint()
{
    if (!::IsIconic(m_hWnd)) {
        Default();
        return;
    }
    PAINTSTRUCT paint{};
    const HDC dc = ::BeginPaint(m_hWnd, &paint);
    ::SendMessageA(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    const int x = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc, x, y, m_hMainIcon);
    ::EndPaint(m_hWnd, &paint);
}

HCURSOR MainDialog::OnQueryDragIcon()
{
    return m_hMainIcon;
}

void MainDialog::OnDestroy()
{
    m_trayIcon.Delete();
    Default();
}

// While the window is hidden its list does not draw: each tick's new times would otherwise make
// it invalidate cells that nobody sees, a trip to the window server each under Wine. Shown again,
// it draws everything at once.
LRESULT MainDialog::OnShowWindow(WPARAM show, LPARAM)
{
    ::SendMessageA(m_list.GetSafeHwnd(), WM_SETREDRAW, show, 0);
    if (show)
        ::InvalidateRect(m_list.GetSafeHwnd(), nullptr, TRUE);
    return Default();
}

void MainDialog::OnContextMenu(HWND, POINT)
{
    // Neither the window nor its list has a context menu.
}
