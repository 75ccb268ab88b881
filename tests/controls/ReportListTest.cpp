// The report list on real list views under Wine: bound to dialog items the way the statistics
// dialogs bind theirs, run inside the framework's modal loop, driven by real messages and real
// mouse input on the column header, and looked at on the screen.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <map>
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
    if (size == sizeof(CellColors))
        ++liveRecordSized;
    return static_cast<char*>(block) + BlockHeader;
}
}  // namespace

void* operator new(std::size_t size)
{
    if (void* memory = Allocate(size))
        return memory;
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
namespace {
void Release(void* memory) noexcept
{
    if (memory == nullptr)
        return;
    void* block = static_cast<char*>(memory) - BlockHeader;
    if (*static_cast<std::size_t*>(block) == sizeof(CellColors))
        --liveRecordSized;
    std::free(block);
}
}  // namespace
void operator delete(void* memory) noexcept { Release(memory); }
void operator delete(void* memory, std::size_t) noexcept { Release(memory); }
void operator delete(void* memory, const std::nothrow_t&) noexcept { Release(memory); }

namespace {

constexpr COLORREF Stripe = RGB(232, 232, 243);
constexpr COLORREF LastRow = RGB(185, 200, 216);
constexpr COLORREF White = RGB(255, 255, 255);

const bool commonControls = [] {
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_LISTVIEW_CLASSES};
    return ::InitCommonControlsEx(&init) != FALSE;
}();

class ListDialog : public Dialog {
public:
    ListDialog() : Dialog(IDD_TEST_REPORTLIST) {}

    StripedReportListCtrl list;
    ReportListCtrl bare;
    std::vector<std::pair<WPARAM, LPARAM>> sorted;   // WM_LISTSORTED as the dialog got it
    std::vector<UINT> listNotes;                     // the list's notifications the dialog saw

    bool Saw(UINT code) const
    {
        for (UINT note : listNotes)
            if (note == code)
                return true;
        return false;
    }

protected:
    void DoDataExchange(DataExchange& exchange) override
    {
        DDX_Control(exchange, IDC_TEST_STATSLIST, list);
        DDX_Control(exchange, IDC_TEST_BARELIST, bare);
    }
    LRESULT OnListSorted(WPARAM column, LPARAM ascending)
    {
        sorted.emplace_back(column, ascending);
        return 0;
    }
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

struct AppRow {
    const char* name;
    const char* time;
    const char* percent;
};
const AppRow Apps[] = {
    {"notepad.exe", "0:10:00", "30%"},
    {"Calc.exe", "1:30:00", "5%"},
    {"explorer.exe", "9:59:59", "40%"},
    {"zed.exe", "10:00:00", "25%"},
};

// The statistics dialog's layout: one row per application, a blank row, a "Total:" row.
void FillStatistics(ReportListCtrl& list)
{
    list.SetSeparatorText(std::string());
    ASSERT_EQ(list.InsertColumn(0, "Applications", LVCFMT_LEFT, 130), 0);
    ASSERT_EQ(list.InsertColumn(1, "Time", LVCFMT_LEFT, 100), 1);
    ASSERT_EQ(list.InsertColumn(2, "Percent", LVCFMT_LEFT, 80), 2);
    int image = 0;
    for (const AppRow& app : Apps) {
        const int row = list.InsertItem(list.GetRowCount(), app.name, image++ % 3);
        ASSERT_GE(row, 0);
        list.SetItemText(row, 1, app.time);
        list.SetItemText(row, 2, app.percent);
    }
    const int blank = list.InsertItem(list.GetRowCount(), "", -1);
    ASSERT_GE(blank, 0);
    const int total = list.InsertItem(blank + 1, "Total:", -1);
    list.SetItemText(total, 1, "21:39:59");
    list.SetItemText(total, 2, "100%");
}

std::vector<std::string> ColumnTexts(const ReportListCtrl& list, int column)
{
    std::vector<std::string> texts;
    for (int row = 0; row < list.GetRowCount(); ++row)
        texts.push_back(list.GetItemText(row, column));
    return texts;
}

std::string RowText(const ReportListCtrl& list, int row)
{
    return list.GetItemText(row, 0) + "|" + list.GetItemText(row, 1) + "|" + list.GetItemText(row, 2);
}

std::vector<std::string> Names(std::initializer_list<const char*> names)
{
    std::vector<std::string> rows(names.begin(), names.end());
    rows.push_back("");
    rows.push_back("Total:");
    return rows;
}

// The rows still hold the cells they were filled with, whatever their order.
void ExpectRowsIntact(const ReportListCtrl& list)
{
    std::map<std::string, std::string> filled;
    for (const AppRow& app : Apps)
        filled[app.name] = std::string(app.name) + "|" + app.time + "|" + app.percent;
    filled[""] = "||";
    filled["Total:"] = "Total:|21:39:59|100%";
    for (int row = 0; row < list.GetRowCount(); ++row)
        EXPECT_EQ(RowText(list, row), filled[list.GetItemText(row, 0)]) << "row " << row;
}

// A left click in the middle of a header item, as the mouse gives it.
void ClickHeader(const ReportListCtrl& list, int column)
{
    HWND header = reinterpret_cast<HWND>(::SendMessageA(list.GetSafeHwnd(), LVM_GETHEADER, 0, 0));
    RECT item = {};
    ASSERT_TRUE(::SendMessageA(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item)));
    const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    ::SendMessageA(header, WM_MOUSEMOVE, 0, at);
    ::SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageA(header, WM_LBUTTONUP, 0, at);
}

UINT StateOf(const ReportListCtrl& list, int row, UINT mask)
{
    return static_cast<UINT>(::SendMessageA(list.GetSafeHwnd(), LVM_GETITEMSTATE, static_cast<WPARAM>(row), mask));
}

void SetState(const ReportListCtrl& list, int row, UINT state, UINT mask)
{
    LVITEMA item = {};
    item.state = state;
    item.stateMask = mask;
    ::SendMessageA(list.GetSafeHwnd(), LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
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

std::vector<COLORREF> BackColors(const ReportListCtrl& list, int row)
{
    const CellColors* record = list.GetCellColors(row);
    return record != nullptr ? record->backColors : std::vector<COLORREF>{};
}

HIMAGELIST MakeIcons()
{
    HIMAGELIST icons = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 3, 1);
    for (LPCSTR icon : {IDI_APPLICATION, IDI_WARNING, IDI_INFORMATION})
        ImageList_ReplaceIcon(icons, -1, ::LoadIconA(nullptr, icon));
    return icons;
}

TEST(ReportList, BindingAppliesTheStyleRule)
{
    ASSERT_TRUE(commonControls);
    ListDialog dialog;
    ModalSteps::Run(dialog, {[&] {
        const DWORD style = static_cast<DWORD>(::GetWindowLongA(dialog.bare.GetSafeHwnd(), GWL_STYLE));
        // The scroll bars the rule asks for are the list's to show or hide as its rows need.
        EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE), static_cast<DWORD>(WS_CHILD | WS_VISIBLE));
        EXPECT_EQ(style & LVS_TYPEMASK, static_cast<DWORD>(LVS_REPORT));
        EXPECT_EQ(style & (LVS_EDITLABELS | LVS_NOSCROLL), 0u);
        EXPECT_NE(style & LVS_NOCOLUMNHEADER, 0u);
        EXPECT_TRUE(::IsWindowVisible(dialog.bare.GetSafeHwnd()));
        EXPECT_EQ(::SendMessageA(dialog.list.GetSafeHwnd(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0), 0x22);

        // No header: never sortable.
        EXPECT_FALSE(dialog.bare.EnableSort(true));
        EXPECT_FALSE(dialog.bare.IsSortEnabled());
    }});
}

// A list view made by hand with other extended bits, then bound; and a list made by Create.
TEST(ReportList, ExtendedStyleIsReplacedAndCreateAppliesTheRule)
{
    Window host;
    const RECT hostRect = {0, 0, 300, 200};
    ASSERT_TRUE(host.CreateEx(0, "STATIC", "host", WS_POPUP, hostRect, nullptr, 0));

    HWND handMade = ::CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | LVS_ICON | LVS_EDITLABELS, 0, 0, 100,
                                      100, host.GetSafeHwnd(), nullptr, nullptr, nullptr);
    ASSERT_NE(handMade, nullptr);
    ::SendMessageA(handMade, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                   LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_HEADERDRAGDROP);
    ReportListCtrl bound;
    ASSERT_TRUE(bound.SubclassWindow(handMade));
    EXPECT_EQ(::SendMessageA(handMade, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0), 0x22);
    EXPECT_EQ(::GetWindowLongA(handMade, GWL_STYLE) & (LVS_TYPEMASK | LVS_EDITLABELS), LVS_REPORT);

    ReportListCtrl created;
    ASSERT_TRUE(created.Create(host.GetSafeHwnd(), 77, nullptr, LVS_ICON | LVS_NOSCROLL));
    const DWORD style = static_cast<DWORD>(::GetWindowLongA(created.GetSafeHwnd(), GWL_STYLE));
    EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE | LVS_TYPEMASK | LVS_NOSCROLL),
              static_cast<DWORD>(WS_CHILD | WS_VISIBLE | LVS_REPORT));
    EXPECT_EQ(::SendMessageA(created.GetSafeHwnd(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & 0x22, 0x22);
    EXPECT_EQ(::GetDlgCtrlID(created.GetSafeHwnd()), 77);
    RECT client = {};
    ::GetClientRect(created.GetSafeHwnd(), &client);
    RECT window = {};
    ::GetWindowRect(created.GetSafeHwnd(), &window);
    EXPECT_EQ(window.right - window.left, 300);   // the parent's whole client area
    EXPECT_EQ(window.bottom - window.top, 200);

    // Destroying the window frees every row's record.
    const std::size_t before = liveRecordSized;
    created.InsertColumn(0, "Name");
    created.InsertItem(0, "a");
    created.InsertItem(1, "b");
    EXPECT_EQ(liveRecordSized, before + 2);
    host.DestroyWindow();
    EXPECT_EQ(liveRecordSized, before);
}

TEST(ReportList, SortsEveryColumnKeepingBlankAndTotalLast)
{
    ListDialog dialog;
    ModalSteps::Run(dialog, {[&] {
        ReportListCtrl& list = dialog.list;
        FillStatistics(list);
        struct Case {
            int column;
            std::vector<std::string> ascending;
        };
        const Case cases[] = {
            {0, Names({"Calc.exe", "explorer.exe", "notepad.exe", "zed.exe"})},
            // 9:59:59 before 10:00:00: times, not texts.
            {1, Names({"notepad.exe", "Calc.exe", "explorer.exe", "zed.exe"})},
            {2, Names({"Calc.exe", "zed.exe", "notepad.exe", "explorer.exe"})},
        };
        for (const Case& test : cases) {
            list.SortItems(test.column, true);
            EXPECT_EQ(ColumnTexts(list, 0), test.ascending) << "column " << test.column;
            ExpectRowsIntact(list);
            EXPECT_EQ(list.GetSortColumn(), test.column);
            EXPECT_TRUE(list.IsSortAscending());

            list.SortItems(test.column, false);
            std::vector<std::string> descending(test.ascending.rbegin() + 2, test.ascending.rend());
            descending.push_back("");
            descending.push_back("Total:");
            EXPECT_EQ(ColumnTexts(list, 0), descending) << "column " << test.column;
            ExpectRowsIntact(list);
            EXPECT_FALSE(list.IsSortAscending());
        }
        const std::vector<std::pair<WPARAM, LPARAM>> sent = {{0, 1}, {0, 0}, {1, 1}, {1, 0}, {2, 1}, {2, 0}};
        EXPECT_EQ(dialog.sorted, sent);

        // A data row with an empty time splits the rows: each side is sorted apart.
        list.SortItems(0, true);   // Calc, explorer, notepad, zed
        list.SetItemText(1, 1, "");
        list.SortItems(1, false);
        EXPECT_EQ(ColumnTexts(list, 0), Names({"Calc.exe", "explorer.exe", "zed.exe", "notepad.exe"}));
    }});
}

TEST(ReportList, HeaderClicksToggleAndChangesResetTheDirection)
{
    ListDialog dialog;
    ModalSteps::Run(dialog, {[&] {
        StripedReportListCtrl& list = dialog.list;
        FillStatistics(list);
        // As the statistics dialog opens: by time, largest first.
        list.SortItems(1, false);
        list.RecolorRows();
        EXPECT_EQ(ColumnTexts(list, 0), Names({"zed.exe", "explorer.exe", "Calc.exe", "notepad.exe"}));

        ClickHeader(list, 1);
        EXPECT_EQ(ColumnTexts(list, 0), Names({"notepad.exe", "Calc.exe", "explorer.exe", "zed.exe"}));
        ClickHeader(list, 1);
        EXPECT_EQ(ColumnTexts(list, 0), Names({"zed.exe", "explorer.exe", "Calc.exe", "notepad.exe"}));
        ClickHeader(list, 2);
        EXPECT_EQ(ColumnTexts(list, 0), Names({"Calc.exe", "zed.exe", "notepad.exe", "explorer.exe"}));
        const std::vector<std::pair<WPARAM, LPARAM>> sent = {{1, 0}, {1, 1}, {1, 0}, {2, 1}};
        EXPECT_EQ(dialog.sorted, sent);
        EXPECT_FALSE(dialog.Saw(LVN_COLUMNCLICK)) << "the parent saw a column click";
        EXPECT_FALSE(dialog.Saw(NM_CUSTOMDRAW)) << "the parent saw custom draw";
        // The click recoloured the rows it moved.
        EXPECT_EQ(BackColors(list, 0), std::vector<COLORREF>(3, Stripe));
        EXPECT_EQ(BackColors(list, 1), std::vector<COLORREF>(3, White));

        // A changed cell makes the next click on the same column ascending again.
        ClickHeader(list, 2);   // descending
        EXPECT_FALSE(list.IsSortAscending());
        list.SetItemText(0, 1, "0:00:01");
        EXPECT_EQ(list.GetSortColumn(), -1);
        ClickHeader(list, 2);
        EXPECT_TRUE(list.IsSortAscending());
        ClickHeader(list, 2);
        EXPECT_FALSE(list.IsSortAscending());
        list.InsertItem(0, "new.exe", 0);
        ClickHeader(list, 2);
        EXPECT_EQ(list.GetSortColumn(), 2);
        EXPECT_TRUE(list.IsSortAscending());

        // Sorting off, as in the main window: clicks and SortItems change nothing, send nothing.
        const std::vector<std::string> before = ColumnTexts(list, 0);
        const size_t sentBefore = dialog.sorted.size();
        ASSERT_TRUE(list.EnableSort(false));
        EXPECT_FALSE(list.IsSortEnabled());
        EXPECT_EQ(list.GetSortColumn(), -1);
        ClickHeader(list, 0);
        list.SortItems(0, true);
        EXPECT_EQ(ColumnTexts(list, 0), before);
        EXPECT_EQ(list.GetSortColumn(), -1);

        // Columns that do not exist are refused as well.
        ASSERT_TRUE(list.EnableSort(true));
        list.SortItems(3, true);
        list.SortItems(-1, true);
        EXPECT_EQ(ColumnTexts(list, 0), before);
        EXPECT_EQ(list.GetSortColumn(), -1);
        EXPECT_EQ(dialog.sorted.size(), sentBefore);
    }});
}

// Rows move whole both when every row has its record (the list view's sort moves them) and when
// a row put in past the control has none (then they are written back row by row).
TEST(ReportList, SortMovesStatesDataImagesAndTextsWithTheRow)
{
    for (const bool foreignRow : {false, true}) {
    SCOPED_TRACE(foreignRow ? "with a row without record" : "every row with its record");
    ListDialog dialog;
    ModalSteps::Run(dialog, {[&] {
        ReportListCtrl& list = dialog.list;
        HIMAGELIST icons = MakeIcons();
        EXPECT_EQ(list.SetImageList(icons), nullptr);
        EXPECT_EQ(list.GetImageList(), icons);
        FillStatistics(list);   // images 0, 1, 2, 0 in fill order
        if (foreignRow) {
            // Last, with empty cells: a separator of its own in every column.
            LVITEMA item = {};
            item.mask = LVIF_TEXT;
            item.iItem = list.GetRowCount();
            item.pszText = const_cast<char*>("");
            ASSERT_EQ(::SendMessageA(list.GetSafeHwnd(), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)), 6);
        }
        // notepad.exe (row 0): selected and checked, its time cell with image 2 and a colour;
        // explorer.exe (row 2): focused.
        SetState(list, 0, LVIS_SELECTED | INDEXTOSTATEIMAGEMASK(2), LVIS_SELECTED | LVIS_STATEIMAGEMASK);
        SetState(list, 2, LVIS_FOCUSED, LVIS_FOCUSED);
        LVITEMA cell = {};
        cell.mask = LVIF_IMAGE;
        cell.iItem = 0;
        cell.iSubItem = 1;
        cell.iImage = 2;
        ::SendMessageA(list.GetSafeHwnd(), LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&cell));
        list.SetCellBkColor(0, 1, RGB(1, 2, 3), false);
        const CellColors* notepadColors = list.GetCellColors(0);
        const CellColors* explorerColors = list.GetCellColors(2);
        const int notepadSubImage = ImageOf(list, 0, 1);
        const int calcSubImage = ImageOf(list, 1, 1);
        const UINT notepadState = StateOf(list, 0, LVIS_SELECTED | LVIS_STATEIMAGEMASK);

        list.SortItems(1, false);   // zed, explorer, Calc, notepad
        std::vector<std::string> sortedNames = Names({"zed.exe", "explorer.exe", "Calc.exe", "notepad.exe"});
        if (foreignRow)
            sortedNames.push_back("");
        ASSERT_EQ(ColumnTexts(list, 0), sortedNames);
        ExpectRowsIntact(list);
        EXPECT_EQ(StateOf(list, 3, LVIS_SELECTED | LVIS_STATEIMAGEMASK), notepadState);
        EXPECT_EQ(StateOf(list, 0, LVIS_SELECTED), 0u);
        EXPECT_EQ(StateOf(list, 1, LVIS_FOCUSED), static_cast<UINT>(LVIS_FOCUSED));
        EXPECT_EQ(StateOf(list, 2, LVIS_FOCUSED), 0u);
        EXPECT_EQ(list.GetCellColors(3), notepadColors);
        EXPECT_EQ(list.GetCellColors(1), explorerColors);
        EXPECT_EQ(BackColors(list, 3)[1], RGB(1, 2, 3));
        EXPECT_EQ(ImageOf(list, 3, 0), 0);   // notepad.exe
        EXPECT_EQ(ImageOf(list, 2, 0), 1);   // Calc.exe
        EXPECT_EQ(ImageOf(list, 1, 0), 2);   // explorer.exe
        EXPECT_EQ(ImageOf(list, 0, 0), 0);   // zed.exe
        EXPECT_EQ(ImageOf(list, 3, 1), notepadSubImage);
        EXPECT_EQ(ImageOf(list, 2, 1), calcSubImage);
        EXPECT_EQ(::SendMessageA(list.GetSafeHwnd(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 3);
        list.SetImageList(nullptr);
        ImageList_Destroy(icons);
    }});
    }
}

TEST(StripedReportList, RecolorRowsStripesDataRowsAndMarksTheLastRow)
{
    ListDialog dialog;
    ModalSteps::Run(dialog, {[&] {
        StripedReportListCtrl& list = dialog.list;
        list.m_stripeColor = Stripe;
        list.m_lastRowColor = LastRow;
        list.RecolorRows();   // no rows, no columns: nothing to do
        list.InsertColumn(0, "Name");
        list.InsertColumn(1, "Time");

        auto rowColours = [&] {
            std::vector<COLORREF> colours;
            for (int row = 0; row < list.GetRowCount(); ++row) {
                const std::vector<COLORREF> cells = BackColors(list, row);
                EXPECT_EQ(cells.size(), 2u);
                EXPECT_EQ(cells.front(), cells.back()) << "row " << row;
                colours.push_back(cells.empty() ? 0 : cells.front());
            }
            return colours;
        };
        list.InsertItem(0, "Total:");
        list.RecolorRows();
        EXPECT_EQ(rowColours(), std::vector<COLORREF>({LastRow}));
        list.InsertItem(0, "");
        list.RecolorRows();
        EXPECT_EQ(rowColours(), std::vector<COLORREF>({White, LastRow}));
        for (const char* name : {"a", "b", "c", "d", "e"})
            list.InsertItem(list.GetRowCount() - 2, name);
        list.RecolorRows();
        EXPECT_EQ(rowColours(), std::vector<COLORREF>({Stripe, White, Stripe, White, Stripe, White, LastRow}));
        list.InsertItem(0, "f");
        list.RecolorRows();
        EXPECT_EQ(rowColours(),
                  std::vector<COLORREF>({Stripe, White, Stripe, White, Stripe, White, White, LastRow}));
        // Text colours stay the system's.
        EXPECT_EQ(list.GetCellColors(0)->textColors,
                  std::vector<COLORREF>(2, ::GetSysColor(COLOR_WINDOWTEXT)));
    }});
}

TEST(ReportList, SetCellBkColorWidensOutOfRangeTargetsAndColumnsStayInStep)
{
    ListDialog dialog;
    ModalSteps::Run(dialog, {[&] {
        ReportListCtrl& list = dialog.list;
        const COLORREF window = ::GetSysColor(COLOR_WINDOW);
        const COLORREF text = ::GetSysColor(COLOR_WINDOWTEXT);
        list.InsertColumn(0, "A");
        list.InsertColumn(1, "B");
        list.InsertColumn(2, "C");
        for (int row = 0; row < 3; ++row)
            list.InsertItem(row, "row");
        const COLORREF red = RGB(200, 0, 0);
        auto grid = [&] {
            std::vector<std::vector<COLORREF>> cells;
            for (int row = 0; row < list.GetRowCount(); ++row)
                cells.push_back(BackColors(list, row));
            return cells;
        };
        using Grid = std::vector<std::vector<COLORREF>>;
        const std::vector<COLORREF> plain(3, window);

        list.SetCellBkColor(1, 1, red, false);
        EXPECT_EQ(grid(), Grid({plain, {window, red, window}, plain}));
        list.SetCellBkColor(1, -1, CLR_NONE, false);   // the row; -1 is the window colour
        EXPECT_EQ(grid(), Grid({plain, plain, plain}));
        list.SetCellBkColor(-1, 2, red, false);         // the column
        EXPECT_EQ(grid(), Grid(3, {window, window, red}));
        list.SetCellBkColor(7, 1, red, false);          // row past the end: the column
        EXPECT_EQ(grid(), Grid(3, {window, red, red}));
        list.SetCellBkColor(0, 3, window, false);       // column past the end: the row
        EXPECT_EQ(grid(), Grid({plain, {window, red, red}, {window, red, red}}));
        list.SetCellBkColor(-5, 9, red, true);          // neither: every cell
        EXPECT_EQ(grid(), Grid(3, std::vector<COLORREF>(3, red)));

        // A column inserted between others gets the window colours at its place in every row.
        list.SetCellBkColor(-1, 0, RGB(0, 0, 9), false);
        ASSERT_EQ(list.InsertColumn(1, "New"), 1);
        EXPECT_EQ(grid(), Grid(3, {RGB(0, 0, 9), window, red, red}));
        EXPECT_EQ(list.GetCellColors(2)->textColors, std::vector<COLORREF>(4, text));
        ASSERT_EQ(list.InsertColumn(40, "Last"), 4);
        EXPECT_EQ(grid(), Grid(3, {RGB(0, 0, 9), window, red, red, window}));
        const int row = list.InsertItem(1, "later");
        EXPECT_EQ(BackColors(list, row), std::vector<COLORREF>(5, window));
    }});
}

// What the screen shows: stripes, white rows and the last row's colour across the whole row.
TEST(StripedReportList, PaintsEachRowInItsColour)
{
    ListDialog dialog;
    ModalSteps::Run(dialog, {[&] {
        StripedReportListCtrl& list = dialog.list;
        HIMAGELIST icons = MakeIcons();
        list.SetImageList(icons);
        FillStatistics(list);
        list.m_stripeColor = Stripe;
        list.m_lastRowColor = LastRow;
        list.SortItems(1, false);
        list.RecolorRows();
        ::SetForegroundWindow(dialog.GetSafeHwnd());
        ::RedrawWindow(dialog.GetSafeHwnd(), nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        ModalSteps::Pump(100);

        HWND window = list.GetSafeHwnd();
        HDC dc = ::GetDC(window);
        auto pixelInCell = [&](int row, int column) {
            RECT cell = {};
            cell.top = column;
            cell.left = LVIR_BOUNDS;
            ::SendMessageA(window, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
            return ::GetPixel(dc, cell.right - 4, (cell.top + cell.bottom) / 2);
        };
        const COLORREF expected[] = {Stripe, White, Stripe, White, White, LastRow};
        for (int row = 0; row < 6; ++row)
            for (int column = 0; column < 3; ++column)
                EXPECT_EQ(pixelInCell(row, column), expected[row]) << "row " << row << " column " << column;
        // The icon space before a label takes the row's colour too: "Total:" has no icon there.
        RECT total = {};
        total.left = LVIR_BOUNDS;
        ::SendMessageA(window, LVM_GETITEMRECT, 5, reinterpret_cast<LPARAM>(&total));
        EXPECT_EQ(::GetPixel(dc, total.left + 2, (total.top + total.bottom) / 2), LastRow);
        ::ReleaseDC(window, dc);

        if (const char* hold = std::getenv("VANTEL_HOLD_MS"))
            ModalSteps::Pump(static_cast<DWORD>(std::atoi(hold)));
        list.SetImageList(nullptr);
        ImageList_Destroy(icons);
    }});
}

TEST(ReportList, SpaceNeverReachesTheList)
{
    ListDialog dialog;
    ModalSteps::Run(dialog, {
        [&] {
            FillStatistics(dialog.list);
            ::SetFocus(dialog.list.GetSafeHwnd());
            SetState(dialog.list, 1, LVIS_FOCUSED, LVIS_FOCUSED | LVIS_SELECTED);
            dialog.listNotes.clear();
            ::PostMessageA(dialog.list.GetSafeHwnd(), WM_KEYDOWN, VK_SPACE, 0x00390001);
            ::PostMessageA(dialog.list.GetSafeHwnd(), WM_KEYUP, VK_SPACE, 0xC0390001);
        },
        [&] {
            EXPECT_FALSE(dialog.Saw(LVN_KEYDOWN));
            EXPECT_EQ(StateOf(dialog.list, 1, LVIS_FOCUSED | LVIS_SELECTED), static_cast<UINT>(LVIS_FOCUSED));
            // Other keys go through: the list answers them with LVN_KEYDOWN.
            ::PostMessageA(dialog.list.GetSafeHwnd(), WM_KEYDOWN, VK_DOWN, 0x01500001);
        },
        [&] {
            EXPECT_TRUE(dialog.Saw(LVN_KEYDOWN));
        }});
}

TEST(ReportList, RowsTakeTheirRecordsWithThem)
{
    const std::size_t before = liveRecordSized;
    {
        ListDialog dialog;
        ModalSteps::Run(dialog, {[&] {
            ReportListCtrl& list = dialog.list;
            FillStatistics(list);
            EXPECT_EQ(liveRecordSized, before + 6);
            list.SortItems(0, true);
            list.SortItems(1, false);
            EXPECT_EQ(liveRecordSized, before + 6);   // moved, not copied or lost

            // A row deleted by anyone frees its record.
            ASSERT_TRUE(::SendMessageA(list.GetSafeHwnd(), LVM_DELETEITEM, 0, 0));
            EXPECT_EQ(liveRecordSized, before + 5);

            EXPECT_EQ(list.DeleteAllRows(), 5);
            EXPECT_EQ(list.GetRowCount(), 0);
            EXPECT_EQ(liveRecordSized, before);
            EXPECT_EQ(list.DeleteAllRows(), 0);

            // Rows left at closing are freed with the window.
            FillStatistics(list);
            EXPECT_EQ(liveRecordSized, before + 6);
        }});
    }
    EXPECT_EQ(liveRecordSized, before);
}

TEST(ReportList, FindRowExactTellsCaseVariantsApart)
{
    ListDialog dialog;
    ModalSteps::Run(dialog, {[&] {
        ReportListCtrl& list = dialog.list;
        list.InsertColumn(0, "Processes");
        list.InsertColumn(1, "Duration");
        for (const char* name : {"Notepad.exe", "calc.exe", "notepad.exe", "NOTEPAD.EXE", "", "Total:"})
            list.InsertItem(list.GetRowCount(), name);
        EXPECT_EQ(list.FindRowExact("Notepad.exe"), 0);
        EXPECT_EQ(list.FindRowExact("notepad.exe"), 2);
        EXPECT_EQ(list.FindRowExact("NOTEPAD.EXE"), 3);
        EXPECT_EQ(list.FindRowExact("NotePad.exe"), -1);
        EXPECT_EQ(list.FindRowExact("notepad"), -1);
        EXPECT_EQ(list.FindRowExact("Total:"), 5);
        const std::string longName(600, 'x');
        list.InsertItem(0, longName.c_str());
        EXPECT_EQ(list.GetItemText(0, 0), longName);
        EXPECT_EQ(list.FindRowExact(longName), 0);
    }});
}

TEST(ReportList, OutOfRangeRowsAndColumnsDoNoHarm)
{
    ListDialog dialog;
    ModalSteps::Run(dialog, {[&] {
        ReportListCtrl& list = dialog.list;
        // An empty list sorts to nothing but still records and announces the sort.
        list.InsertColumn(0, "Name");
        list.SortItems(0, false);
        EXPECT_EQ(list.GetSortColumn(), 0);
        ASSERT_EQ(dialog.sorted.size(), 1u);
        list.SetCellBkColor(-1, -1, RGB(1, 1, 1), true);

        list.InsertItem(0, "only");
        EXPECT_FALSE(list.SetItemText(5, 0, "x"));
        EXPECT_EQ(list.GetItemText(-1, 0), "");
        EXPECT_EQ(list.GetItemText(0, 4), "");
        EXPECT_EQ(list.GetCellColors(1), nullptr);
        EXPECT_EQ(list.GetCellColors(-1), nullptr);
        EXPECT_EQ(list.InsertItem(100, "appended"), 1);   // the platform puts it last
        EXPECT_NE(list.GetCellColors(1), nullptr);

        // A row put in past the control has no record: it still paints and takes colours safely.
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = 2;
        item.pszText = const_cast<char*>("foreign");
        ASSERT_EQ(::SendMessageA(list.GetSafeHwnd(), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)), 2);
        list.SetCellBkColor(-1, -1, RGB(2, 2, 2), true);
        EXPECT_EQ(list.GetCellColors(2), nullptr);
        EXPECT_EQ(BackColors(list, 1), std::vector<COLORREF>({RGB(2, 2, 2)}));
        list.SortItems(0, false);
        EXPECT_EQ(ColumnTexts(list, 0), std::vector<std::string>({"only", "foreign", "appended"}));
        ::UpdateWindow(list.GetSafeHwnd());
        EXPECT_EQ(list.DeleteAllRows(), 3);
    }});

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
