// The program's only top-level window: the list of applications with their time, the column of
// icon buttons, the tray entry while hidden, and the sampling timer. It owns every piece of
// run-time state: the store, the process-name cache, the list with its image list, the tray icon,
// the icons and the tray-menu bitmaps.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/ImageListIcons.h"
#include "app/MainListRows.h"
#include "app/MainTray.h"
#include "app/TrayIcon.h"
#include "controls/IconButton.h"
#include "controls/StripedReportListCtrl.h"
#include "core/ActivitySampler.h"
#include "core/ActivityStore.h"
#include "core/ProcessNameCache.h"
#include "framework/Handles.h"
#include "views/DefaultButtonDialog.h"

// Class of the main window's template; a window of this class marks a running copy.
inline constexpr char kMainWindowClass[] = "VantelMainDialog";
// Registered message a second copy posts to the running copy's main window to bring it forward.
inline constexpr char kComeForwardMessage[] = "VantelComeForward";

// What the main window asks of the system besides its own windows. Win32() is the real one;
// tests script the foreground window and the process list and capture the tray requests.
struct MainDialogServices {
    ProcessSource* processes;
    ForegroundSource* foreground;
    TrayIcon::Notifier trayNotifier;

    static MainDialogServices Win32();
};

class MainDialog : public DefaultButtonDialog {
public:
    static constexpr UINT kSamplingPeriodMs = 1000;
    static constexpr UINT kReturnDelayMs = 150;
    // Timer of the tray entry's next try after the shell refused it.
    static constexpr UINT_PTR kTrayRetryTimerId = 3;
    static constexpr UINT kTrayRetryMs = 1000;
    static constexpr char kDisabledTip[] = "Vantel is disabled.";

    // Reads "MonitorAtStartup": 0 opens the window with monitoring stopped.
    explicit MainDialog(MainDialogServices services = MainDialogServices::Win32());
    ~MainDialog() override;

    // Registers kMainWindowClass as a copy of the system dialog class; harmless when it exists.
    static void RegisterWindowClass(HINSTANCE instance);

    // The tray menu as ShowTrayMenu tracks it: menu 136, its first popup prepared for the current
    // monitoring state. The caller owns the menu.
    UniqueMenu LoadTrayMenu() const;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(DataExchange& exchange) override;

    // Blank row, "Total:" row, and a new start time in the caption.
    void ResetSummary();

    void OnTimer(UINT_PTR id);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnDestroy();
    void OnContextMenu(HWND window, POINT screenPoint);
    LRESULT OnShowWindow(WPARAM show, LPARAM status);

    // Monitoring control (MonitoringCommands.cpp).
    void OnStartStop();
    void OnMin();
    void OnShow();
    LRESULT OnTrayNotify(WPARAM id, LPARAM mouseMessage);
    void ShowTrayMenu();
    void OnClear();
    LRESULT OnTaskbarCreated(WPARAM, LPARAM);
    LRESULT OnComeForward(WPARAM, LPARAM);

    // Dialog commands (DialogCommands.cpp).
    void OnStats();
    void OnDetails();
    void OnListDoubleClick(NMHDR* header, LRESULT* result);
    // The documents of the application in row of the list; -1: none selected.
    void ShowDocumentsFor(int row);
    void OnAbout();
    void ShowSystemMenuAbout();
    void OnSysCommand(UINT id, LPARAM lParam);
    void OnOptions();

    DECLARE_MESSAGE_MAP()

private:
    static const UINT WM_TASKBAR_CREATED;
    static const UINT WM_COME_FORWARD;

    void PlaceTrayEntry();
    void ShowTrayHintOnce();
    void RetryTrayEntry();
    // Brings forward the window the user deals with: the innermost dialog or message box open
    // over this window, or the window itself.
    void BringModalForward();

    // The tray entry's icon and tooltip for the monitoring state, the tooltip built now.
    struct TrayEntry {
        HICON icon;
        std::string tip;
    };
    TrayEntry CurrentTrayEntry() const;
    static const UINT kMenuBitmapIds[8];
    HBITMAP MenuBitmapOf(UINT bitmapId) const;
    struct ButtonSlot {
        int id;
        IconButton MainDialog::*button;
        UINT iconId;   // the Start/Stop button's while monitoring runs
    };
    static const ButtonSlot kButtons[8];
    void StartSampling();
    // The Start/Stop button's text and icon for m_bStopped.
    void ShowMonitoringState();

    MainDialogServices m_services;
    ProcessNameCache m_processNames;
    ActivityStore m_store;
    BOOL m_bStopped;
    std::string m_startText;
    StripedReportListCtrl m_list;
    TrayIcon m_trayIcon;
    IconButton m_statsButton;
    IconButton m_minButton;
    IconButton m_exitButton;
    IconButton m_startStopButton;
    IconButton m_aboutButton;
    IconButton m_optionsButton;
    IconButton m_detailsButton;
    IconButton m_clearButton;
    UniqueBitmap m_menuBitmaps[8];   // in the order of kMenuBitmapIds
    Window m_frame;
    UniqueImageList m_imageList;
    // Shared icons that the system owns and frees: the program's at the system's large size (the
    // window's big icon and its picture while minimised), and the tray's two at the small size.
    HICON m_hMainIcon;
    HICON m_hTrayIcon;
    HICON m_hDisabledIcon;

    // The sampling tick, wired to the members above once the image list exists.
    MainListRows m_rows;
    MainTray m_trayPresence;
    std::optional<ImageListIcons> m_icons;
    std::optional<ActivitySampler> m_sampler;
};
