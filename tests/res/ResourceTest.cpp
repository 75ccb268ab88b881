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

// What the resources hold, a line each: a dialog as its caption and whether the user may make it
// larger, then each control the code binds as its text and its type, the low five bits of its
// style (11: an owner-drawn button; 1: a report list that allows several selected rows and does
// not sort itself); the tray menu's items by command; the strings. The main window's template is
// read by the main window's own tests.
TEST(Resources, DialogsMenuAndStringsHoldWhatTheProgramBindsAndLoads)
{
    ::InitCommonControls();
    std::string held;
    const std::pair<int, std::vector<int>> dialogs[] = {{IDD_ABOUTBOX, {IDOK, IDC_WEBSITE_LABEL, IDC_WEBSITE_LINK}},
        {IDD_DOCUMENTS, {IDOK, IDC_DOCUMENTS_LIST}}, {IDD_APPSTATS, {IDOK, IDC_DETAILS, IDC_APPSTATS_LIST}}};
    for (const auto& [id, controls] : dialogs) {
        const HWND dialog = ::CreateDialogParamA(nullptr, MAKEINTRESOURCEA(id), nullptr, nullptr, 0);
        held += ui::Text(dialog) + ((::GetWindowLongA(dialog, GWL_STYLE) & WS_THICKFRAME) ? " 1" : " 0");
        for (const int control : controls)
            held += "|" + ui::Text(::GetDlgItem(dialog, control)) + " "
                    + std::to_string(::GetWindowLongA(::GetDlgItem(dialog, control), GWL_STYLE) & 0x1F);
        held += "\n";
        ::DestroyWindow(dialog);
    }
    const HMENU menu = ::LoadMenuA(nullptr, MAKEINTRESOURCEA(IDR_TRAYMENU));
    for (const UINT id : {ID_SHOW, IDC_STARTSTOP, IDC_STATS, IDC_OPTIONS, IDC_CLEAR, IDC_ABOUT, IDOK}) {
        char item[64] = {};
        ::GetMenuStringA(menu, id, item, sizeof item, MF_BYCOMMAND);
        held += std::string(item) + "\n";
    }
    for (const UINT id : {IDS_CLEAR_CONFIRM, IDS_DESC_RUNATSTARTUP, IDS_DESC_MINTOTRAY, IDS_DESC_MONITOR, IDS_DESC_PROMPT,
                          IDS_SETTINGS_NOT_SAVED, IDS_OTHERS_SAVED, IDS_TRAY_HINT_TITLE, IDS_TRAY_HINT, IDS_UNEXPECTED_FAILURE})
        held += LoadResString(id) + "\n";
    EXPECT_EQ(held, "About Vantel 0|OK 11|Web site:   0|https://www.norvatech.example/ 0\nDocuments 1|OK 11| 1\n"
                    "Application statistics 1|&OK 11|&Details 11| 1\nS&how\n&Stop\nS&tatistics\n&Options\n&Clear\n"
                    "&About\n&Exit\nDo you really want to clear all collected statistics?\nStarting Vantel while Windows "
                    "is starting up.\nMinimize Vantel to System Tray while starting.\nAutomatically start to monitor "
                    "user activity when starting Vantel.\nMove mouse cursor to the option the description of which you "
                    "want to see.\nThese settings could not be saved:\nThe other settings were saved.\nVantel keeps "
                    "counting here\nVantel runs in the notification area and counts your time. Double-click its icon "
                    "to open the window; right-click it for the menu.\nVantel could not finish what it was doing and "
                    "goes on running. What failed:\n");
}

}  // namespace
