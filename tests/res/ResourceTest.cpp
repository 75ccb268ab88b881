// Checks the compiled resources linked into this executable through the APIs the program loads
// them with: real dialogs and their bound controls, the tray menu, the string table, icons,
// bitmaps, manifest and version block.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "res/resource.h"

namespace {

HINSTANCE Module() { return GetModuleHandleA(nullptr); }

std::string TextOf(HWND hwnd) {
    char buffer[512] = "";
    GetWindowTextA(hwnd, buffer, sizeof buffer);
    return buffer;
}

std::string ClassOf(HWND hwnd) {
    char buffer[256] = "";
    GetClassNameA(hwnd, buffer, sizeof buffer);
    return buffer;
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// A control the program binds by id: its class, its text (nullptr: not checked) and its type,
// the style value under the class's type mask.
struct BoundControl {
    int id;
    const char* className;
    const char* text;
    DWORD type;
};

struct ExpectedDialog {
    int id;
    const char* title;
    const char* className;
    DWORD style;
    std::vector<BoundControl> controls;
};

constexpr DWORD kIconButton = BS_OWNERDRAW;
constexpr DWORD kReportList = LVS_REPORT;
constexpr DWORD kCheckBox = BS_AUTOCHECKBOX;

const ExpectedDialog kDialogs[] = {
    {IDD_ABOUTBOX, "About Vantel", "#32770", WS_CAPTION | WS_SYSMENU,
     {{IDOK, "Button", "OK", kIconButton},
      {IDC_WEBSITE_LABEL, "Static", "Web site:  ", SS_LEFT},
      {IDC_WEBSITE_LINK, "Button", "https://www.norvatech.example/", BS_PUSHBUTTON}}},
    {IDD_MAIN, "Vantel", "VantelMainDialog", WS_CAPTION | WS_SYSMENU | WS_THICKFRAME,
     {{IDC_STATS, "Button", "&Stats", kIconButton},
      {IDC_DETAILS, "Button", "&Details", kIconButton},
      {IDC_STARTSTOP, "Button", "S&top", kIconButton},
      {IDC_CLEAR, "Button", "&Clear", kIconButton},
      {IDCANCEL, "Button", "&Min", kIconButton},
      {IDC_OPTIONS, "Button", "&Options", kIconButton},
      {IDC_ABOUT, "Button", "&About", kIconButton},
      {IDOK, "Button", "&Exit", kIconButton},
      {IDC_MAIN_LIST, "SysListView32", nullptr, kReportList},
      {IDC_FRAME, "Static", nullptr, SS_BLACKFRAME}}},
    {IDD_DOCUMENTS, "Documents", "#32770", WS_CAPTION | WS_THICKFRAME,
     {{IDOK, "Button", "OK", kIconButton},
      {IDC_DOCUMENTS_LIST, "SysListView32", nullptr, kReportList}}},
    {IDD_APPSTATS, "Application statistics", "#32770", WS_CAPTION | WS_THICKFRAME,
     {{IDOK, "Button", "&OK", kIconButton},
      {IDC_DETAILS, "Button", "&Details", kIconButton},
      {IDC_APPSTATS_LIST, "SysListView32", nullptr, kReportList}}},
    {IDD_OPTIONS, "Vantel Options", "#32770", WS_CAPTION | WS_SYSMENU,
     {{IDC_RUN_AT_STARTUP, "Button", "Run at Windows startup", kCheckBox},
      {IDC_MIN_TO_TRAY, "Button", "Minimize to Tray at startup", kCheckBox},
      {IDC_MONITOR_AT_STARTUP, "Button", "Start monitoring at startup", kCheckBox},
      {IDC_DESCRIPTION, "Static", nullptr, SS_LEFT},
      {IDOK, "Button", "OK", kIconButton},
      {IDCANCEL, "Button", "Cancel", kIconButton}}},
};

class ResourceTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&icc);
    }
};

TEST_F(ResourceTest, EveryDialogCreatesWithTheControlsTheCodeBinds) {
    // The main window's template names its own class, so it creates only once that is registered.
    ASSERT_EQ(CreateDialogParamA(Module(), MAKEINTRESOURCEA(IDD_MAIN), nullptr, PlainDialogProc, 0),
              nullptr);
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    ASSERT_TRUE(GetClassInfoExA(nullptr, "#32770", &wc));
    wc.cbSize = sizeof wc;
    wc.hInstance = Module();
    wc.lpszClassName = "VantelMainDialog";
    ASSERT_NE(RegisterClassExA(&wc), 0);

    for (const ExpectedDialog& expected : kDialogs) {
        SCOPED_TRACE("dialog " + std::to_string(expected.id));
        HWND dialog = CreateDialogParamA(Module(), MAKEINTRESOURCEA(expected.id), nullptr,
                                         PlainDialogProc, 0);
        ASSERT_TRUE(dialog) << "error " << GetLastError();
        EXPECT_EQ(expected.title, TextOf(dialog));
        EXPECT_EQ(expected.className, ClassOf(dialog));
        const DWORD style = static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE));
        EXPECT_EQ(expected.style, style & expected.style) << std::hex << style;
        for (const BoundControl& want : expected.controls) {
            SCOPED_TRACE("control " + std::to_string(want.id));
            HWND control = GetDlgItem(dialog, want.id);
            ASSERT_TRUE(control);
            EXPECT_EQ(0, lstrcmpiA(want.className, ClassOf(control).c_str())) << ClassOf(control);
            if (want.text) {
                EXPECT_EQ(want.text, TextOf(control));
            }
            const DWORD controlStyle = static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE));
            const std::string kind = want.className;
            const DWORD typeMask = kind == "Button" ? BS_TYPEMASK
                                   : kind == "Static" ? SS_TYPEMASK : LVS_TYPEMASK;
            EXPECT_EQ(want.type, controlStyle & typeMask) << std::hex << controlStyle;
            if (kind == "SysListView32") {
                // Several rows may be selected, and the lists sort only on a header click.
                EXPECT_EQ(0u, controlStyle & (LVS_SINGLESEL | LVS_SORTASCENDING | LVS_SORTDESCENDING));
            }
        }
        DestroyWindow(dialog);
    }
}

TEST_F(ResourceTest, TrayMenuHasOnePopupWithTheActionsInOrder) {
    HMENU menu = LoadMenuA(Module(), MAKEINTRESOURCEA(IDR_TRAYMENU));
    ASSERT_TRUE(menu);
    ASSERT_EQ(1, GetMenuItemCount(menu));
    HMENU popup = GetSubMenu(menu, 0);
    ASSERT_TRUE(popup);

    struct Item { UINT id; const char* text; };  // text nullptr: separator
    const Item expected[] = {
        {ID_SHOW, "S&how"}, {IDC_STARTSTOP, "&Stop"}, {IDC_STATS, "S&tatistics"}, {0, nullptr},
        {IDC_OPTIONS, "&Options"}, {IDC_CLEAR, "&Clear"}, {0, nullptr},
        {IDC_ABOUT, "&About"}, {IDOK, "&Exit"},
    };
    ASSERT_EQ(static_cast<int>(std::size(expected)), GetMenuItemCount(popup));
    for (int i = 0; i < GetMenuItemCount(popup); ++i) {
        SCOPED_TRACE("item " + std::to_string(i));
        char text[64] = "";
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text;
        ASSERT_TRUE(GetMenuItemInfoA(popup, i, TRUE, &info));
        EXPECT_EQ(expected[i].text == nullptr, (info.fType & MFT_SEPARATOR) != 0);
        if (expected[i].text) {
            EXPECT_EQ(expected[i].id, info.wID);
            EXPECT_STREQ(expected[i].text, text);
        }
    }
    DestroyMenu(menu);
}

TEST_F(ResourceTest, StringTableHoldsTheExactTexts) {
    struct Entry { UINT id; const char* text; };
    const Entry expected[] = {
        {IDS_ABOUTBOX, "&About Vantel..."},
        {IDS_NO_SELECTION, "No application was selected. Please, select an application and click "
                           "'Details' button or just double click this application."},
        {IDS_CLEAR_CONFIRM, "Do you really want to clear all collected statistics?"},
        {IDS_DESC_RUNATSTARTUP, "Starting Vantel while Windows is starting up."},
        {IDS_DESC_MINTOTRAY, "Minimize Vantel to System Tray while starting."},
        {IDS_DESC_MONITOR, "Automatically start to monitor user activity when starting Vantel."},
        {IDS_DESC_PROMPT, "Move mouse cursor to the option the description of which you want to see."},
    };
    for (const Entry& entry : expected) {
        char text[512] = "";
        LoadStringA(Module(), entry.id, text, sizeof text);
        EXPECT_STREQ(entry.text, text) << entry.id;
    }
}

TEST_F(ResourceTest, IconsAndMenuBitmapsLoadAtTheirSizes) {
    for (int id : {IDI_MAIN, IDI_STOP, IDI_ABOUT, IDI_EXIT, IDI_START, IDI_MIN, IDI_STATS, IDI_OK,
                   IDI_DOCUMENT, IDI_APPLICATION_GENERIC, IDI_OPTIONS, IDI_DETAILS, IDI_CLEAR,
                   IDI_CANCEL, IDI_DISABLED}) {
        for (int size : {16, 32}) {
            // The stored image of that size: 32 bits, so its edges blend into any background.
            HRSRC group = FindResourceA(Module(), MAKEINTRESOURCEA(id), RT_GROUP_ICON);
            ASSERT_TRUE(group) << id;
            auto* directory = static_cast<BYTE*>(LockResource(LoadResource(Module(), group)));
            const int imageId = LookupIconIdFromDirectoryEx(directory, TRUE, size, size, LR_DEFAULTCOLOR);
            HRSRC image = FindResourceA(Module(), MAKEINTRESOURCEA(imageId), RT_ICON);
            ASSERT_TRUE(image) << id;
            auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(Module(), image)));
            EXPECT_EQ(size, header->biWidth) << id;
            EXPECT_EQ(32, header->biBitCount) << id;
            HICON icon = static_cast<HICON>(LoadImageA(Module(), MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, 0));
            EXPECT_TRUE(icon) << id;
            DestroyIcon(icon);
        }
    }
    for (int id : {IDB_MENU_ABOUT, IDB_MENU_EXIT, IDB_MENU_START, IDB_MENU_STATS, IDB_MENU_STOP,
                   IDB_MENU_SHOW, IDB_MENU_CLEAR, IDB_MENU_OPTIONS}) {
        HBITMAP bitmap = LoadBitmapA(Module(), MAKEINTRESOURCEA(id));
        ASSERT_TRUE(bitmap) << id;
        BITMAP info{};
        GetObjectA(bitmap, sizeof info, &info);
        EXPECT_EQ(12, info.bmWidth) << id;
        EXPECT_EQ(12, info.bmHeight) << id;
        DeleteObject(bitmap);
    }
}

TEST_F(ResourceTest, ManifestBringsCommonControls6) {
    // The process got the side-by-side common controls, not the plain system copy.
    char path[MAX_PATH] = "";
    GetModuleFileNameA(GetModuleHandleA("comctl32.dll"), path, MAX_PATH);
    CharLowerA(path);
    EXPECT_NE(nullptr, std::strstr(path, "\\winsxs\\")) << path;
}

TEST_F(ResourceTest, VersionBlockNamesProductAndMaker) {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    DWORD handle = 0;
    std::vector<BYTE> block(GetFileVersionInfoSizeA(path, &handle));
    ASSERT_FALSE(block.empty());
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, static_cast<DWORD>(block.size()), block.data()));
    auto value = [&](const char* name) {
        char* text = nullptr;
        UINT chars = 0;
        const std::string query = std::string("\\StringFileInfo\\040904b0\\") + name;
        return VerQueryValueA(block.data(), query.c_str(), reinterpret_cast<void**>(&text), &chars)
                   ? std::string(text) : std::string();
    };
    EXPECT_EQ("Norvatech", value("CompanyName"));
    EXPECT_EQ("Vantel", value("ProductName"));
    EXPECT_EQ("vantel.exe", value("OriginalFilename"));
    EXPECT_EQ("1.3.0.0", value("FileVersion"));
}

}  // namespace
