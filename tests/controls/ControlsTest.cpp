// The report list, the icon button and the link, bound to the controls of one dialog as the
// program's dialogs bind theirs, driven by real messages, the mouse and the keyboard inside the
// dialog's modal loop, and looked at as they paint themselves. The shell and the OLE drag loop
// are caught at the import table: nothing is opened and no modal drag runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "controls/HyperlinkCtrl.h"
#include "controls/IconButton.h"
#include "controls/StripedReportListCtrl.h"
#include "framework/Dialog.h"
#include "res/resource.h"
#include "tests/controls/Seen.h"
#include "tests/support/ImportPatch.h"
#include "tests/support/Ui.h"

namespace {

// Records the clicks and the link's notifications it gets, and refuses the link's requests
// whose codes are in refused.
class ControlsDialog : public Dialog {
public:
    ControlsDialog() : Dialog(910) {}   // in ControlsTest.rc

    StripedReportListCtrl list;
    IconButton button;
    HyperlinkCtrl link;
    std::vector<HWND> clicks;   // the source of every command
    std::vector<int> linkCodes;
    std::set<int> refused;

protected:
    void DoDataExchange(DataExchange& exchange) override
    {
        DDX_Control(exchange, IDC_APPSTATS_LIST, list);
        DDX_Control(exchange, IDC_DETAILS, button);
        DDX_Control(exchange, IDC_WEBSITE_LINK, link);
    }
    LRESULT OnCommand(WPARAM, LPARAM lParam)
    {
        clicks.push_back(reinterpret_cast<HWND>(lParam));
        return 0;
    }
    LRESULT OnNotify(WPARAM, LPARAM lParam)
    {
        auto* note = reinterpret_cast<NMHYPERLINK*>(lParam);
        if (note->hdr.hwndFrom == link.m_hWnd) {
            linkCodes.push_back(static_cast<int>(note->hdr.code));
            note->value = refused.count(linkCodes.back()) != 0 ? 0 : note->value;
        }
        return 0;
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ControlsDialog, Dialog)
    ON_MESSAGE(WM_COMMAND, OnCommand)
    ON_MESSAGE(WM_NOTIFY, OnNotify)
END_MESSAGE_MAP()

// Opens the dialog and runs body inside its modal loop.
void InDialog(const std::function<void(ControlsDialog&)>& body)
{
    ControlsDialog dialog;
    ui::Script::Run(dialog, {ui::Script::Do([&] { body(dialog); })});
}

// ---- The report list

constexpr COLORREF Stripe = RGB(232, 232, 243), White = RGB(255, 255, 255), LastRow = RGB(185, 200, 216);
constexpr COLORREF Red = RGB(200, 0, 0);

// The statistics dialog's rows: four applications, the blank row and "Total:".
void FillStatistics(StripedReportListCtrl& list)
{
    list.SetSeparatorText(std::string());
    for (const char* heading : {"Applications", "Time", "Percent"})
        list.InsertColumn(list.GetColumnCount(), heading, LVCFMT_LEFT, 100);
    const char* const rows[][3] = {{"notepad.exe", "0:10:00", "30%"}, {"Calc.exe", "1:30:00", "5%"},
                                   {"explorer.exe", "9:59:59", "40%"}, {"zed.exe", "10:00:00", "25%"}};
    for (int row = 0; row < 4; ++row) {
        list.InsertItem(row, rows[row][0]);
        for (int column = 1; column < 3; ++column)
            list.SetItemText(row, column, rows[row][column]);
    }
    list.AppendTotalRows({"21:39:59", "100%"});
}

// The list as the user sees it: each row's first cell and the background of its three cells as
// painted (S stripe, W white, L the last row's colour, R red), then each heading's sort arrow
// (^ up, v down, - none).
std::string Shown(HWND list)
{
    const Picture picture(list);
    const COLORREF known[] = {Stripe, White, LastRow, Red};
    std::string shown;
    for (int row = 0; row < ListView_GetItemCount(list); ++row) {
        shown += ui::ListRows(list)[static_cast<size_t>(row)][0] + ":";
        for (int column = 0; column < 3; ++column) {
            RECT cell{};
            ListView_GetSubItemRect(list, row, column, LVIR_LABEL, &cell);
            const COLORREF colour = picture.At(cell.right - 3, (cell.top + cell.bottom) / 2);
            shown += "SWLR?"[std::find(known, known + 4, colour) - known];
        }
        shown += ' ';
    }
    for (int column = 0; column < 3; ++column) {
        HDITEMA item{};
        item.mask = HDI_FORMAT;
        Header_GetItem(ListView_GetHeader(list), column, &item);
        shown += item.fmt & HDF_SORTUP ? '^' : item.fmt & HDF_SORTDOWN ? 'v' : '-';
    }
    return shown;
}

// A left click in the middle of a column heading, as the mouse gives it.
void ClickHeader(HWND list, int column)
{
    RECT item{};
    Header_GetItemRect(ListView_GetHeader(list), column, &item);
    const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    for (const UINT message : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP})
        ::SendMessageA(ListView_GetHeader(list), message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0, at);
}

// Data rows are striped, the blank row is white and "Total:" has its own colour. A click on a
// heading sorts each segment between separator rows (here the blank row) by that column,
// ascending first and reversed by the next click on the same column, puts the direction's arrow
// on it and stripes the rows again. Rows move whole, with their colours.
TEST(ReportList, SortsOnHeaderClicksSegmentBySegmentAndPaintsStripesAndTotals)
{
    InDialog([](ControlsDialog& dialog) {
        FillStatistics(dialog.list);
        const HWND list = dialog.list.m_hWnd;
        EXPECT_EQ(ListView_GetExtendedListViewStyle(list), LVS_EX_FULLROWSELECT | LVS_EX_SUBITEMIMAGES);
        dialog.list.SortItems(1, false);   // as the statistics dialog opens: by time, largest first
        EXPECT_EQ(Shown(list), "zed.exe:WWW explorer.exe:SSS Calc.exe:WWW notepad.exe:SSS :WWW Total::LLL -v-");
        const std::pair<int, const char*> clicks[] = {
            {1, "notepad.exe:SSS Calc.exe:WWW explorer.exe:SSS zed.exe:WWW :WWW Total::LLL -^-"},
            {1, "zed.exe:SSS explorer.exe:WWW Calc.exe:SSS notepad.exe:WWW :WWW Total::LLL -v-"},
            {2, "Calc.exe:SSS zed.exe:WWW notepad.exe:SSS explorer.exe:WWW :WWW Total::LLL --^"},
            {0, "Calc.exe:SSS explorer.exe:WWW notepad.exe:SSS zed.exe:WWW :WWW Total::LLL ^--"},
        };
        for (const auto& [column, shown] : clicks) {
            ClickHeader(list, column);
            EXPECT_EQ(Shown(list), shown);
        }
        // A changed cell forgets the order, so the next click sorts ascending. An empty cell in
        // the sort column splits the rows: each side is sorted apart.
        dialog.list.SetItemText(1, 1, "");   // explorer.exe's time
        ClickHeader(list, 0);
        EXPECT_EQ(Shown(list), "Calc.exe:SSS explorer.exe:WWW notepad.exe:SSS zed.exe:WWW :WWW Total::LLL ^--");
        ClickHeader(list, 1);
        ClickHeader(list, 1);
        EXPECT_EQ(Shown(list), "Calc.exe:SSS explorer.exe:WWW zed.exe:SSS notepad.exe:WWW :WWW Total::LLL -v-");

        // A row or a column out of range widens a cell's colour to every row or every column.
        const std::tuple<int, int, const char*> cells[] = {   // row, column, painted
            {1, 1, "SSS WRW SSS WWW WWW LLL"}, {6, 2, "SSR WWR SSR WWR WWR LLR"},
            {0, 3, "RRR WWW SSS WWW WWW LLL"}, {-1, -1, "RRR RRR RRR RRR RRR RRR"}};
        const std::regex namesAndArrows("[^ ]*:| ...$");
        for (const auto& [row, column, painted] : cells) {
            dialog.list.RecolorRows();
            dialog.list.SetCellBkColor(row, column, Red, true);
            EXPECT_EQ(std::regex_replace(Shown(list), namesAndArrows, ""), painted) << row << ", " << column;
        }
    });
}

// Presses the keys in order and lets them go in reverse, as the keyboard gives them.
void Type(const std::vector<BYTE>& keys)
{
    for (const BYTE key : keys)
        ::keybd_event(key, 0, 0, 0);
    for (auto key = keys.rbegin(); key != keys.rend(); ++key)
        ::keybd_event(*key, 0, KEYEVENTF_KEYUP, 0);
}

// The clipboard's text, taken off it.
std::wstring TakeClipboardText()
{
    std::wstring text;
    ::OpenClipboard(nullptr);
    if (const HANDLE data = ::GetClipboardData(CF_UNICODETEXT))
        text = static_cast<const wchar_t*>(::GlobalLock(data));
    ::EmptyClipboard();
    ::CloseClipboard();
    return text;
}

// Space would tick the focused row's check box (or change its selection): it never reaches the
// list. Ctrl+C copies the selected rows, or every row when none is, under the headings.
TEST(ReportList, SpaceNeverReachesTheListAndCtrlCCopiesTheSelectedOrEveryRow)
{
    ControlsDialog dialog;
    const HWND& list = dialog.list.m_hWnd;
    std::wstring selected, all;
    ui::Script::Run(dialog, {ui::Script::Do([&] {
                                 FillStatistics(dialog.list);
                                 ListView_SetExtendedListViewStyleEx(list, LVS_EX_CHECKBOXES, LVS_EX_CHECKBOXES);
                                 dialog.list.SetItemText(3, 0, "\xC3\x89" "diteur \xD0\x96.exe");   // UTF-8
                                 for (int row : {1, 4, 5})
                                     ListView_SetItemState(list, row, LVIS_SELECTED, LVIS_SELECTED);
                                 ListView_SetItemState(list, 1, LVIS_FOCUSED, LVIS_FOCUSED);
                                 ::SetFocus(list);
                                 TakeClipboardText();
                                 Type({VK_SPACE});
                                 Type({VK_CONTROL, 'C'});
                             }),
                             ui::Script::Do([&] {
                                 EXPECT_FALSE(ListView_GetCheckState(list, 1)) << "Space reached the list";
                                 selected = TakeClipboardText();
                                 ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
                                 Type({VK_CONTROL, 'C'});
                             }),
                             ui::Script::Do([&] { all = TakeClipboardText(); })});
    EXPECT_EQ(selected, L"Applications\tTime\tPercent\r\nCalc.exe\t1:30:00\t5%\r\nTotal:\t21:39:59\t100%");
    EXPECT_EQ(all, L"Applications\tTime\tPercent\r\nnotepad.exe\t0:10:00\t30%\r\nCalc.exe\t1:30:00\t5%\r\n"
                   L"explorer.exe\t9:59:59\t40%\r\n\u00C9diteur \u0416.exe\t10:00:00\t25%\r\nTotal:\t21:39:59\t100%");
}

TEST(ReportList, FindRowExactTellsCaseVariantsApartAndLongTextsAreReadWhole)
{
    InDialog([](ControlsDialog& dialog) {
        dialog.list.InsertColumn(0, "Processes");
        for (const char* name : {"Notepad.exe", "calc.exe", "notepad.exe", "NOTEPAD.EXE", "", "Total:"})
            dialog.list.InsertItem(dialog.list.GetRowCount(), name);
        const std::pair<const char*, int> finds[] = {{"Notepad.exe", 0}, {"notepad.exe", 2}, {"NOTEPAD.EXE", 3},
                                                     {"NotePad.exe", -1}, {"notepad", -1}, {"Total:", 5}};
        for (const auto& [label, row] : finds)
            EXPECT_EQ(dialog.list.FindRowExact(label), row) << label;
        // Also a name whose multibyte character would straddle the end of the first read.
        for (const std::string& name : {std::string(600, 'x'), std::string(253, 'x') + "\xE4\xB8\xAD.exe"}) {
            dialog.list.InsertItem(0, name.c_str());
            EXPECT_EQ(dialog.list.GetItemText(0, 0), name);
            EXPECT_EQ(dialog.list.FindRowExact(name), 0);
        }
    });
}

// ---- The icon button

// On Enter a default-button dialog asks every control to push itself: an icon button answers
// with its click only while it has the focus. The mouse over it draws it hot.
TEST(IconButton, AnswersPushDefaultButtonWhenFocusedAndIsHotUnderTheMouse)
{
    InDialog([](ControlsDialog& dialog) {
        const HWND button = dialog.button.m_hWnd;
        dialog.button.SetIcon(IDI_DETAILS);   // and with it the visual style, which shows it hot
        for (const HWND focused : {button, dialog.list.m_hWnd}) {
            ::SetFocus(focused);
            ::SendMessageA(button, WM_PUSH_DEFAULT_BUTTON, 0, 0);
            ui::Pump(0);
            EXPECT_EQ(dialog.clicks, std::vector<HWND>{button}) << "one click, when the button had the focus";
        }
        ::SendMessageA(button, WM_MOUSELEAVE, 0, 0);   // wherever the cursor is
        const Picture normal(button);
        ::SendMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
        EXPECT_FALSE(Picture(button) == normal) << "not drawn hot";
        ::SendMessageA(button, WM_MOUSELEAVE, 0, 0);
        EXPECT_TRUE(Picture(button) == normal) << "still hot";
    });
}

// The icon 6 pixels from the left and centred vertically, the caption right of it. Pressed, the
// classic look moves the icon one pixel right and down; disabled, the icon is greyed.
TEST(IconButton, DrawsItsIconAndCaptionInEveryStateWithAndWithoutVisualStyle)
{
    InDialog([](ControlsDialog& dialog) {
        IconButton& button = dialog.button;
        const HWND window = button.m_hWnd;
        const auto added = [&](UINT icon, const char* caption) {   // the box of what is drawn in their place
            const Picture drawn(window);
            button.SetIcon(icon);
            ::SetWindowTextA(window, caption);
            const RECT box = Difference(drawn, Picture(window));
            button.SetIcon(IDI_OK);
            ::SetWindowTextA(window, "&Details");
            return box;
        };
        for (const bool classic : {false, true}) {
            if (classic)
                ::SetWindowTheme(window, L" ", L" ");
            button.SetIcon(IDI_OK);   // reopens the theme data
            const Picture normal(window);
            const RECT icon = added(9999, "&Details"), both = added(9999, "");
            const int top = (normal.height - 16) / 2;
            EXPECT_TRUE(icon.left >= 6 && icon.top >= top && icon.right <= 22 && icon.bottom <= top + 16
                        && icon.right > icon.left);
            EXPECT_TRUE(both.right > icon.right + 8 && both.right <= normal.width - 6) << "the caption beside the icon";
            ::SendMessageA(window, BM_SETSTATE, TRUE, 0);
            const RECT pressed = added(9999, "&Details");
            EXPECT_EQ(std::tuple(pressed.left, pressed.top), std::tuple(icon.left + classic, icon.top + classic));
            ::SendMessageA(window, BM_SETSTATE, FALSE, 0);
            ::EnableWindow(window, FALSE);
            EXPECT_LT(Difference(normal, Picture(window)).left, icon.right) << "the icon is not greyed";
            ::EnableWindow(window, TRUE);
        }
    });
}

// ---- The link

const std::string Url = "https://www.norvatech.example/";
const LPARAM Text = MAKELPARAM(8, 6), Beside = MAKELPARAM(300, 40), Outside = MAKELPARAM(500, 45);

std::vector<std::string> opened;   // verb and file of every shell request
// What the link handed each drag loop: the effects allowed, whether the left button alone keeps
// the drag going, and the "UniformResourceLocator" data.
struct Drag {
    DWORD effects;
    bool leftHolds;
    std::string block;
};
std::vector<Drag> drags;

BOOL WINAPI RecordOpen(SHELLEXECUTEINFOA* request)
{
    opened.push_back(std::string(request->lpVerb) + " " + request->lpFile);
    return FALSE;   // as if the shell could not open it
}

HRESULT WINAPI RecordDrag(IDataObject* data, IDropSource* source, DWORD effects, DWORD* effect)
{
    FORMATETC format = {static_cast<CLIPFORMAT>(::RegisterClipboardFormatA("UniformResourceLocator")), nullptr,
                        DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    data->GetData(&format, &medium);
    const char* block = static_cast<const char*>(::GlobalLock(medium.hGlobal));
    drags.push_back({effects, source->QueryContinueDrag(FALSE, MK_LBUTTON) == S_OK,
                     std::string(block, ::GlobalSize(medium.hGlobal))});
    ::GlobalUnlock(medium.hGlobal);
    ::ReleaseStgMedium(&medium);
    *effect = DROPEFFECT_LINK;
    return DRAGDROP_S_DROP;
}

const ImportPatch shell("shell32.dll", "ShellExecuteExA", &RecordOpen);
const ImportPatch dragLoop("ole32.dll", "DoDragDrop", &RecordDrag);

// Each case starts with the focus elsewhere; a press takes it. A press on the text becomes a
// drag once the mouse is the system drag distance away, and then opens nothing. The parent may
// refuse to open the link or to drag it. Disabled, the link does nothing.
TEST(Hyperlink, AnswersEachInputWithItsNotificationsAndOpensOrDragsWhenItShould)
{
    InDialog([](ControlsDialog& dialog) {
        const HWND link = dialog.link.m_hWnd;
        dialog.link.SetLinkText("Vantel home");
        ::UpdateWindow(link);   // where the text is decides whether a press may drag
        const int x = 8 + ::GetSystemMetrics(SM_CXDRAG), y = 6 + ::GetSystemMetrics(SM_CYDRAG);   // a drag from Text
        const LPARAM shy = MAKELPARAM(x - 1, y - 1), across = MAKELPARAM(x, 6), down = MAKELPARAM(8, y);
        const int focus = static_cast<int>(NM_SETFOCUS), unfocus = static_cast<int>(NM_KILLFOCUS);
        const int rclick = static_cast<int>(NM_RCLICK), rdblclk = static_cast<int>(NM_RDBLCLK);
        const int dblclk = static_cast<int>(NM_DBLCLK), enter = HLN_MOUSEENTER, navigate = HLN_NAVIGATE;
        const UINT L = WM_LBUTTONDOWN, LU = WM_LBUTTONUP, R = WM_RBUTTONDOWN, RU = WM_RBUTTONUP;
        const UINT M = WM_MBUTTONDOWN, MU = WM_MBUTTONUP, MOVE = WM_MOUSEMOVE;
        // The inputs (a message, and where the mouse is or its wParam), the codes the parent refuses;
        // the notifications, how many times the link opened and was dragged.
        using Case = std::tuple<std::vector<std::pair<UINT, LPARAM>>, std::set<int>, std::vector<int>, size_t, size_t>;
        const Case cases[] = {
            {{{L, Text}, {LU, Text}}, {}, {focus, navigate}, 1, 0},
            {{{L, Text}, {LU, Text}}, {HLN_NAVIGATE}, {focus, navigate}, 0, 0},
            {{{L, Text}, {LU, Outside}}, {}, {focus}, 0, 0},
            {{{LU, Text}, {WM_LBUTTONDBLCLK, Text}, {LU, Text}}, {}, {dblclk}, 0, 0},
            {{{R, Beside}, {RU, Beside}, {WM_RBUTTONDBLCLK, Beside}, {RU, Beside}, {R, Beside}, {RU, Beside}}, {},
             {focus, rclick, rdblclk, rclick}, 0, 0},
            {{{M, Beside}, {MU, Beside}, {WM_MBUTTONDBLCLK, Beside}, {MU, Beside}, {M, Beside}, {MU, Beside}}, {},
             {focus, HLN_MIDDLECLICK, HLN_MIDDLEDBLCLK, HLN_MIDDLECLICK}, 0, 0},
            {{{MOVE, Beside}, {MOVE, Text}, {WM_MOUSEHOVER, Text}, {WM_MOUSELEAVE, Text}, {MOVE, Beside}}, {},
             {enter, HLN_MOUSEHOVER, HLN_MOUSELEAVE, enter}, 0, 0},
            {{{L, Text}, {MOVE, shy}, {LU, shy}}, {}, {focus, enter, navigate}, 1, 0},
            {{{L, Text}, {MOVE, across}, {LU, across}}, {}, {focus, enter, HLN_BEGINDRAG, HLN_DRAGEND}, 0, 1},
            {{{R, Text}, {MOVE, down}}, {}, {focus, enter, HLN_RIGHTBEGINDRAG, HLN_RIGHTDRAGEND}, 0, 1},
            {{{L, Text}, {MOVE, across}, {LU, across}}, {HLN_BEGINDRAG}, {focus, enter, HLN_BEGINDRAG, navigate}, 1, 0},
            {{{L, Beside}, {MOVE, Text}, {LU, Text}}, {}, {focus, enter, navigate}, 1, 0},
            {{{L, Text}, {MOVE, Text}, {WM_KILLFOCUS, 0}, {LU, Text}}, {}, {focus, enter, unfocus}, 0, 0},
            {{{WM_KEYDOWN, VK_RETURN}, {WM_KEYDOWN, VK_SPACE}, {WM_CHAR, ' '}, {WM_KEYUP, VK_SPACE}}, {}, {}, 0, 0},
            {{{WM_ENABLE, FALSE}, {L, Text}, {LU, Text}, {MOVE, across}, {R, Text}, {RU, Text}, {M, Text},
              {MU, Text}, {WM_ENABLE, TRUE}}, {}, {}, 0, 0},
        };
        int number = 0;
        for (const auto& [inputs, refused, codes, openings, dragging] : cases) {
            ::SetFocus(dialog.list.m_hWnd);
            ::SendMessageA(link, WM_MOUSELEAVE, 0, 0);
            dialog.linkCodes.clear();
            opened.clear();
            drags.clear();
            dialog.refused = refused;
            for (const auto& [message, value] : inputs) {
                const bool mouse = message >= WM_MOUSEFIRST && message <= WM_MOUSELAST;
                ::SendMessageA(link, message, mouse ? 0 : value, mouse ? value : 0);
            }
            EXPECT_EQ(std::tuple(dialog.linkCodes, opened.size(), drags.size(), ::GetCapture()),
                      std::tuple(codes, openings, dragging, HWND{})) << "case " << number++;
        }
        // Enter, as the dialog's loop hands it on, opens the focused link and is no command.
        ::SetFocus(link);
        MSG enterKey = {link, WM_KEYDOWN, VK_RETURN, 0, 0, {}};
        EXPECT_TRUE(::IsDialogMessageA(dialog.m_hWnd, &enterKey));
        EXPECT_EQ(opened.size(), 1u);
        EXPECT_TRUE(dialog.clicks.empty()) << "the button clicked";
    });
}

// The tooltip shows its own text, else the URL, else the link's text. A click opens the URL, or
// the text when there is none, and turns the link purple even though the shell failed. A drag
// carries the target cut to 4096 bytes at a character boundary, then a zero; it goes on while
// the button that began it is held, and the right one may also copy or move. Disabled, the link
// is grey; over it the cursor is a hand.
TEST(Hyperlink, ShowsOpensAndDragsItsTarget)
{
    const std::string longUrl = "https://long.example/" + std::string(4074, 'a') + "\xD0\x96" "tail";
    InDialog([&](ControlsDialog& dialog) {
        const HWND link = dialog.link.m_hWnd;
        const COLORREF linkColour = ::GetSysColor(COLOR_HIGHLIGHT), visited = RGB(128, 0, 128);
        dialog.link.SetLinkText("https://text.example/");
        EXPECT_EQ(ToolTipText(link), "https://text.example/");
        EXPECT_GE(Picture(link).LongestRun(linkColour), 40) << "underlined in the link colour";
        dialog.link.SetLinkUrl(Url.c_str());
        EXPECT_EQ(ToolTipText(link), Url);
        dialog.link.SetToolTipText("Norvatech site");
        EXPECT_EQ(ToolTipText(link), "Norvatech site");

        opened.clear();
        drags.clear();
        for (const char* url : {Url.c_str(), ""}) {
            dialog.link.SetLinkUrl(url);
            ::SendMessageA(link, WM_LBUTTONDOWN, 0, Text);
            ::SendMessageA(link, WM_LBUTTONUP, 0, Text);
        }
        EXPECT_EQ(opened, (std::vector<std::string>{"open " + Url, "open https://text.example/"}));
        const Picture followed(link);
        EXPECT_GE(followed.LongestRun(visited), 40);
        EXPECT_EQ(followed.LongestRun(linkColour), 0);

        for (const auto& [url, press, release] : {std::tuple(longUrl.c_str(), WM_LBUTTONDOWN, WM_LBUTTONUP),
                                                   std::tuple(longUrl.c_str(), WM_RBUTTONDOWN, WM_RBUTTONUP),
                                                   std::tuple("", WM_LBUTTONDOWN, WM_LBUTTONUP)}) {
            dialog.link.SetLinkUrl(url);
            ::SendMessageA(link, press, 0, Text);
            ::SendMessageA(link, WM_MOUSEMOVE, 0, MAKELPARAM(60, 30));
            ::SendMessageA(link, release, 0, MAKELPARAM(60, 30));
        }
        ASSERT_EQ(drags.size(), 3u);
        EXPECT_EQ(drags[0].block, longUrl.substr(0, 4095) + std::string(2, '\0'));
        EXPECT_EQ(drags[1].block, drags[0].block);
        EXPECT_EQ(drags[2].block.c_str(), std::string("https://text.example/")) << "without a URL the text";
        EXPECT_EQ(std::tuple(drags[0].effects, drags[0].leftHolds, drags[1].effects, drags[1].leftHolds),
                  std::tuple(DWORD{DROPEFFECT_LINK | DROPEFFECT_SCROLL}, true, 0x80000007u, false))
            << "right: copy and move too";

        ::EnableWindow(link, FALSE);
        EXPECT_GT(Picture(link).LongestRun(::GetSysColor(COLOR_GRAYTEXT)), 0);
        const WPARAM self = reinterpret_cast<WPARAM>(link);
        EXPECT_TRUE(::SendMessageA(link, WM_SETCURSOR, self, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
        EXPECT_EQ(::GetCursor(), ::LoadCursorA(nullptr, IDC_HAND));
    });
}

}  // namespace
