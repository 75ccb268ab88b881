// The report list on real list views under Wine: bound to a dialog item the way the statistics
// dialogs bind theirs, run inside the framework's modal loop, driven by real messages and real
// mouse input on the column header, and looked at on the screen.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "controls/StripedReportListCtrl.h"
#include "framework/Dialog.h"
#include "tests/controls/ModalSteps.h"
#include "tests/controls/ReportListTestIds.h"

// Every allocation of a colour record's size is counted while it lives, so a record that a row
// leaves behind shows as a count that does not come back.
namespace {
std::size_t liveRecordSized = 0;
constexpr std::size_t BlockHeader = 16;   // keeps the block's alignment

void* Allocate(std::size_t size) noexcept
{
    void* block = std::malloc(size + BlockHeader);
    if (block == nullptr)
        return nullptr;
    *static_cast<std::size_t*>(block) = size;
    liveRecordSized += size == sizeof(CellColors) ? 1 : 0;
    return static_cast<char*>(block) + BlockHeader;
}

void Release(void* memory) noexcept
{
    if (memory == nullptr)
        return;
    void* block = static_cast<char*>(memory) - BlockHeader;
    liveRecordSized -= *static_cast<std::size_t*>(block) == sizeof(CellColors) ? 1 : 0;
    std::free(block);
}
}  // namespace

void* operator new(std::size_t size)
{
    if (void* memory = Allocate(size))
        return memory;
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* memory) noexcept { Release(memory); }
void operator delete(void* memory, std::size_t) noexcept { Release(memory); }
void operator delete(void* memory, const std::nothrow_t&) noexcept { Release(memory); }

namespace {

constexpr COLORREF Stripe = RGB(232, 232, 243);
constexpr COLORREF LastRow = RGB(185, 200, 216);
constexpr COLORREF White = RGB(255, 255, 255);
using Sent = std::vector<std::pair<WPARAM, LPARAM>>;
using Grid = std::vector<std::vector<COLORREF>>;

const bool commonControls = [] {
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_LISTVIEW_CLASSES};
    return ::InitCommonControlsEx(&init) != FALSE;
}();

class ListDialog : public Dialog {
public:
    ListDialog() : Dialog(IDD_TEST_REPORTLIST) {}

    StripedReportListCtrl list;
    Sent sorted;                  // WM_LISTSORTED as the dialog got it
    std::vector<UINT> listNotes;  // the list's notifications the dialog saw

    bool Saw(UINT code) const { return std::count(listNotes.begin(), listNotes.end(), code) != 0; }

protected:
    void DoDataExchange(DataExchange& exchange) override { DDX_Control(exchange, IDC_TEST_STATSLIST, list); }
    LRESULT OnListSorted(WPARAM column, LPARAM ascending) { sorted.emplace_back(column, ascending); return 0; }
    LRESULT OnNotify(WPARAM, LPARAM lParam)
    {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->hwndFrom == list.GetSafeHwnd())
            listNotes.push_back(header->code);
        return 0;
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ListDialog, Dialog)
    ON_MESSAGE(WM_LISTSORTED, OnListSorted)
    ON_MESSAGE(WM_NOTIFY, OnNotify)
END_MESSAGE_MAP()

// Opens the dialog and runs step(dialog, list) inside its modal loop.
template <class Step>
void InDialog(Step step)
{
    ListDialog dialog;
    ModalSteps::Run(dialog, {[&] { step(dialog, dialog.list); }});
}

// The statistics dialog's layout: one row per application (images 0, 1, 2, 0), a blank row, a
// "Total:" row.
void FillStatistics(ReportListCtrl& list)
{
    list.SetSeparatorText(std::string());
    ASSERT_EQ(list.InsertColumn(0, "Applications", LVCFMT_LEFT, 130), 0);
    ASSERT_EQ(list.InsertColumn(1, "Time", LVCFMT_LEFT, 100), 1);
    ASSERT_EQ(list.InsertColumn(2, "Percent", LVCFMT_LEFT, 80), 2);
    const char* const rows[][3] = {{"notepad.exe", "0:10:00", "30%"}, {"Calc.exe", "1:30:00", "5%"},
                                   {"explorer.exe", "9:59:59", "40%"}, {"zed.exe", "10:00:00", "25%"},
                                   {"", "", ""}, {"Total:", "21:39:59", "100%"}};
    for (int row = 0; row < 6; ++row) {
        ASSERT_EQ(list.InsertItem(row, rows[row][0], row < 4 ? row % 3 : -1), row);
        list.SetItemText(row, 1, rows[row][1]);
        list.SetItemText(row, 2, rows[row][2]);
    }
}

std::vector<std::string> ColumnTexts(const ReportListCtrl& list, int column)
{
    std::vector<std::string> texts;
    for (int row = 0; row < list.GetRowCount(); ++row)
        texts.push_back(list.GetItemText(row, column));
    return texts;
}

// Every row as "name|time|percent", sorted: equal before and after a sort when rows moved whole.
std::vector<std::string> SortedRows(const ReportListCtrl& list)
{
    std::vector<std::string> rows;
    for (int row = 0; row < list.GetRowCount(); ++row)
        rows.push_back(list.GetItemText(row, 0) + "|" + list.GetItemText(row, 1) + "|" + list.GetItemText(row, 2));
    std::sort(rows.begin(), rows.end());
    return rows;
}

// The application names in order, then the blank and "Total:" rows.
std::vector<std::string> Names(std::vector<std::string> names)
{
    names.push_back("");
    names.push_back("Total:");
    return names;
}

// A left click in the middle of a header item, as the mouse gives it.
void ClickHeader(const ReportListCtrl& list, int column)
{
    HWND header = ListView_GetHeader(list.GetSafeHwnd());
    RECT item = {};
    ASSERT_TRUE(Header_GetItemRect(header, column, &item));
    const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    ::SendMessageA(header, WM_MOUSEMOVE, 0, at);
    ::SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageA(header, WM_LBUTTONUP, 0, at);
}

// The sort arrow on each column heading: HDF_SORTUP, HDF_SORTDOWN or 0.
std::vector<int> Arrows(const ReportListCtrl& list)
{
    HWND header = ListView_GetHeader(list.GetSafeHwnd());
    std::vector<int> arrows;
    for (int column = 0; column < Header_GetItemCount(header); ++column) {
        HDITEMA item = {};
        item.mask = HDI_FORMAT;
        Header_GetItem(header, column, &item);
        arrows.push_back(item.fmt & (HDF_SORTUP | HDF_SORTDOWN));
    }
    return arrows;
}

// A row put in past the control, so without a colour record.
void InsertForeignRow(const ReportListCtrl& list, int row, const char* text)
{
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = const_cast<char*>(text);
    ASSERT_EQ(::SendMessageA(list.GetSafeHwnd(), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)), row);
}

int ImageOf(const ReportListCtrl& list, int row, int column)
{
    LVITEMA item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    item.iSubItem = column;
    ::SendMessageA(list.GetSafeHwnd(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return item.iImage;
}

// Every row's cell backgrounds; none for a row without colour record.
Grid BackGrid(const ReportListCtrl& list)
{
    Grid cells(static_cast<size_t>(list.GetRowCount()));
    for (int row = 0; row < list.GetRowCount(); ++row)
        if (const CellColors* record = list.GetCellColors(row))
            cells[static_cast<size_t>(row)] = record->backColors;
    return cells;
}

HIMAGELIST MakeIcons()
{
    HIMAGELIST icons = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 3, 1);
    for (LPCSTR icon : {IDI_APPLICATION, IDI_WARNING, IDI_INFORMATION})
        ImageList_ReplaceIcon(icons, -1, ::LoadIconA(nullptr, icon));
    return icons;
}

// A list view made by hand with bits the rule takes away, then bound; and a list made by Create.
TEST(ReportList, BindingAndCreateApplyTheStyleRule)
{
    ASSERT_TRUE(commonControls);
    Window host;
    ASSERT_TRUE(host.CreateEx(0, "STATIC", "host", WS_POPUP, RECT{0, 0, 300, 200}, nullptr, 0));
    const DWORD removed = LVS_ICON | LVS_EDITLABELS | LVS_NOSCROLL;
    HWND handMade = ::CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | LVS_NOCOLUMNHEADER | removed, 0, 0, 100, 100,
                                      host.GetSafeHwnd(), nullptr, nullptr, nullptr);
    ListView_SetExtendedListViewStyle(handMade, LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES);
    ReportListCtrl bound;
    ASSERT_TRUE(bound.SubclassWindow(handMade));
    EXPECT_EQ(ListView_GetExtendedListViewStyle(handMade), LVS_EX_FULLROWSELECT | LVS_EX_SUBITEMIMAGES);
    // The scroll bars the rule asks for are the list's to show or hide as its rows need.
    const DWORD kept = WS_CHILD | WS_VISIBLE | LVS_TYPEMASK | LVS_NOCOLUMNHEADER | removed;
    EXPECT_EQ(::GetWindowLongA(handMade, GWL_STYLE) & kept, WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_NOCOLUMNHEADER);
    EXPECT_FALSE(bound.EnableSort(true)) << "no header: never sortable";
    EXPECT_FALSE(bound.IsSortEnabled());

    ReportListCtrl created;
    ASSERT_TRUE(created.Create(host.GetSafeHwnd(), 77, nullptr, removed));
    EXPECT_EQ(::GetWindowLongA(created.GetSafeHwnd(), GWL_STYLE) & kept, WS_CHILD | WS_VISIBLE | LVS_REPORT);
    EXPECT_EQ(ListView_GetExtendedListViewStyle(created.GetSafeHwnd()) & 0x22, 0x22);
    RECT window = {};
    ::GetWindowRect(created.GetSafeHwnd(), &window);
    EXPECT_EQ(window.right - window.left, 300) << "the parent's whole client area";
    EXPECT_EQ(window.bottom - window.top, 200);
    host.DestroyWindow();
}

TEST(ReportList, SortsEveryColumnKeepingBlankAndTotalLast)
{
    InDialog([](ListDialog& dialog, StripedReportListCtrl& list) {
        FillStatistics(list);
        const std::vector<std::string> filled = SortedRows(list);
        const std::vector<std::vector<std::string>> ascending = {
            {"Calc.exe", "explorer.exe", "notepad.exe", "zed.exe"},
            {"notepad.exe", "Calc.exe", "explorer.exe", "zed.exe"},   // 9:59:59 before 10:00:00
            {"Calc.exe", "zed.exe", "notepad.exe", "explorer.exe"},
        };
        // Descending order is the header test's; the rules behind each order are core's.
        for (int column = 0; column < 3; ++column) {
            list.SortItems(column, true);
            EXPECT_EQ(ColumnTexts(list, 0), Names(ascending[column])) << "column " << column;
            EXPECT_EQ(SortedRows(list), filled);
            EXPECT_EQ(list.GetSortColumn(), column);
        }
        EXPECT_EQ(dialog.sorted, (Sent{{0, 1}, {1, 1}, {2, 1}}));

        // A data row with an empty time splits the rows: each side is sorted apart.
        list.SortItems(0, true);   // Calc, explorer, notepad, zed
        list.SetItemText(1, 1, "");
        list.SortItems(1, false);
        EXPECT_EQ(ColumnTexts(list, 0), Names({"Calc.exe", "explorer.exe", "zed.exe", "notepad.exe"}));
    });
}

TEST(ReportList, HeaderClicksToggleAndChangesMakeTheNextClickAscending)
{
    InDialog([](ListDialog& dialog, StripedReportListCtrl& list) {
        FillStatistics(list);
        list.SortItems(1, false);   // as the statistics dialog opens: by time, largest first
        dialog.sorted.clear();
        ClickHeader(list, 1);
        EXPECT_EQ(ColumnTexts(list, 0), Names({"notepad.exe", "Calc.exe", "explorer.exe", "zed.exe"}));
        EXPECT_EQ(Arrows(list), (std::vector<int>{0, HDF_SORTUP, 0}));
        ClickHeader(list, 1);
        EXPECT_EQ(ColumnTexts(list, 0), Names({"zed.exe", "explorer.exe", "Calc.exe", "notepad.exe"}));
        EXPECT_EQ(Arrows(list), (std::vector<int>{0, HDF_SORTDOWN, 0}));
        ClickHeader(list, 2);
        EXPECT_EQ(ColumnTexts(list, 0), Names({"Calc.exe", "zed.exe", "notepad.exe", "explorer.exe"}));
        EXPECT_EQ(Arrows(list), (std::vector<int>{0, 0, HDF_SORTUP}));
        EXPECT_EQ(dialog.sorted, (Sent{{1, 1}, {1, 0}, {2, 1}}));
        EXPECT_FALSE(dialog.Saw(LVN_COLUMNCLICK)) << "the parent saw a column click";
        EXPECT_FALSE(dialog.Saw(NM_CUSTOMDRAW)) << "the parent saw custom draw";
        EXPECT_EQ(BackGrid(list).front(), std::vector<COLORREF>(3, Stripe)) << "a click recolours";
        EXPECT_EQ(BackGrid(list).back(), std::vector<COLORREF>(3, LastRow));

        // A changed cell ends the sort and takes its arrow away.
        ClickHeader(list, 2);
        EXPECT_FALSE(list.IsSortAscending());
        list.SetItemText(0, 1, "0:00:01");
        EXPECT_EQ(list.GetSortColumn(), -1);
        EXPECT_EQ(Arrows(list), (std::vector<int>{0, 0, 0}));
        ClickHeader(list, 2);
        EXPECT_TRUE(list.IsSortAscending());
        ClickHeader(list, 2);
        list.InsertItem(0, "new.exe", 0);
        ClickHeader(list, 2);
        EXPECT_EQ(list.GetSortColumn(), 2);
        EXPECT_TRUE(list.IsSortAscending());

        // Sorting off, as in the main window, or a column that does not exist: nothing moves and
        // nothing is sent.
        const std::vector<std::string> before = ColumnTexts(list, 0);
        dialog.sorted.clear();
        ASSERT_TRUE(list.EnableSort(false));
        EXPECT_FALSE(list.IsSortEnabled());
        EXPECT_EQ(Arrows(list), (std::vector<int>{0, 0, 0}));
        ClickHeader(list, 0);
        list.SortItems(0, true);
        ASSERT_TRUE(list.EnableSort(true));
        list.SortItems(3, true);
        list.SortItems(-1, true);
        EXPECT_EQ(ColumnTexts(list, 0), before);
        EXPECT_EQ(list.GetSortColumn(), -1);
        EXPECT_TRUE(dialog.sorted.empty());
    });
}

// Rows move whole both when every row has its record (the list view's sort moves them) and when
// a row put in past the control has none (then they are written back row by row).
TEST(ReportList, SortMovesStatesDataImagesAndTextsWithTheRow)
{
    for (const bool foreignRow : {false, true}) {
        SCOPED_TRACE(foreignRow ? "with a row without record" : "every row with its record");
        InDialog([&](ListDialog&, StripedReportListCtrl& list) {
            HIMAGELIST icons = MakeIcons();
            list.SetImageList(icons);
            FillStatistics(list);
            if (foreignRow)
                InsertForeignRow(list, 6, "");   // empty cells: a separator of its own
            // notepad.exe (row 0): selected and checked, its time cell with image 2 and a colour;
            // explorer.exe (row 2): focused.
            const HWND window = list.GetSafeHwnd();
            const UINT selectedAndChecked = LVIS_SELECTED | LVIS_STATEIMAGEMASK;
            ListView_SetItemState(window, 0, LVIS_SELECTED | INDEXTOSTATEIMAGEMASK(2), selectedAndChecked);
            ListView_SetItemState(window, 2, LVIS_FOCUSED, LVIS_FOCUSED);
            LVITEMA cell = {};
            cell.mask = LVIF_IMAGE;
            cell.iSubItem = 1;
            cell.iImage = 2;
            ListView_SetItem(window, &cell);
            list.SetCellBkColor(0, 1, RGB(1, 2, 3), false);
            const CellColors* notepadColors = list.GetCellColors(0);
            const CellColors* explorerColors = list.GetCellColors(2);
            const int calcSubImage = ImageOf(list, 1, 1);
            const UINT notepadState = ListView_GetItemState(window, 0, selectedAndChecked);
            const std::vector<std::string> filled = SortedRows(list);

            list.SortItems(1, false);
            std::vector<std::string> names = Names({"zed.exe", "explorer.exe", "Calc.exe", "notepad.exe"});
            if (foreignRow)
                names.push_back("");
            ASSERT_EQ(ColumnTexts(list, 0), names);
            EXPECT_EQ(SortedRows(list), filled);
            EXPECT_EQ(ListView_GetItemState(window, 3, selectedAndChecked), notepadState);
            EXPECT_EQ(ListView_GetNextItem(window, -1, LVNI_SELECTED), 3);
            EXPECT_EQ(ListView_GetNextItem(window, -1, LVNI_FOCUSED), 1);
            EXPECT_EQ(list.GetCellColors(3), notepadColors);
            EXPECT_EQ(list.GetCellColors(1), explorerColors);
            EXPECT_EQ((std::vector<int>{ImageOf(list, 0, 0), ImageOf(list, 1, 0), ImageOf(list, 2, 0),
                                        ImageOf(list, 3, 0), ImageOf(list, 2, 1), ImageOf(list, 3, 1)}),
                      (std::vector<int>{0, 2, 1, 0, calcSubImage, 2}));
            list.SetImageList(nullptr);
            ImageList_Destroy(icons);
        });
    }
}

TEST(StripedReportList, RecolorRowsStripesDataRowsAndMarksTheLastRow)
{
    InDialog([](ListDialog&, StripedReportListCtrl& list) {
        list.m_stripeColor = RGB(1, 1, 1);
        list.m_lastRowColor = RGB(2, 2, 2);
        list.RecolorRows();   // no rows, no columns: nothing to do
        list.InsertColumn(0, "Name");
        list.InsertColumn(1, "Time");
        const std::vector<std::vector<COLORREF>> colours = {
            {RGB(2, 2, 2)},
            {White, RGB(2, 2, 2)},
            {RGB(1, 1, 1), White, RGB(2, 2, 2)},
            {RGB(1, 1, 1), White, White, RGB(2, 2, 2)},   // the row before the last is always white
            {RGB(1, 1, 1), White, RGB(1, 1, 1), White, RGB(2, 2, 2)},
        };
        for (const std::vector<COLORREF>& rows : colours) {
            list.InsertItem(0, "row");
            list.RecolorRows();
            Grid expected;
            for (COLORREF colour : rows)
                expected.push_back(std::vector<COLORREF>(2, colour));
            EXPECT_EQ(BackGrid(list), expected) << rows.size() << " rows";
        }
        EXPECT_EQ(list.GetCellColors(0)->textColors, std::vector<COLORREF>(2, ::GetSysColor(COLOR_WINDOWTEXT)));
    });
}

TEST(ReportList, SetCellBkColorWidensOutOfRangeTargetsAndColumnsStayInStep)
{
    InDialog([](ListDialog&, StripedReportListCtrl& list) {
        const COLORREF window = ::GetSysColor(COLOR_WINDOW);
        const COLORREF red = RGB(200, 0, 0);
        const std::vector<COLORREF> plain(3, window);
        for (const char* heading : {"A", "B", "C"})
            list.InsertColumn(list.GetColumnCount(), heading);
        for (int row = 0; row < 3; ++row)
            list.InsertItem(row, "row");

        list.SetCellBkColor(1, 1, red, false);
        EXPECT_EQ(BackGrid(list), Grid({plain, {window, red, window}, plain}));
        list.SetCellBkColor(1, -1, CLR_NONE, false);   // the row; CLR_NONE is the window colour
        EXPECT_EQ(BackGrid(list), Grid(3, plain));
        list.SetCellBkColor(-1, 2, red, false);         // the column
        EXPECT_EQ(BackGrid(list), Grid(3, {window, window, red}));
        list.SetCellBkColor(7, 1, red, false);          // row past the end: the column
        EXPECT_EQ(BackGrid(list), Grid(3, {window, red, red}));
        list.SetCellBkColor(0, 3, window, false);       // column past the end: the row
        EXPECT_EQ(BackGrid(list), Grid({plain, {window, red, red}, {window, red, red}}));
        list.SetCellBkColor(-5, 9, red, true);          // neither: every cell
        EXPECT_EQ(BackGrid(list), Grid(3, std::vector<COLORREF>(3, red)));

        // A column inserted between others gets the window colours at its place in every row.
        const COLORREF blue = RGB(0, 0, 9);
        list.SetCellBkColor(-1, 0, blue, false);
        ASSERT_EQ(list.InsertColumn(1, "New"), 1);
        EXPECT_EQ(BackGrid(list), Grid(3, {blue, window, red, red}));
        EXPECT_EQ(list.GetCellColors(2)->textColors, std::vector<COLORREF>(4, ::GetSysColor(COLOR_WINDOWTEXT)));
        ASSERT_EQ(list.InsertColumn(40, "Last"), 4);
        EXPECT_EQ(BackGrid(list), Grid(3, {blue, window, red, red, window}));
        ASSERT_EQ(list.InsertItem(1, "later"), 1);
        EXPECT_EQ(BackGrid(list)[1], std::vector<COLORREF>(5, window));
    });
}

// What the screen shows: stripes, white rows and the last row's colour across the whole row,
// the icon space before a label included. Set VANTEL_HOLD_MS to keep it there for a screenshot.
TEST(StripedReportList, PaintsEachRowInItsColour)
{
    InDialog([](ListDialog& dialog, StripedReportListCtrl& list) {
        HIMAGELIST icons = MakeIcons();
        list.SetImageList(icons);
        FillStatistics(list);
        list.SortItems(1, false);
        list.RecolorRows();
        ::SetForegroundWindow(dialog.GetSafeHwnd());
        ::RedrawWindow(dialog.GetSafeHwnd(), nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        ModalSteps::Pump(100);

        HWND window = list.GetSafeHwnd();
        HDC dc = ::GetDC(window);
        const COLORREF expected[] = {Stripe, White, Stripe, White, White, LastRow};
        RECT cell = {};
        for (int row = 0; row < 6; ++row) {
            for (int column = 0; column < 3; ++column) {
                ListView_GetSubItemRect(window, row, column, LVIR_BOUNDS, &cell);
                EXPECT_EQ(::GetPixel(dc, cell.right - 4, (cell.top + cell.bottom) / 2), expected[row])
                    << "row " << row << " column " << column;
            }
        }
        RECT total = {};   // "Total:" has no icon in its icon space
        ListView_GetItemRect(window, 5, &total, LVIR_BOUNDS);
        EXPECT_EQ(::GetPixel(dc, total.left + 2, (total.top + total.bottom) / 2), LastRow);
        ::ReleaseDC(window, dc);

        if (const char* hold = std::getenv("VANTEL_HOLD_MS"))
            ModalSteps::Pump(static_cast<DWORD>(std::atoi(hold)));
        list.SetImageList(nullptr);
        ImageList_Destroy(icons);
    });
}

TEST(ReportList, SpaceNeverReachesTheList)
{
    ListDialog dialog;
    const HWND& list = dialog.list.m_hWnd;
    ModalSteps::Run(dialog, {
        [&] {
            FillStatistics(dialog.list);
            ::SetFocus(list);
            ListView_SetItemState(list, 1, LVIS_FOCUSED, LVIS_FOCUSED | LVIS_SELECTED);
            dialog.listNotes.clear();
            ::PostMessageA(list, WM_KEYDOWN, VK_SPACE, 0x00390001);
            ::PostMessageA(list, WM_KEYUP, VK_SPACE, 0xC0390001);
        },
        [&] {
            EXPECT_FALSE(dialog.Saw(LVN_KEYDOWN));
            EXPECT_EQ(ListView_GetItemState(list, 1, LVIS_FOCUSED | LVIS_SELECTED), static_cast<UINT>(LVIS_FOCUSED));
            // Other keys go through: the list answers them with LVN_KEYDOWN.
            ::PostMessageA(list, WM_KEYDOWN, VK_DOWN, 0x01500001);
        },
        [&] { EXPECT_TRUE(dialog.Saw(LVN_KEYDOWN)); }});
}

// Ctrl+C as the keyboard gives it.
void PressCtrlC()
{
    const WORD keys[] = {VK_CONTROL, 'C', 'C', VK_CONTROL};
    INPUT inputs[4] = {};
    for (int i = 0; i < 4; ++i) {
        inputs[i].type = INPUT_KEYBOARD;
        inputs[i].ki.wVk = keys[i];
        inputs[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
    }
    ASSERT_EQ(::SendInput(4, inputs, sizeof(INPUT)), 4u);
}

// The clipboard's text in format: CF_UNICODETEXT with wchar_t, CF_TEXT with char.
template <class Char>
std::basic_string<Char> ClipboardText(UINT format)
{
    std::basic_string<Char> text;
    if (!::OpenClipboard(nullptr))
        return text;
    if (HANDLE data = ::GetClipboardData(format)) {
        if (const auto* chars = static_cast<const Char*>(::GlobalLock(data))) {
            text = chars;
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return text;
}

// The selected rows, or every row when none is, under the headings; the blank row is left out.
TEST(ReportList, CtrlCCopiesTheRowsAsATable)
{
    ListDialog dialog;
    ReportListCtrl& list = dialog.list;
    std::wstring selected, all;
    std::string selectedAnsi;
    ModalSteps::Run(dialog, {
        [&] {
            FillStatistics(list);
            list.SetItemText(3, 0, "\xC3\x89" "diteur \xD0\x96.exe");   // in the UTF-8 of the manifest
            for (int row : {1, 4, 5})
                ListView_SetItemState(list.GetSafeHwnd(), row, LVIS_SELECTED, LVIS_SELECTED);
            ASSERT_TRUE(::OpenClipboard(nullptr) && ::EmptyClipboard() && ::CloseClipboard());
            ::SetForegroundWindow(dialog.GetSafeHwnd());
            ::SetFocus(list.GetSafeHwnd());
            PressCtrlC();
        },
        [&] {
            selected = ClipboardText<wchar_t>(CF_UNICODETEXT);
            selectedAnsi = ClipboardText<char>(CF_TEXT);
            ListView_SetItemState(list.GetSafeHwnd(), -1, 0, LVIS_SELECTED);
            PressCtrlC();
        },
        [&] { all = ClipboardText<wchar_t>(CF_UNICODETEXT); }});
    const char* const calcAndTotal = "Applications\tTime\tPercent\r\nCalc.exe\t1:30:00\t5%\r\nTotal:\t21:39:59\t100%";
    EXPECT_EQ(selectedAnsi, calcAndTotal);
    EXPECT_EQ(selected, std::wstring(calcAndTotal, calcAndTotal + std::strlen(calcAndTotal)));
    EXPECT_EQ(all, L"Applications\tTime\tPercent\r\nnotepad.exe\t0:10:00\t30%\r\nCalc.exe\t1:30:00\t5%\r\n"
                   L"explorer.exe\t9:59:59\t40%\r\n\u00C9diteur \u0416.exe\t10:00:00\t25%\r\n"
                   L"Total:\t21:39:59\t100%");
}

TEST(ReportList, RowsTakeTheirRecordsWithThem)
{
    const std::size_t before = liveRecordSized;
    InDialog([&](ListDialog&, StripedReportListCtrl& list) {
        FillStatistics(list);
        EXPECT_EQ(liveRecordSized, before + 6);
        list.SortItems(0, true);
        list.SortItems(1, false);
        EXPECT_EQ(liveRecordSized, before + 6) << "moved, not copied or lost";

        ASSERT_TRUE(ListView_DeleteItem(list.GetSafeHwnd(), 0));
        EXPECT_EQ(liveRecordSized, before + 5) << "a row deleted by anyone frees its record";
        EXPECT_EQ(list.DeleteAllRows(), 5);
        EXPECT_EQ(list.GetRowCount(), 0);
        EXPECT_EQ(liveRecordSized, before);
        EXPECT_EQ(list.DeleteAllRows(), 0);
        FillStatistics(list);   // rows left at closing go with the window
    });
    EXPECT_EQ(liveRecordSized, before);
}

TEST(ReportList, FindRowExactTellsCaseVariantsApart)
{
    InDialog([](ListDialog&, StripedReportListCtrl& list) {
        list.InsertColumn(0, "Processes");
        for (const char* name : {"Notepad.exe", "calc.exe", "notepad.exe", "NOTEPAD.EXE", "", "Total:"})
            list.InsertItem(list.GetRowCount(), name);
        EXPECT_EQ(list.FindRowExact("Notepad.exe"), 0);
        EXPECT_EQ(list.FindRowExact("notepad.exe"), 2);
        EXPECT_EQ(list.FindRowExact("NOTEPAD.EXE"), 3);
        EXPECT_EQ(list.FindRowExact("NotePad.exe"), -1);
        EXPECT_EQ(list.FindRowExact("notepad"), -1);
        EXPECT_EQ(list.FindRowExact("Total:"), 5);
        // Long names, also one whose multibyte character would straddle the first read's end.
        for (const std::string& longName : {std::string(600, 'x'), std::string(253, 'x') + "\xE4\xB8\xAD.exe"}) {
            list.InsertItem(0, longName.c_str());
            EXPECT_EQ(list.GetItemText(0, 0), longName);
            EXPECT_EQ(list.FindRowExact(longName), 0);
        }
    });
}

TEST(ReportList, OutOfRangeRowsAndColumnsAndRowsWithoutRecordDoNoHarm)
{
    InDialog([](ListDialog& dialog, StripedReportListCtrl& list) {
        // An empty list sorts to nothing but still records and announces the sort.
        list.InsertColumn(0, "Name");
        list.SortItems(0, false);
        EXPECT_EQ(list.GetSortColumn(), 0);
        EXPECT_EQ(dialog.sorted.size(), 1u);
        list.SetCellBkColor(-1, -1, RGB(1, 1, 1), true);

        list.InsertItem(0, "only");
        EXPECT_FALSE(list.SetItemText(5, 0, "x"));
        EXPECT_EQ(list.GetItemText(-1, 0), "");
        EXPECT_EQ(list.GetItemText(0, 4), "");
        EXPECT_EQ(list.GetCellColors(1), nullptr);
        EXPECT_EQ(list.GetCellColors(-1), nullptr);
        EXPECT_EQ(list.InsertItem(100, "appended"), 1);   // the platform puts it last
        EXPECT_NE(list.GetCellColors(1), nullptr);

        InsertForeignRow(list, 2, "foreign");   // paints and takes colours safely
        list.SetCellBkColor(-1, -1, RGB(2, 2, 2), true);
        EXPECT_EQ(list.GetCellColors(2), nullptr);
        EXPECT_EQ(BackGrid(list), Grid({{RGB(2, 2, 2)}, {RGB(2, 2, 2)}, {}}));
        list.SortItems(0, false);
        EXPECT_EQ(ColumnTexts(list, 0), std::vector<std::string>({"only", "foreign", "appended"}));
        ::UpdateWindow(list.GetSafeHwnd());
        EXPECT_EQ(list.DeleteAllRows(), 3);
    });

    // A list object bound to no window answers nothing and keeps nothing.
    const std::size_t before = liveRecordSized;
    ReportListCtrl unbound;
    EXPECT_EQ(unbound.InsertItem(0, "x"), -1);
    EXPECT_EQ(unbound.InsertColumn(0, "x"), -1);
    EXPECT_EQ(unbound.FindRowExact(""), -1);
    EXPECT_EQ(unbound.DeleteAllRows(), 0);
    unbound.SortItems(0, true);
    EXPECT_EQ(unbound.GetSortColumn(), -1);
    EXPECT_EQ(liveRecordSized, before);
}

}  // namespace
