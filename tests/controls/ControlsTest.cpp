// The report list, the icon button and the link, bound to the controls of one dialog as the
// program's dialogs bind theirs, driven by real messages inside the dialog's modal loop, and
// looked at as they paint themselves. The shell and the OLE drag loop are caught at the import
// table: nothing is opened and no modal drag runs.
#include <gtest/gtest.h>

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

// Records the link's notifications and refuses its request whose code is refused.
class ControlsDialog : public Dialog {
public:
    ControlsDialog() : Dialog(910) {}   // in ControlsTest.rc

    StripedReportListCtrl list;
    IconButton button;
    HyperlinkCtrl link;
    std::vector<int> linkCodes;
    int refused = 0;

protected:
    void DoDataExchange(DataExchange& exchange) override
    {
        DDX_Control(exchange, IDC_APPSTATS_LIST, list);
        DDX_Control(exchange, IDC_DETAILS, button);
        DDX_Control(exchange, IDC_WEBSITE_LINK, link);
    }
    LRESULT OnNotify(WPARAM, LPARAM lParam)
    {
        auto* note = reinterpret_cast<NMHYPERLINK*>(lParam);
        if (note->hdr.hwndFrom == link.m_hWnd) {
            linkCodes.push_back(static_cast<int>(note->hdr.code));
            note->value = linkCodes.back() == refused ? 0 : note->value;
        }
        return 0;
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ControlsDialog, Dialog)
    ON_MESSAGE(WM_NOTIFY, OnNotify)
END_MESSAGE_MAP()

// Opens the dialog and runs body inside its modal loop; nothing ends the dialog meanwhile.
void InDialog(const std::function<void(ControlsDialog&)>& body)
{
    ControlsDialog dialog;
    EXPECT_EQ(ui::Script::Run(dialog, {ui::Script::Do([&] { body(dialog); })}), IDCANCEL);
}

// ---- The report list

// The list as the user sees it: each row's first cell, the backgrounds of the cells, then each
// heading's sort arrow (^ up, v down, - none).
std::string Shown(HWND list)
{
    std::string shown;
    for (const auto& row : ui::ListRows(list))
        shown += row[0] + " ";
    shown += Backgrounds(list);
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

// The statistics dialog's rows. Data rows are striped, the blank row is white and "Total:" has its
// own colour. Sorting moves rows whole, with their colours. A click on a heading sorts each
// segment between separator rows (here the blank row) by that column, ascending first, reversed
// by the next click on the same column unless a cell changed meanwhile; it puts the direction's
// arrow on that heading alone and stripes the rows again. A row or a column out of range widens
// a cell's colour to all of them. Space would tick the focused row's check box (or change its
// selection): the list keeps it from the dialog's loop. Ctrl+C copies the selected rows, or every
// row when none is, under the headings. Rows are found by their exact name, also one longer than
// the list's first read or with a multibyte character across its end.
TEST(ReportList, SortsPaintsCopiesAndFindsRowsAsTheUserSeesThem)
{
    InDialog([](ControlsDialog& dialog) {
        StripedReportListCtrl& list = dialog.list;
        const HWND window = list.m_hWnd;
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
        list.SortItems(1, false);   // as the statistics dialog opens: by time, largest first
        EXPECT_EQ(Shown(window), "zed.exe explorer.exe Calc.exe notepad.exe  Total: WWW SSS WWW SSS WWW LLL -v-");
        const std::pair<int, const char*> clicks[] = {
            {1, "notepad.exe Calc.exe explorer.exe zed.exe  Total: SSS WWW SSS WWW WWW LLL -^-"},
            {1, "zed.exe explorer.exe Calc.exe notepad.exe  Total: SSS WWW SSS WWW WWW LLL -v-"},
            {2, "Calc.exe zed.exe notepad.exe explorer.exe  Total: SSS WWW SSS WWW WWW LLL --^"},
            {0, "Calc.exe explorer.exe notepad.exe zed.exe  Total: SSS WWW SSS WWW WWW LLL ^--"}};
        for (const auto& [column, shown] : clicks) {
            ClickHeader(window, column);
            EXPECT_EQ(Shown(window), shown);
        }
        list.SetItemText(1, 1, "");
        ClickHeader(window, 0);
        EXPECT_EQ(Shown(window), clicks[3].second) << "a changed cell forgets the order";

        const std::tuple<int, int, const char*> cells[] = {   // row, column, then all painted so far
            {1, 1, "SSS WRW SSS WWW WWW LLL "}, {0, 3, "RRR WRW SSS WWW WWW LLL "},
            {6, 2, "RRR WRR SSR WWR WWR LLR "}, {-1, -1, "RRR RRR RRR RRR RRR RRR "}};
        for (const auto& [row, column, painted] : cells) {
            list.SetCellBkColor(row, column, Red, true);
            EXPECT_EQ(Backgrounds(window), painted) << row << ", " << column;
        }

        list.SetItemText(3, 0, "\xC3\x89" "diteur \xD0\x96.exe");   // zed.exe, in UTF-8
        MSG key{window, WM_KEYDOWN, VK_SPACE, 0, 0, {}};
        EXPECT_TRUE(list.PreTranslateMessage(&key)) << "Space reached the list";
        BYTE keys[256] = {};
        keys[VK_CONTROL] = 0x80;
        ::SetKeyboardState(keys);
        key.wParam = 'C';
        std::vector<std::wstring> copied;
        for (const UINT selected : {UINT{LVIS_SELECTED}, 0u}) {
            for (int row : {1, 4, 5})
                ListView_SetItemState(window, row, selected, LVIS_SELECTED);
            list.PreTranslateMessage(&key);
            ::OpenClipboard(nullptr);
            const HANDLE text = ::GetClipboardData(CF_UNICODETEXT);
            copied.push_back(text ? static_cast<const wchar_t*>(::GlobalLock(text)) : L"");
            ::EmptyClipboard();
            ::CloseClipboard();
        }
        keys[VK_CONTROL] = 0;
        ::SetKeyboardState(keys);
        EXPECT_EQ(copied, (std::vector<std::wstring>{L"Applications\tTime\tPercent\r\nexplorer.exe\t\t40%\r\n"
            L"Total:\t21:39:59\t100%", L"Applications\tTime\tPercent\r\nCalc.exe\t1:30:00\t5%\r\nexplorer.exe\t\t40%\r\n"
            L"notepad.exe\t0:10:00\t30%\r\n\u00C9diteur \u0416.exe\t10:00:00\t25%\r\nTotal:\t21:39:59\t100%"}));

        const std::string longName(600, 'x'), straddling = std::string(253, 'x') + "\xE4\xB8\xAD.exe";
        list.InsertItem(0, longName.c_str());
        list.InsertItem(0, straddling.c_str());
        const std::pair<std::string, int> finds[] = {{straddling, 0}, {longName, 1}, {"Calc.exe", 2}, {"calc.exe", -1},
                                                     {"Calc", -1}, {"", 6}, {"Total:", 7}};
        for (const auto& [label, row] : finds)
            EXPECT_EQ(list.FindRowExact(label), row) << label;
    });
}

// ---- The icon button

// On Enter a default-button dialog asks every control to push itself: an icon button answers
// with its click only while it has the focus. The mouse over it draws it hot. The icon is 6
// pixels from the left and centred vertically; pressed, the visual style keeps it in place;
// disabled, it is greyed.
TEST(IconButton, AnswersEnterWhenFocusedAndDrawsItsIconHotPressedAndDisabled)
{
    InDialog([](ControlsDialog& dialog) {
        IconButton& button = dialog.button;
        const HWND window = button.m_hWnd;
        for (const HWND focused : {window, dialog.list.m_hWnd}) {
            ::SetFocus(focused);
            ::SendMessageA(window, WM_PUSH_DEFAULT_BUTTON, 0, 0);
            MSG click{};
            const bool clicked = ::PeekMessageA(&click, dialog.m_hWnd, WM_COMMAND, WM_COMMAND, PM_REMOVE);
            EXPECT_EQ(clicked && click.lParam == reinterpret_cast<LPARAM>(window), focused == window);
        }
        const auto drawn = [&](UINT icon) {
            button.SetIcon(icon);   // and (re)opens the visual style's data
            return Picture(window);
        };
        ::SendMessageA(window, WM_MOUSELEAVE, 0, 0);   // wherever the cursor is
        const Picture normal = drawn(IDI_OK);
        ::SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
        const Picture hot(window);
        ::SendMessageA(window, WM_MOUSELEAVE, 0, 0);
        EXPECT_TRUE(hot.pixels != normal.pixels && Picture(window).pixels == normal.pixels) << "hot only under the mouse";
        const RECT icon = Difference(normal, drawn(9999));
        const int top = (static_cast<int>(normal.pixels.size()) / normal.width - 16) / 2;
        EXPECT_TRUE(icon.left >= 6 && icon.top >= top && icon.right <= 22 && icon.bottom <= top + 16
                    && icon.right > icon.left);
        ::SendMessageA(window, BM_SETSTATE, TRUE, 0);
        const Picture pressedWithout = drawn(9999);
        const RECT pressed = Difference(pressedWithout, drawn(IDI_OK));
        EXPECT_EQ(std::tuple(pressed.left, pressed.top), std::tuple(icon.left, icon.top)) << "moved";
        ::SendMessageA(window, BM_SETSTATE, FALSE, 0);
        ::EnableWindow(window, FALSE);
        const RECT greyed = Difference(normal, Picture(window));
        EXPECT_TRUE(greyed.left < icon.right && greyed.right > icon.left) << "the icon is not greyed";
        ::EnableWindow(window, TRUE);
    });
}

// ---- The link

std::vector<std::string> opened;   // verb and file of every shell request
// What the link handed each drag loop: the effects allowed, whether the left button alone keeps
// the drag going, and the "UniformResourceLocator" data.
std::vector<std::tuple<DWORD, bool, std::string>> drags;

BOOL WINAPI RecordOpen(SHELLEXECUTEINFOA* request)
{
    opened.push_back(std::string(request->lpVerb) + " " + request->lpFile);
    return FALSE;   // as if the shell could not open it
}

HRESULT WINAPI RecordDrag(IDataObject* data, IDropSource* source, DWORD effects, DWORD*)
{
    FORMATETC format = {static_cast<CLIPFORMAT>(::RegisterClipboardFormatA("UniformResourceLocator")), nullptr,
                        DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    data->GetData(&format, &medium);
    drags.emplace_back(effects, source->QueryContinueDrag(FALSE, MK_LBUTTON) == S_OK,
                       std::string(static_cast<const char*>(::GlobalLock(medium.hGlobal)), ::GlobalSize(medium.hGlobal)));
    ::GlobalUnlock(medium.hGlobal);
    ::ReleaseStgMedium(&medium);
    return DRAGDROP_S_DROP;
}

const ImportPatch shell("shell32.dll", "ShellExecuteExA", &RecordOpen);
const ImportPatch dragLoop("ole32.dll", "DoDragDrop", &RecordDrag);

// The tooltip shows its own text, else the URL. Each case of inputs starts with the focus
// elsewhere; a press takes it. A press on the text becomes a drag once the mouse is the system
// drag distance away, and then opens nothing. The parent may refuse to open the link or to drag
// it. A click or Enter opens the URL, or the text when there is none, and turns
// the link purple even though the shell failed. A drag carries the target cut to 4096 bytes at a
// character boundary, then a zero; it goes on while the button that began it is held, and the
// right one may also copy or move. Disabled, the link is grey and does nothing; over it the
// cursor is a hand.
TEST(Hyperlink, ShowsNotifiesOpensAndDragsItsTarget)
{
    const std::string url = "https://www.norvatech.example/", text = "https://text.example/";
    const std::string longUrl = "https://long.example/" + std::string(4074, 'a') + "\xD0\x96" "tail";
    InDialog([&](ControlsDialog& dialog) {
        const HWND link = dialog.link.m_hWnd;
        dialog.link.SetLinkText(text.c_str());
        // Painted, so that it knows where its text is, which decides whether a press may drag.
        EXPECT_GE(Picture(link).LongestRun(::GetSysColor(COLOR_HIGHLIGHT)), 40) << "underlined in the link colour";
        dialog.link.SetLinkUrl(url.c_str());
        EXPECT_EQ(ToolTipText(link), url);
        dialog.link.SetToolTipText("Norvatech site");
        EXPECT_EQ(ToolTipText(link), "Norvatech site");
        dialog.link.SetLinkUrl(longUrl.c_str());

        const LPARAM on = MAKELPARAM(8, 6), by = MAKELPARAM(300, 40), off = MAKELPARAM(500, 45);   // the text, beside it, outside
        const int x = 8 + ::GetSystemMetrics(SM_CXDRAG), y = 6 + ::GetSystemMetrics(SM_CYDRAG);   // a drag from on
        const LPARAM shy = MAKELPARAM(x - 1, y - 1), across = MAKELPARAM(x, 6), down = MAKELPARAM(8, y);
        const int focus = int(NM_SETFOCUS), rclick = int(NM_RCLICK), enter = HLN_MOUSEENTER, navigate = HLN_NAVIGATE;
        const UINT L = WM_LBUTTONDOWN, LU = WM_LBUTTONUP, LD = WM_LBUTTONDBLCLK, MOVE = WM_MOUSEMOVE;
        const UINT R = WM_RBUTTONDOWN, RU = WM_RBUTTONUP, RD = WM_RBUTTONDBLCLK;
        const UINT M = WM_MBUTTONDOWN, MU = WM_MBUTTONUP, MD = WM_MBUTTONDBLCLK;
        // The inputs (a message, and where the mouse is or its wParam), the code the parent refuses;
        // the notifications, how many times the link opened and was dragged.
        using Case = std::tuple<std::vector<std::pair<UINT, LPARAM>>, int, std::vector<int>, size_t, size_t>;
        const Case cases[] = {
            {{{L, on}, {LU, on}}, HLN_NAVIGATE, {focus, navigate}, 0, 0},
            {{{L, on}, {LU, off}}, 0, {focus}, 0, 0},
            {{{LU, on}, {LD, on}, {LU, on}}, 0, {int(NM_DBLCLK)}, 0, 0},
            {{{R, by}, {RU, by}, {RD, by}, {RU, by}, {R, by}, {RU, by}}, 0, {focus, rclick, int(NM_RDBLCLK), rclick}, 0, 0},
            {{{M, by}, {MU, by}, {MD, by}, {MU, by}, {M, by}, {MU, by}}, 0,
             {focus, HLN_MIDDLECLICK, HLN_MIDDLEDBLCLK, HLN_MIDDLECLICK}, 0, 0},
            {{{MOVE, by}, {MOVE, on}, {WM_MOUSEHOVER, on}, {WM_MOUSELEAVE, on}, {MOVE, by}}, 0,
             {enter, HLN_MOUSEHOVER, HLN_MOUSELEAVE, enter}, 0, 0},
            {{{L, on}, {MOVE, shy}, {LU, shy}}, 0, {focus, enter, navigate}, 1, 0},
            {{{L, on}, {MOVE, across}, {LU, across}}, 0, {focus, enter, HLN_BEGINDRAG, HLN_DRAGEND}, 0, 1},
            {{{R, on}, {MOVE, down}}, 0, {focus, enter, HLN_RIGHTBEGINDRAG, HLN_RIGHTDRAGEND}, 0, 1},
            {{{L, on}, {MOVE, across}, {LU, across}}, HLN_BEGINDRAG, {focus, enter, HLN_BEGINDRAG, navigate}, 1, 0},
            {{{L, on}, {MOVE, on}, {WM_KILLFOCUS, 0}, {LU, on}}, 0, {focus, enter, int(NM_KILLFOCUS)}, 0, 0},
            {{{WM_KEYDOWN, VK_RETURN}, {WM_KEYDOWN, VK_SPACE}, {WM_CHAR, ' '}, {WM_KEYUP, VK_SPACE}}, 0, {}, 0, 0},
            {{{WM_ENABLE, FALSE}, {L, on}, {LU, on}, {MOVE, across}, {R, on}, {RU, on}, {M, on}, {MU, on},
              {WM_ENABLE, TRUE}}, 0, {}, 0, 0},
        };
        for (const auto& [inputs, refused, codes, openings, dragging] : cases) {
            ::SetFocus(dialog.list.m_hWnd);
            ::SendMessageA(link, WM_MOUSELEAVE, 0, 0);
            dialog.linkCodes.clear();
            dialog.refused = refused;
            const size_t opens = opened.size(), dragged = drags.size();
            for (const auto& [message, value] : inputs) {
                const bool mouse = message >= WM_MOUSEFIRST && message <= WM_MOUSELAST;
                ::SendMessageA(link, message, mouse ? 0 : value, mouse ? value : 0);
            }
            EXPECT_EQ(std::tuple(dialog.linkCodes, opened.size() - opens, drags.size() - dragged, ::GetCapture()),
                      std::tuple(codes, openings, dragging, HWND{})) << ::testing::PrintToString(inputs);
        }

        dialog.link.SetLinkUrl("");   // the text is the target
        ::SetFocus(link);
        MSG enterKey = {link, WM_KEYDOWN, VK_RETURN, 0, 0, {}};   // as the dialog's loop hands it on
        EXPECT_TRUE(::IsDialogMessageA(dialog.m_hWnd, &enterKey));
        ::SendMessageA(link, L, 0, on);
        ::SendMessageA(link, MOVE, 0, by);
        ::SendMessageA(link, LU, 0, by);
        EXPECT_EQ(std::pair(opened.front(), opened.back()), std::pair("open " + longUrl, "open " + text));
        ASSERT_EQ(drags.size(), 3u);
        EXPECT_EQ(drags[0], std::tuple(DWORD{DROPEFFECT_LINK | DROPEFFECT_SCROLL}, true, longUrl.substr(0, 4095) + '\0' + '\0'));
        EXPECT_EQ(drags[1], std::tuple(0x80000007u, false, std::get<2>(drags[0]))) << "right: copy and move too";
        EXPECT_EQ(std::get<2>(drags[2]).c_str(), text);
        const Picture followed(link);
        EXPECT_GE(followed.LongestRun(RGB(128, 0, 128)), 40) << "not purple";
        EXPECT_EQ(followed.LongestRun(::GetSysColor(COLOR_HIGHLIGHT)), 0);

        ::EnableWindow(link, FALSE);
        EXPECT_GT(Picture(link).LongestRun(::GetSysColor(COLOR_GRAYTEXT)), 0);
        EXPECT_TRUE(::SendMessageA(link, WM_SETCURSOR, reinterpret_cast<WPARAM>(link), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
        EXPECT_EQ(::GetCursor(), ::LoadCursorA(nullptr, IDC_HAND));
    });
}

}  // namespace
