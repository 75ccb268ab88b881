// Resource and control identifiers shared by the resource script and the code.
#pragma once

// Dialog templates
#define IDD_ABOUTBOX            100
#define IDD_MAIN                102
#define IDD_DOCUMENTS           129
#define IDD_APPSTATS            130
#define IDD_OPTIONS             160

// Menu of the notification-area icon
#define IDR_TRAYMENU            136

// Strings
#define IDS_ABOUTBOX            101   // "&About Vantel..." (system menu)
#define IDS_NO_SELECTION        102
#define IDS_CLEAR_CONFIRM       103
#define IDS_DESC_RUNATSTARTUP   104
#define IDS_DESC_MINTOTRAY      105
#define IDS_DESC_MONITOR        106
#define IDS_DESC_PROMPT         107
#define IDS_SETTINGS_NOT_SAVED  110   // followed by the labels of the settings not saved
#define IDS_OTHERS_SAVED        111
#define IDS_TRAY_HINT_TITLE     120   // the balloon shown once, where the tray icon is
#define IDS_TRAY_HINT           121

// Icons
#define IDI_MAIN                128   // program icon, tray icon while monitoring
#define IDI_STOP                138   // Start/Stop button while monitoring runs
#define IDI_ABOUT               139
#define IDI_EXIT                140
#define IDI_START               141   // Start/Stop button while monitoring is stopped
#define IDI_MIN                 142
#define IDI_STATS               143
#define IDI_OK                  144
#define IDI_DOCUMENT            151
#define IDI_APPLICATION_GENERIC 154   // image 0 of the main list
#define IDI_OPTIONS             156
#define IDI_DETAILS             158
#define IDI_CLEAR               159
#define IDI_CANCEL              161
#define IDI_DISABLED            162   // tray icon while monitoring is stopped

// 12x12 bitmaps of the tray menu
#define IDB_MENU_ABOUT          145
#define IDB_MENU_EXIT           146
#define IDB_MENU_START          147
#define IDB_MENU_STATS          148
#define IDB_MENU_STOP           149
#define IDB_MENU_SHOW           150
#define IDB_MENU_CLEAR          163
#define IDB_MENU_OPTIONS        164

// Commands and controls of the main window
#define IDC_ABOUT               16
#define IDC_MAIN_LIST           1002
#define IDC_DETAILS             1003
#define IDC_STARTSTOP           1004
#define IDC_STATS               1005
#define IDC_CLEAR               1011
#define IDC_OPTIONS             1014
#define IDC_FRAME               1016
#define ID_SHOW                 32782

// Application statistics dialog
#define IDC_APPSTATS_LIST       1007

// Documents dialog
#define IDC_DOCUMENTS_LIST      1003

// About box
#define IDC_WEBSITE_LABEL       1010
#define IDC_WEBSITE_LINK        1011

// Options dialog
#define IDC_RUN_AT_STARTUP      1018
#define IDC_MIN_TO_TRAY         1019
#define IDC_MONITOR_AT_STARTUP  1020
#define IDC_DESCRIPTION         1021
