// The compiled resources, read through the calls the program loads them with: each dialog with
// the controls its code binds, the tray menu's commands, and every string the code loads.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/ResourceIds.h"
#include "framework/Resources.h"
#include "res/resource.h"
#include "tests/support/Ui.h"

namespace {

// Each window of a dialog as "text type": a control's type is its style's low five bits (11: an
// owner-drawn button; 1: a report list that allows several selected rows and does not sort
// itself); the dialog's, whether the user may make it larger. The tray menu's items by command.
TEST(Resources, DialogsMenuAndStringsHoldWhatTheProgramBindsAndLoads)
{
    ::InitCommonControls();
    // The main window's template names its own class, by which a second copy finds the first.
    const WNDCLASSA mainClass{0, ::DefDlgProcA, 0, DLGWINDOWEXTRA, nullptr, {}, {}, {}, {}, "VantelMainDialog"};
    ASSERT_NE(::RegisterClassA(&mainClass), 0);
    const std::pair<int, std::vector<std::pair<int, std::string>>> dialogs[] = {
        {IDD_ABOUTBOX, {{0, "About Vantel 0"}, {IDOK, "OK 11"}, {IDC_WEBSITE_LABEL, "Web site:   0"},
                        {IDC_WEBSITE_LINK, "https://www.norvatech.example/ 0"}}},
        {IDD_MAIN, {{0, "Vantel 1"}, {IDC_STATS, "&Stats 11"}, {IDC_DETAILS, "&Details 11"}, {IDC_CLEAR, "&Clear 11"},
                    {IDC_STARTSTOP, "S&top 11"}, {IDCANCEL, "&Min 11"}, {IDC_OPTIONS, "&Options 11"},
                    {IDOK, "&Exit 11"}, {IDC_ABOUT, "&About 11"}, {IDC_MAIN_LIST, " 1"}, {IDC_FRAME, " 7"}}},
        {IDD_DOCUMENTS, {{0, "Documents 1"}, {IDOK, "OK 11"}, {IDC_DOCUMENTS_LIST, " 1"}}},
        {IDD_APPSTATS, {{0, "Application statistics 1"}, {IDOK, "&OK 11"}, {IDC_DETAILS, "&Details 11"},
                        {IDC_APPSTATS_LIST, " 1"}}}};
    for (const auto& [id, windows] : dialogs) {
        const HWND dialog = ::CreateDialogParamA(nullptr, MAKEINTRESOURCEA(id), nullptr, nullptr, 0);
        for (const auto& [control, description] : windows) {
            const HWND window = control == 0 ? dialog : ::GetDlgItem(dialog, control);
            const LONG style = ::GetWindowLongA(window, GWL_STYLE);
            const LONG type = control == 0 ? (style & WS_THICKFRAME) != 0 : style & 0x1F;
            EXPECT_EQ(ui::Text(window) + " " + std::to_string(type), description);
        }
        ::DestroyWindow(dialog);
    }

    const HMENU menu = ::LoadMenuA(nullptr, MAKEINTRESOURCEA(IDR_TRAYMENU));
    const std::pair<UINT, const char*> items[] = {{ID_SHOW, "S&how"}, {IDC_STARTSTOP, "&Stop"}, {IDC_ABOUT, "&About"},
        {IDC_STATS, "S&tatistics"}, {IDC_OPTIONS, "&Options"}, {IDC_CLEAR, "&Clear"}, {IDOK, "&Exit"}};
    for (const auto& [id, text] : items) {
        char item[64] = {};
        ::GetMenuStringA(menu, id, item, sizeof item, MF_BYCOMMAND);
        EXPECT_STREQ(item, text) << id;
    }
    const std::pair<UINT, const char*> strings[] = {
        {IDS_CLEAR_CONFIRM, "Do you really want to clear all collected statistics?"},
        {IDS_NO_SELECTION, "No application was selected. Please, select an application and click 'Details' button or "
                           "just double click this application."},
        {IDS_DESC_RUNATSTARTUP, "Starting Vantel while Windows is starting up."},
        {IDS_DESC_MINTOTRAY, "Minimize Vantel to System Tray while starting."},
        {IDS_DESC_MONITOR, "Automatically start to monitor user activity when starting Vantel."},
        {IDS_DESC_PROMPT, "Move mouse cursor to the option the description of which you want to see."},
        {IDS_SETTINGS_NOT_SAVED, "These settings could not be saved:"},
        {IDS_OTHERS_SAVED, "The other settings were saved."},
        {IDS_TRAY_HINT_TITLE, "Vantel keeps counting here"},
        {IDS_TRAY_HINT, "Vantel runs in the notification area and counts your time. Double-click its icon to open the "
                        "window; right-click it for the menu."},
        {IDS_UNEXPECTED_FAILURE, "Vantel could not finish what it was doing and goes on running. What failed:"}};
    for (const auto& [id, text] : strings)
        EXPECT_EQ(LoadResString(id), text) << id;
}

}  // namespace
