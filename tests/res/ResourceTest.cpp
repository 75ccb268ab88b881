// Checks the compiled resources linked into this executable: the dialog templates as bytes and as
// real dialogs, the tray menu, the string table, icons, bitmaps, manifest and version block.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "res/resource.h"

namespace {

HINSTANCE Module() { return GetModuleHandleA(nullptr); }

// ---- DLGTEMPLATEEX reader -------------------------------------------------------------------

struct TemplateItem {
    DWORD id = 0;
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::string className;  // predefined classes by name; "#n" for other ordinals
    std::string text;       // "#n" for an ordinal (an icon resource)
};

struct DialogTemplate {
    DWORD style = 0;
    short cx = 0, cy = 0;
    std::string menu, className, title, fontFace;
    WORD pointSize = 0;
    std::vector<TemplateItem> items;
};

class TemplateReader {
public:
    TemplateReader(const BYTE* data, size_t size) : m_data(data), m_size(size) {}

    template <typename T> T Read() {
        T value{};
        if (m_pos + sizeof(T) > m_size) { m_overrun = true; return value; }
        std::memcpy(&value, m_data + m_pos, sizeof(T));
        m_pos += sizeof(T);
        return value;
    }
    std::string ReadString() {
        std::wstring wide;
        for (WCHAR c = Read<WCHAR>(); c != 0 && !m_overrun; c = Read<WCHAR>()) wide += c;
        std::string narrow;
        for (WCHAR c : wide) narrow += static_cast<char>(c < 0x80 ? c : '?');
        return narrow;
    }
    std::string ReadNameOrOrdinal() {
        WORD first = Read<WORD>();
        if (first == 0) return "";
        if (first == 0xFFFF) return "#" + std::to_string(Read<WORD>());
        m_pos -= sizeof(WORD);
        return ReadString();
    }
    void AlignToDword() { m_pos = (m_pos + 3) & ~size_t(3); }
    void Skip(size_t bytes) { m_pos += bytes; }
    bool Overrun() const { return m_overrun || m_pos > m_size; }

private:
    const BYTE* m_data;
    size_t m_size;
    size_t m_pos = 0;
    bool m_overrun = false;
};

std::string PredefinedClass(const std::string& name) {
    static const char* const names[] = {"Button", "Edit", "Static", "ListBox", "ScrollBar", "ComboBox"};
    for (int i = 0; i < 6; ++i)
        if (name == "#" + std::to_string(0x80 + i)) return names[i];
    return name;
}

// Reads dialog template `id`; fails the current test when it is missing or not a DLGTEMPLATEEX.
bool LoadDialogTemplate(int id, DialogTemplate& dlg) {
    HRSRC found = FindResourceA(Module(), MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5) /* RT_DIALOG */);
    if (!found) { ADD_FAILURE() << "dialog template " << id << " missing"; return false; }
    const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(Module(), found)));
    TemplateReader in(data, SizeofResource(Module(), found));

    if (in.Read<WORD>() != 1 || in.Read<WORD>() != 0xFFFF) {
        ADD_FAILURE() << "dialog template " << id << " is not an extended template";
        return false;
    }
    in.Read<DWORD>();  // help id
    in.Read<DWORD>();  // extended style
    dlg.style = in.Read<DWORD>();
    WORD count = in.Read<WORD>();
    in.Read<short>();
    in.Read<short>();
    dlg.cx = in.Read<short>();
    dlg.cy = in.Read<short>();
    dlg.menu = in.ReadNameOrOrdinal();
    dlg.className = in.ReadNameOrOrdinal();
    dlg.title = in.ReadString();
    if (dlg.style & DS_SETFONT) {
        dlg.pointSize = in.Read<WORD>();
        in.Read<WORD>();  // weight
        in.Read<BYTE>();  // italic
        in.Read<BYTE>();  // charset
        dlg.fontFace = in.ReadString();
    }
    for (WORD i = 0; i < count && !in.Overrun(); ++i) {
        TemplateItem item;
        in.AlignToDword();
        in.Read<DWORD>();  // help id
        in.Read<DWORD>();  // extended style
        item.style = in.Read<DWORD>();
        item.x = in.Read<short>();
        item.y = in.Read<short>();
        item.cx = in.Read<short>();
        item.cy = in.Read<short>();
        item.id = in.Read<DWORD>();
        item.className = PredefinedClass(in.ReadNameOrOrdinal());
        item.text = in.ReadNameOrOrdinal();
        in.Skip(in.Read<WORD>());  // creation data
        dlg.items.push_back(item);
    }
    if (in.Overrun()) { ADD_FAILURE() << "dialog template " << id << " is truncated"; return false; }
    return true;
}

// ---- expected templates ---------------------------------------------------------------------

struct ExpectedControl {
    int id;
    const char* className;
    const char* text;  // nullptr: checked by the test itself
    DWORD style;
    short x, y, cx, cy;
};

struct ExpectedDialog {
    int id;
    const char* title;
    DWORD style;
    short cx, cy;
    const char* className;  // "" for the system dialog class
    std::vector<ExpectedControl> controls;
};

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kIconButton = kChild | WS_TABSTOP | BS_OWNERDRAW;
constexpr DWORD kReportList = kChild | WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_ALIGNLEFT;
constexpr DWORD kCheckBox = kChild | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr DWORD kGroupBox = kChild | BS_GROUPBOX;
constexpr DWORD kText = kChild | SS_LEFT | WS_GROUP;
constexpr DWORD kFixedDialog = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
constexpr DWORD kSizingDialog = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_SETFONT;

const ExpectedDialog kAboutBox{
    IDD_ABOUTBOX, "About Vantel", kFixedDialog | DS_FIXEDSYS, 231, 63, "",
    {
        {-1, "Static", "#128", kChild | SS_ICON, 7, 6, 20, 20},
        {-1, "Static", "Vantel Version 1.3", kText | SS_NOPREFIX, 37, 6, 71, 8},
        {IDC_WEBSITE_LABEL, "Static", "Web site:  ", kText, 33, 48, 34, 8},
        {IDOK, "Button", "OK", kIconButton | WS_GROUP, 186, 6, 38, 15},
        {-1, "Static", nullptr, kText, 37, 21, 139, 19},
        {-1, "Static", "", kChild | SS_ETCHEDHORZ, 7, 42, 217, 1},
        {IDC_WEBSITE_LINK, "Button", "https://www.norvatech.example/", kChild | WS_TABSTOP | BS_PUSHBUTTON,
         66, 47, 100, 9},
    }};

const ExpectedDialog kMainWindow{
    IDD_MAIN, "Vantel", kSizingDialog | WS_VISIBLE, 310, 212, "VantelMainDialog",
    {
        {IDC_STATS, "Button", "&Stats", kIconButton, 248, 14, 48, 17},
        {IDC_DETAILS, "Button", "&Details", kIconButton, 248, 35, 48, 17},
        {IDC_STARTSTOP, "Button", "S&top", kIconButton, 248, 56, 48, 17},
        {IDC_CLEAR, "Button", "&Clear", kIconButton, 248, 85, 48, 17},
        {IDCANCEL, "Button", "&Min", kIconButton, 248, 106, 48, 17},
        {IDC_OPTIONS, "Button", "&Options", kIconButton, 248, 127, 48, 17},
        {IDC_ABOUT, "Button", "&About", kIconButton, 248, 156, 48, 17},
        {IDOK, "Button", "&Exit", kIconButton, 248, 177, 48, 17},
        {IDC_MAIN_LIST, "SysListView32", "", kReportList, 7, 7, 227, 194},
        {IDC_FRAME, "Static", "", kChild | SS_BLACKFRAME, 241, 7, 62, 194},
    }};

const ExpectedDialog kDocuments{
    IDD_DOCUMENTS, "Documents", kSizingDialog | DS_FIXEDSYS, 306, 138, "",
    {
        {IDOK, "Button", "OK", kIconButton, 134, 117, 34, 14},
        {IDC_DOCUMENTS_LIST, "SysListView32", "", kReportList, 7, 7, 292, 103},
    }};

const ExpectedDialog kAppStats{
    IDD_APPSTATS, "Application statistics", kSizingDialog | DS_FIXEDSYS | WS_VISIBLE, 254, 170, "",
    {
        {IDOK, "Button", "&OK", kIconButton, 197, 7, 48, 17},
        {IDC_DETAILS, "Button", "&Details", kIconButton, 197, 28, 48, 17},
        {IDC_APPSTATS_LIST, "SysListView32", "", kReportList, 7, 7, 183, 156},
    }};

const ExpectedDialog kOptions{
    IDD_OPTIONS, "Vantel Options", kFixedDialog, 219, 150, "",
    {
        {-1, "Button", "Common Options", kGroupBox, 7, 7, 205, 58},
        {IDC_RUN_AT_STARTUP, "Button", "Run at Windows startup", kCheckBox, 14, 20, 117, 10},
        {IDC_MIN_TO_TRAY, "Button", "Minimize to Tray at startup", kCheckBox, 14, 34, 117, 10},
        {IDC_MONITOR_AT_STARTUP, "Button", "Start monitoring at startup", kCheckBox, 14, 48, 117, 10},
        {-1, "Button", "Description", kGroupBox, 7, 67, 205, 42},
        {IDC_DESCRIPTION, "Static", "Desca", kText, 14, 82, 191, 19},
        {-1, "Button", "", kGroupBox, 7, 110, 205, 32},
        {IDOK, "Button", "OK", kIconButton, 59, 120, 43, 15},
        {IDCANCEL, "Button", "Cancel", kIconButton, 116, 120, 43, 15},
    }};

const ExpectedDialog* const kAllDialogs[] = {&kAboutBox, &kMainWindow, &kDocuments, &kAppStats, &kOptions};

// The About box's legal notice: two lines in the maker's name.
void ExpectLegalNotice(const std::string& text) {
    EXPECT_NE(text.find("Norvatech"), std::string::npos) << text;
    size_t lineBreak = text.find('\n');
    ASSERT_NE(lineBreak, std::string::npos) << text;
    EXPECT_EQ(text.find('\n', lineBreak + 1), std::string::npos) << text;
    EXPECT_GT(lineBreak, 0u);
    EXPECT_LT(lineBreak + 1, text.size());
}

void ExpectTemplateMatches(const ExpectedDialog& expected) {
    SCOPED_TRACE("dialog " + std::to_string(expected.id));
    DialogTemplate dlg;
    if (!LoadDialogTemplate(expected.id, dlg)) return;

    EXPECT_EQ(dlg.style, expected.style) << std::hex;
    EXPECT_EQ(dlg.cx, expected.cx);
    EXPECT_EQ(dlg.cy, expected.cy);
    EXPECT_EQ(dlg.title, expected.title);
    EXPECT_EQ(dlg.menu, "");
    // windres writes class names in capitals; window class names compare without case.
    EXPECT_EQ(lstrcmpiA(dlg.className.c_str(), expected.className), 0) << dlg.className;
    EXPECT_EQ(dlg.pointSize, 8);
    EXPECT_EQ(dlg.fontFace, "MS Shell Dlg");

    ASSERT_EQ(dlg.items.size(), expected.controls.size());
    for (size_t i = 0; i < dlg.items.size(); ++i) {
        const TemplateItem& item = dlg.items[i];
        const ExpectedControl& want = expected.controls[i];
        SCOPED_TRACE("control #" + std::to_string(i) + " id " + std::to_string(want.id));
        EXPECT_EQ(static_cast<int>(item.id), want.id);
        EXPECT_EQ(lstrcmpiA(item.className.c_str(), want.className), 0) << item.className;
        if (want.text)
            EXPECT_EQ(item.text, want.text);
        else
            ExpectLegalNotice(item.text);
        EXPECT_EQ(item.style, want.style) << std::hex << "style 0x" << item.style;
        EXPECT_EQ(item.x, want.x);
        EXPECT_EQ(item.y, want.y);
        EXPECT_EQ(item.cx, want.cx);
        EXPECT_EQ(item.cy, want.cy);
    }
}

// ---- live dialogs ---------------------------------------------------------------------------

INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

struct WindowDeleter {
    void operator()(HWND hwnd) const { if (hwnd) DestroyWindow(hwnd); }
};
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDeleter>;

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

void RegisterMainWindowClass() {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExA(Module(), "VantelMainDialog", &wc)) return;
    ASSERT_TRUE(GetClassInfoExA(nullptr, "#32770", &wc));
    wc.cbSize = sizeof wc;
    wc.hInstance = Module();
    wc.lpszClassName = "VantelMainDialog";
    ASSERT_NE(RegisterClassExA(&wc), 0);
}

void ExpectDialogCreates(const ExpectedDialog& expected) {
    SCOPED_TRACE("dialog " + std::to_string(expected.id));
    UniqueWindow dlg(CreateDialogParamA(Module(), MAKEINTRESOURCEA(expected.id), nullptr, PlainDialogProc, 0));
    ASSERT_TRUE(dlg) << "error " << GetLastError();
    HWND hDlg = dlg.get();

    EXPECT_EQ(TextOf(hDlg), expected.title);
    EXPECT_EQ(ClassOf(hDlg), *expected.className ? expected.className : "#32770");
    RECT client{}, size{0, 0, expected.cx, expected.cy};
    GetClientRect(hDlg, &client);
    MapDialogRect(hDlg, &size);
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);

    // Children stand in template order.
    HWND child = GetWindow(hDlg, GW_CHILD);
    for (const ExpectedControl& want : expected.controls) {
        SCOPED_TRACE("control id " + std::to_string(want.id) + " " + (want.text ? want.text : ""));
        ASSERT_TRUE(child);
        EXPECT_EQ(GetDlgCtrlID(child), want.id);
        EXPECT_EQ(lstrcmpiA(ClassOf(child).c_str(), want.className), 0) << ClassOf(child);

        // The dialog manager converts position and size separately, so does this.
        RECT placed{}, wanted{want.x, want.y, want.cx, want.cy};
        GetWindowRect(child, &placed);
        MapWindowPoints(nullptr, hDlg, reinterpret_cast<POINT*>(&placed), 2);
        MapDialogRect(hDlg, &wanted);
        EXPECT_EQ(placed.left, wanted.left);
        EXPECT_EQ(placed.top, wanted.top);

        const bool isStatic = want.className == std::string("Static");
        if (isStatic && (want.style & SS_TYPEMASK) == SS_ICON) {
            // An icon static sizes itself to its icon; it must have found icon 128.
            EXPECT_NE(SendMessageA(child, STM_GETICON, 0, 0), 0);
        } else {
            // An etched rule sizes itself to its border.
            if (!(isStatic && (want.style & SS_TYPEMASK) == SS_ETCHEDHORZ)) {
                EXPECT_EQ(placed.right - placed.left, wanted.right);
                EXPECT_EQ(placed.bottom - placed.top, wanted.bottom);
            }
            if (want.text)
                EXPECT_EQ(TextOf(child), want.text);
            else
                ExpectLegalNotice(TextOf(child));
        }
        child = GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_FALSE(child) << "unexpected extra control " << GetDlgCtrlID(child);
}

class ResourceTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&icc);
    }
};

TEST_F(ResourceTest, DialogTemplatesHoldTheDocumentedControls) {
    for (const ExpectedDialog* dialog : kAllDialogs) ExpectTemplateMatches(*dialog);
}

TEST_F(ResourceTest, EveryDialogCreatesWithItsControlsInPlace) {
    RegisterMainWindowClass();
    for (const ExpectedDialog* dialog : kAllDialogs) ExpectDialogCreates(*dialog);
}

TEST_F(ResourceTest, ListsAllowSeveralSelectionsAndDoNotSortThemselves) {
    for (const ExpectedDialog* dialog : kAllDialogs) {
        DialogTemplate dlg;
        if (!LoadDialogTemplate(dialog->id, dlg)) continue;
        for (const TemplateItem& item : dlg.items) {
            if (lstrcmpiA(item.className.c_str(), "SysListView32") != 0) continue;
            EXPECT_EQ(item.style & (LVS_SINGLESEL | LVS_SORTASCENDING | LVS_SORTDESCENDING), 0u)
                << "list " << item.id << " of dialog " << dialog->id;
        }
    }
}

TEST_F(ResourceTest, MainWindowTemplateNeedsItsRegisteredClass) {
    // Without "VantelMainDialog" registered the template cannot be instantiated: proof that it
    // really names that class rather than the system dialog class.
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExA(Module(), "VantelMainDialog", &wc)) {
        ASSERT_TRUE(UnregisterClassA("VantelMainDialog", Module()));
    }
    HWND hwnd = CreateDialogParamA(Module(), MAKEINTRESOURCEA(IDD_MAIN), nullptr, PlainDialogProc, 0);
    EXPECT_EQ(hwnd, nullptr);
    if (hwnd) DestroyWindow(hwnd);
}

// ---- menu, strings --------------------------------------------------------------------------

TEST_F(ResourceTest, TrayMenuHasOnePopupWithTheActionsInOrder) {
    HMENU menu = LoadMenuA(Module(), MAKEINTRESOURCEA(IDR_TRAYMENU));
    ASSERT_TRUE(menu);
    ASSERT_EQ(GetMenuItemCount(menu), 1);
    char text[64] = "";
    GetMenuStringA(menu, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "Actions");
    HMENU popup = GetSubMenu(menu, 0);
    ASSERT_TRUE(popup);

    struct Item { UINT id; const char* text; };  // text nullptr: separator
    const Item expected[] = {
        {ID_SHOW, "S&how"},      {IDC_STARTSTOP, "&Stop"}, {IDC_STATS, "S&tatistics"}, {0, nullptr},
        {IDC_OPTIONS, "&Options"}, {IDC_CLEAR, "&Clear"},  {0, nullptr},
        {IDC_ABOUT, "&About"},   {IDOK, "&Exit"},
    };
    ASSERT_EQ(GetMenuItemCount(popup), static_cast<int>(std::size(expected)));
    for (int i = 0; i < GetMenuItemCount(popup); ++i) {
        SCOPED_TRACE("item " + std::to_string(i));
        char itemText[64] = "";
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING | MIIM_SUBMENU;
        info.dwTypeData = itemText;
        info.cch = sizeof itemText;
        ASSERT_TRUE(GetMenuItemInfoA(popup, i, TRUE, &info));
        EXPECT_EQ(info.hSubMenu, nullptr);
        if (!expected[i].text) {
            EXPECT_TRUE(info.fType & MFT_SEPARATOR);
        } else {
            EXPECT_FALSE(info.fType & MFT_SEPARATOR);
            EXPECT_EQ(info.wID, expected[i].id);
            EXPECT_STREQ(itemText, expected[i].text);
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
        int length = LoadStringA(Module(), entry.id, text, sizeof text);
        EXPECT_EQ(length, static_cast<int>(std::strlen(entry.text))) << entry.id;
        EXPECT_STREQ(text, entry.text) << entry.id;
    }
    char text[16] = "x";
    EXPECT_EQ(LoadStringA(Module(), 108, text, sizeof text), 0) << "no string beyond 107";
}

// ---- icons and bitmaps ----------------------------------------------------------------------

const int kIconIds[] = {IDI_MAIN,    IDI_STOP,     IDI_ABOUT,   IDI_EXIT,   IDI_START,
                        IDI_MIN,     IDI_STATS,    IDI_OK,      IDI_DOCUMENT, IDI_APPLICATION_GENERIC,
                        IDI_OPTIONS, IDI_DETAILS,  IDI_CLEAR,   IDI_CANCEL, IDI_DISABLED};

// The stored image of icon group `groupId` closest to size x size, as its DIB header and pixels.
const BITMAPINFOHEADER* IconImage(int groupId, int size) {
    HRSRC group = FindResourceA(Module(), MAKEINTRESOURCEA(groupId), MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */);
    if (!group) return nullptr;
    auto* directory = static_cast<BYTE*>(LockResource(LoadResource(Module(), group)));
    int imageId = LookupIconIdFromDirectoryEx(directory, TRUE, size, size, LR_DEFAULTCOLOR);
    HRSRC image = FindResourceA(Module(), MAKEINTRESOURCEA(imageId), MAKEINTRESOURCEA(3) /* RT_ICON */);
    if (!image) return nullptr;
    return static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(Module(), image)));
}

const RGBQUAD* PixelsOf(const BITMAPINFOHEADER* header) {
    return reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const BYTE*>(header) + header->biSize);
}

TEST_F(ResourceTest, EveryIconHas16And32PixelImagesWithAlpha) {
    for (int id : kIconIds) {
        SCOPED_TRACE("icon " + std::to_string(id));
        for (int size : {16, 32}) {
            HICON icon = static_cast<HICON>(LoadImageA(Module(), MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, 0));
            EXPECT_TRUE(icon);
            if (icon) DestroyIcon(icon);

            const BITMAPINFOHEADER* header = IconImage(id, size);
            ASSERT_TRUE(header);
            EXPECT_EQ(header->biWidth, size);
            EXPECT_EQ(header->biHeight, 2 * size);  // colour image and AND mask
            EXPECT_EQ(header->biBitCount, 32);
            int transparent = 0, opaque = 0;
            const RGBQUAD* pixels = PixelsOf(header);
            for (int i = 0; i < size * size; ++i) {
                transparent += pixels[i].rgbReserved == 0;
                opaque += pixels[i].rgbReserved == 255;
            }
            EXPECT_GT(transparent, 0) << "size " << size;
            EXPECT_GT(opaque, size) << "size " << size;
        }
        EXPECT_TRUE(LoadIconA(Module(), MAKEINTRESOURCEA(id)));
    }
}

TEST_F(ResourceTest, DisabledIconIsAGreyProgramIcon) {
    for (int size : {16, 32, 48}) {
        const BITMAPINFOHEADER* main = IconImage(IDI_MAIN, size);
        const BITMAPINFOHEADER* disabled = IconImage(IDI_DISABLED, size);
        ASSERT_TRUE(main && disabled);
        ASSERT_EQ(main->biWidth, size);
        ASSERT_EQ(disabled->biWidth, size);
        const RGBQUAD* colour = PixelsOf(main);
        const RGBQUAD* grey = PixelsOf(disabled);
        int colouredPixels = 0;
        for (int i = 0; i < size * size; ++i) {
            EXPECT_EQ(grey[i].rgbReserved, colour[i].rgbReserved) << "same outline, pixel " << i;
            EXPECT_TRUE(grey[i].rgbRed == grey[i].rgbGreen && grey[i].rgbGreen == grey[i].rgbBlue) << i;
            colouredPixels += colour[i].rgbRed != colour[i].rgbBlue;
        }
        EXPECT_GT(colouredPixels, 0) << "the program icon itself is in colour";
    }
}

TEST_F(ResourceTest, MenuBitmapsAre12By12TrueColour) {
    for (int id : {IDB_MENU_ABOUT, IDB_MENU_EXIT, IDB_MENU_START, IDB_MENU_STATS, IDB_MENU_STOP,
                   IDB_MENU_SHOW, IDB_MENU_CLEAR, IDB_MENU_OPTIONS}) {
        SCOPED_TRACE("bitmap " + std::to_string(id));
        HBITMAP bitmap = LoadBitmapA(Module(), MAKEINTRESOURCEA(id));
        ASSERT_TRUE(bitmap);
        BITMAP info{};
        GetObjectA(bitmap, sizeof info, &info);
        EXPECT_EQ(info.bmWidth, 12);
        EXPECT_EQ(info.bmHeight, 12);
        DeleteObject(bitmap);

        HRSRC found = FindResourceA(Module(), MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2) /* RT_BITMAP */);
        ASSERT_TRUE(found);
        auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(Module(), found)));
        EXPECT_EQ(header->biBitCount, 24);
    }
}

// ---- manifest and version -------------------------------------------------------------------

TEST_F(ResourceTest, ManifestRequestsCommonControls6) {
    HRSRC found = FindResourceA(Module(), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24) /* RT_MANIFEST */);
    ASSERT_TRUE(found);
    const char* data = static_cast<const char*>(LockResource(LoadResource(Module(), found)));
    std::string manifest(data, SizeofResource(Module(), found));
    for (const char* part : {"name=\"Microsoft.Windows.Common-Controls\"", "version=\"6.0.0.0\"",
                             "processorArchitecture=\"x86\"", "publicKeyToken=\"6595b64144ccf1df\""})
        EXPECT_NE(manifest.find(part), std::string::npos) << part;

    // The manifest is in effect: this process got the side-by-side common controls (version 6),
    // not the plain system copy.
    HMODULE comctl = GetModuleHandleA("comctl32.dll");
    ASSERT_TRUE(comctl);
    char path[MAX_PATH] = "";
    GetModuleFileNameA(comctl, path, MAX_PATH);
    CharLowerA(path);
    EXPECT_NE(std::strstr(path, "\\winsxs\\"), nullptr) << path;
}

TEST_F(ResourceTest, VersionBlockNamesProductAndMaker) {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &handle);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(3, 1));
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);

    auto value = [&](const char* name) {
        char* text = nullptr;
        UINT chars = 0;
        std::string query = std::string("\\StringFileInfo\\040904b0\\") + name;
        if (!VerQueryValueA(block.data(), query.c_str(), reinterpret_cast<void**>(&text), &chars)) return std::string();
        return std::string(text);
    };
    EXPECT_EQ(value("CompanyName"), "Norvatech");
    EXPECT_EQ(value("ProductName"), "Vantel");
    EXPECT_EQ(value("OriginalFilename"), "vantel.exe");
    EXPECT_EQ(value("FileVersion"), "1.3.0.0");
    EXPECT_NE(value("LegalCopyright").find("Norvatech"), std::string::npos);
    EXPECT_FALSE(value("FileDescription").empty());
}

}  // namespace
