#include "controls/ReportListCtrl.h"

#include <oleauto.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <numeric>
#include <unordered_map>

#include "controls/UrlDataObject.h"
#include "core/ListSort.h"
#include "core/TableText.h"
#include "core/Utf8.h"
#include "framework/Application.h"
#include "framework/Dpi.h"
#include "framework/Resources.h"

namespace {

// Report view with both scroll bars, visible child; no label editing, no LVS_NOSCROLL.
constexpr DWORD StyleKeepMask = 0xFFFFDDFD;
constexpr DWORD StyleRequired = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | LVS_REPORT;
constexpr DWORD ExtendedStyle = LVS_EX_FULLROWSELECT | LVS_EX_SUBITEMIMAGES;
// The states that travel with a row when the list sorts: selected, focused, checked.
constexpr UINT MovedStates = LVIS_SELECTED | LVIS_FOCUSED | LVIS_STATEIMAGEMASK;

DWORD ApplyStyleRule(DWORD style)
{
    return (style & StyleKeepMask) | StyleRequired;
}

// A cell text as an OLE automation date (dates, times of day, or both), as the user's locale
// reads it.
bool ParseCellDate(const std::string& text, double& when)
{
    std::wstring wide = Widen(text);
    DATE date = 0;
    if (FAILED(VarDateFromStr(&wide[0], LOCALE_USER_DEFAULT, 0, &date)))
        return false;
    when = date;
    return true;
}

// Makes text the clipboard's content as CF_UNICODETEXT. The system offers it as CF_TEXT too,
// converted with the code page of the clipboard's locale: a program that reads ANSI text gets
// its own code page, not the UTF-8 of this program's ANSI calls. False when the clipboard
// could not be opened or took nothing.
bool PutOnClipboard(HWND owner, const std::wstring& text)
{
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    GlobalBlock block(::GlobalAlloc(GMEM_MOVEABLE, bytes));
    void* memory = block ? ::GlobalLock(block.get()) : nullptr;
    if (memory == nullptr)
        return false;
    std::memcpy(memory, text.c_str(), bytes);
    ::GlobalUnlock(block.get());
    if (!::OpenClipboard(owner))
        return false;
    const bool placed = ::EmptyClipboard() && ::SetClipboardData(CF_UNICODETEXT, block.get()) != nullptr;
    if (placed)
        block.release();   // the clipboard owns it now
    ::CloseClipboard();
    return placed;
}

// Holds back the list's drawing while many rows change: each change would otherwise invalidate
// its row at once, a trip to the window server every time under Wine. The whole list is
// invalidated once at the end. A hidden list is left alone, as WM_SETREDRAW TRUE would show it.
class RedrawPause {
public:
    explicit RedrawPause(HWND list)
        : m_list((::GetWindowLongA(list, GWL_STYLE) & WS_VISIBLE) != 0 ? list : nullptr)
    {
        if (m_list != nullptr)
            ::SendMessageA(m_list, WM_SETREDRAW, FALSE, 0);
    }
    ~RedrawPause()
    {
        if (m_list == nullptr || !::IsWindow(m_list))
            return;
        ::SendMessageA(m_list, WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(m_list, nullptr, TRUE);
    }
    RedrawPause(const RedrawPause&) = delete;
    RedrawPause& operator=(const RedrawPause&) = delete;

private:
    HWND m_list;
};

// Brings every image of images to size x size in place, keeping their order, so that the handle
// stays valid for every list that shows it. Nothing happens when they have that size already.
void ResizeImages(HIMAGELIST images, int size)
{
    int width = 0, height = 0;
    if (!::ImageList_GetIconSize(images, &width, &height) || (width == size && height == size))
        return;
    std::vector<UniqueIcon> icons;
    for (int i = 0; i < ::ImageList_GetImageCount(images); ++i) {
        icons.emplace_back(::ImageList_GetIcon(images, i, ILD_NORMAL));
        if (!icons.back())
            return;   // every image keeps its index, or none is touched
    }
    ::ImageList_SetIconSize(images, size, size);   // empties the list
    for (const UniqueIcon& icon : icons)
        ::ImageList_ReplaceIcon(images, -1, icon.get());
}

// Every cell of the row has the same text colour and the same background.
bool IsUniform(const CellColors& record)
{
    const auto same = [](const std::vector<COLORREF>& colours) {
        return std::adjacent_find(colours.begin(), colours.end(), std::not_equal_to<>()) == colours.end();
    };
    return same(record.textColors) && same(record.backColors);
}

// Everything of one row that moves with it when the list sorts.
struct RowSnapshot {
    UINT state = 0;
    LPARAM data = 0;
    std::vector<int> images;
    std::vector<std::string> texts;
};

} // namespace

BEGIN_MESSAGE_MAP(ReportListCtrl, Window)
    ON_MESSAGE(WM_CREATE, OnCreate)
    ON_MESSAGE(WM_DESTROY, OnDestroy)
    ON_MESSAGE(WM_DPICHANGED_AFTERPARENT, OnDpiChanged)
    ON_NOTIFY_REFLECT(LVN_COLUMNCLICK, OnColumnClick)
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
    ON_NOTIFY_REFLECT(LVN_DELETEITEM, OnDeleteItem)
END_MESSAGE_MAP()

ReportListCtrl::~ReportListCtrl()
{
    // The window outlives this object only when the object goes first; its rows then keep no
    // pointers to freed records.
    if (IsWindow())
        FreeAllRecords();
}

BOOL ReportListCtrl::Create(HWND parent, UINT id, const RECT* rect, DWORD style)
{
    RECT area = {};
    if (rect != nullptr)
        area = *rect;
    else if (!::GetClientRect(parent, &area))
        return FALSE;
    return CreateEx(0, WC_LISTVIEWA, "", ApplyStyleRule(style), area, parent, id);
}

void ReportListCtrl::PreSubclassWindow()
{
    ::SetWindowLongA(m_hWnd, GWL_STYLE,
                     static_cast<LONG>(ApplyStyleRule(static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_STYLE)))));
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                   SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // wParam 0: every extended bit is replaced.
    ::SendMessageA(m_hWnd, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, ExtendedStyle);
    m_dpi = DpiOf(m_hWnd);
}

LRESULT ReportListCtrl::OnCreate(WPARAM, LPARAM lParam)
{
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    create->style = static_cast<LONG>(ApplyStyleRule(static_cast<DWORD>(create->style)));
    ::SetWindowLongA(m_hWnd, GWL_STYLE, create->style);
    const LRESULT result = Default();
    if (result != -1)
        ::SendMessageA(m_hWnd, LVM_SETEXTENDEDLISTVIEWSTYLE, ExtendedStyle, ExtendedStyle);
    return result;
}

LRESULT ReportListCtrl::OnDestroy(WPARAM, LPARAM)
{
    DeleteAllRows();
    return Default();
}

BOOL ReportListCtrl::PreTranslateMessage(MSG* message)
{
    if (message->hwnd == m_hWnd && message->message == WM_KEYDOWN) {
        if (message->wParam == VK_SPACE)
            return TRUE;
        // Not with Alt as well: Ctrl+Alt is AltGr, which types characters on many keyboards.
        if (message->wParam == 'C' && ::GetKeyState(VK_CONTROL) < 0 && ::GetKeyState(VK_MENU) >= 0) {
            CopyRowsToClipboard();
            return TRUE;
        }
    }
    return Window::PreTranslateMessage(message);
}

void ReportListCtrl::CopyRowsToClipboard() const
{
    const int columns = GetColumnCount();
    if (columns == 0)
        return;
    std::vector<std::string> headings;
    for (int column = 0; column < columns; ++column)
        headings.push_back(ReadColumnHeading(column));

    std::vector<int> rows;
    for (int row = -1;
         (row = static_cast<int>(ListViewCall(LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED))) >= 0;)
        rows.push_back(row);
    if (rows.empty()) {
        rows.resize(static_cast<size_t>(GetRowCount()));
        std::iota(rows.begin(), rows.end(), 0);
    }
    std::vector<std::vector<std::string>> cells;
    for (int row : rows) {
        std::vector<std::string>& line = cells.emplace_back();
        for (int column = 0; column < columns; ++column)
            line.push_back(ReadCellText(row, column));
    }
    if (!PutOnClipboard(m_hWnd, Widen(TableText(headings, cells))))
        ::MessageBeep(MB_ICONEXCLAMATION);
}

int ReportListCtrl::InsertColumn(int index, const char* heading, int format, int width, int subItem)
{
    if (m_hWnd == nullptr)
        return -1;
    LVCOLUMNA column = {};
    column.mask = LVCF_FMT | LVCF_TEXT;
    column.fmt = format;
    column.pszText = const_cast<char*>(heading != nullptr ? heading : "");
    if (width != -1) {
        column.mask |= LVCF_WIDTH;
        column.cx = width;
    }
    if (subItem != -1) {
        column.mask |= LVCF_SUBITEM;
        column.iSubItem = subItem;
    }
    const int inserted = static_cast<int>(
        ::SendMessageA(m_hWnd, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column)));
    if (inserted < 0)
        return -1;

    const COLORREF text = ::GetSysColor(COLOR_WINDOWTEXT);
    const COLORREF back = ::GetSysColor(COLOR_WINDOW);
    const int rows = GetRowCount();
    for (int row = 0; row < rows; ++row) {
        CellColors* record = RecordOf(row);
        if (record == nullptr)
            continue;
        const size_t at = std::min(static_cast<size_t>(inserted), record->textColors.size());
        record->textColors.insert(record->textColors.begin() + static_cast<std::ptrdiff_t>(at), text);
        record->backColors.insert(record->backColors.begin() + static_cast<std::ptrdiff_t>(at), back);
    }
    return inserted;
}

int ReportListCtrl::InsertItem(int index, const char* text, int imageIndex)
{
    ForgetSort();
    if (m_hWnd == nullptr)
        return -1;

    const size_t columns = static_cast<size_t>(GetColumnCount());
    auto record = std::make_unique<CellColors>();
    record->textColors.assign(columns, ::GetSysColor(COLOR_WINDOWTEXT));
    record->backColors.assign(columns, ::GetSysColor(COLOR_WINDOW));

    // The record goes in with the row, so no row is ever seen without one.
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = index;
    item.pszText = const_cast<char*>(text != nullptr ? text : "");
    item.iImage = imageIndex;
    item.lParam = reinterpret_cast<LPARAM>(record.get());
    const int row = static_cast<int>(::SendMessageA(m_hWnd, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    if (row >= 0)
        record.release();
    return row;
}

BOOL ReportListCtrl::SetItemText(int row, int column, const char* text)
{
    ForgetSort();
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text != nullptr ? text : "");
    return static_cast<BOOL>(
        ListViewCall(LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
}

std::string ReportListCtrl::GetItemText(int row, int column) const
{
    if (row < 0 || row >= GetRowCount() || column < 0 || column >= GetColumnCount())
        return {};
    return ReadCellText(row, column);
}

std::string ReportListCtrl::ReadCellText(int row, int column) const
{
    std::string text(256, '\0');
    for (;;) {
        LVITEMA item = {};
        item.iSubItem = column;
        item.pszText = &text[0];
        item.cchTextMax = static_cast<int>(text.size());
        const int length = static_cast<int>(
            ListViewCall(LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
        // A text that (nearly) filled the buffer may have been cut: read it again with more room.
        if (length <= 0 || ReadIsWhole(static_cast<size_t>(length), text.size())) {
            text.resize(static_cast<size_t>(std::max(length, 0)));
            return text;
        }
        text.assign(text.size() * 2, '\0');
    }
}

// The headings are the program's own short texts.
std::string ReportListCtrl::ReadColumnHeading(int column) const
{
    char heading[256] = {};
    LVCOLUMNA item = {};
    item.mask = LVCF_TEXT;
    item.pszText = heading;
    item.cchTextMax = sizeof heading;
    ListViewCall(LVM_GETCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
    return heading;
}

int ReportListCtrl::GetRowCount() const
{
    return static_cast<int>(ListViewCall(LVM_GETITEMCOUNT, 0, 0));
}

int ReportListCtrl::GetColumnCount() const
{
    HWND header = GetHeader();
    return header != nullptr ? static_cast<int>(::SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

HWND ReportListCtrl::GetHeader() const
{
    return reinterpret_cast<HWND>(ListViewCall(LVM_GETHEADER, 0, 0));
}

int ReportListCtrl::DeleteAllRows()
{
    const int rows = GetRowCount();
    RedrawPause pause(m_hWnd);
    FreeAllRecords();
    ::SendMessageA(m_hWnd, LVM_DELETEALLITEMS, 0, 0);
    return rows;
}

void ReportListCtrl::FreeAllRecords()
{
    const int rows = GetRowCount();
    for (int row = 0; row < rows; ++row) {
        CellColors* record = RecordOf(row);
        if (record == nullptr)
            continue;
        LVITEMA item = {};
        item.mask = LVIF_PARAM;
        item.iItem = row;
        item.lParam = 0;
        ::SendMessageA(m_hWnd, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        delete record;
    }
}

void ReportListCtrl::OnDeleteItem(NMHDR* header, LRESULT* result)
{
    // A row deleted by anyone takes its record with it. Rows emptied by DeleteAllRows carry 0.
    const auto* note = reinterpret_cast<const NMLISTVIEW*>(header);
    delete reinterpret_cast<CellColors*>(note->lParam);
    *result = 0;
}

CellColors* ReportListCtrl::RecordOf(int row) const
{
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (row < 0 || !ListViewCall(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
        return nullptr;
    return reinterpret_cast<CellColors*>(item.lParam);
}

HIMAGELIST ReportListCtrl::SetImageList(HIMAGELIST list)
{
    ::SetWindowLongA(m_hWnd, GWL_STYLE, ::GetWindowLongA(m_hWnd, GWL_STYLE) | LVS_SHAREIMAGELISTS);
    return reinterpret_cast<HIMAGELIST>(
        ::SendMessageA(m_hWnd, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(list)));
}

HIMAGELIST ReportListCtrl::GetImageList() const
{
    return reinterpret_cast<HIMAGELIST>(::SendMessageA(m_hWnd, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
}

void ReportListCtrl::SetSeparatorText(std::optional<std::string> text)
{
    m_separatorText = std::move(text);
}

bool ReportListCtrl::EnableSort(bool enable)
{
    HWND header = GetHeader();
    if ((::GetWindowLongA(m_hWnd, GWL_STYLE) & LVS_NOCOLUMNHEADER) != 0 || header == nullptr)
        return false;
    LONG style = ::GetWindowLongA(header, GWL_STYLE);
    if (enable) {
        style |= HDS_BUTTONS;
    } else {
        style &= ~static_cast<LONG>(HDS_BUTTONS);
        ForgetSort();
    }
    ::SetWindowLongA(header, GWL_STYLE, style);
    ::RedrawWindow(header, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return true;
}

bool ReportListCtrl::IsSortEnabled() const
{
    HWND header = GetHeader();
    if ((::GetWindowLongA(m_hWnd, GWL_STYLE) & LVS_NOCOLUMNHEADER) != 0 || header == nullptr)
        return false;
    return (::GetWindowLongA(header, GWL_STYLE) & HDS_BUTTONS) != 0;
}

void ReportListCtrl::SortItems(int column, bool ascending)
{
    if (column < 0 || column >= GetColumnCount() || !IsSortEnabled())
        return;
    m_sortAscending = ascending ? 1 : 0;
    m_sortColumn = column;
    ShowSortArrow();

    const int rows = GetRowCount();
    std::vector<std::string> texts;
    texts.reserve(static_cast<size_t>(rows));
    for (int row = 0; row < rows; ++row)
        texts.push_back(ReadCellText(row, column));
    MoveRows(SortedRowOrder(texts, m_separatorText, ascending, ParseCellDate));

    ::SendMessageA(GetParent(), WM_LISTSORTED, static_cast<WPARAM>(m_sortColumn), m_sortAscending);
}

// The list inserts and changes rows every second in the main window: the header is touched
// only when there is an arrow to take off.
void ReportListCtrl::ForgetSort()
{
    const bool arrowShown = m_sortColumn >= 0;
    m_sortColumn = -1;
    m_sortAscending = 1;
    if (arrowShown)
        ShowSortArrow();
}

void ReportListCtrl::ShowSortArrow()
{
    HWND header = GetHeader();
    const int columns = GetColumnCount();
    for (int column = 0; column < columns; ++column) {
        HDITEMA item = {};
        item.mask = HDI_FORMAT;
        if (!::SendMessageA(header, HDM_GETITEMA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item)))
            continue;
        int arrow = 0;
        if (column == m_sortColumn)
            arrow = m_sortAscending != 0 ? HDF_SORTUP : HDF_SORTDOWN;
        const int format = (item.fmt & ~(HDF_SORTUP | HDF_SORTDOWN)) | arrow;
        if (format == item.fmt)
            continue;
        item.fmt = format;
        ::SendMessageA(header, HDM_SETITEMA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
    }
}

LRESULT ReportListCtrl::ListViewCall(UINT message, WPARAM wParam, LPARAM lParam) const
{
    const auto listView = reinterpret_cast<WNDPROC>(::GetClassLongPtrA(m_hWnd, GCLP_WNDPROC));
    return listView != nullptr ? ::CallWindowProcA(listView, m_hWnd, message, wParam, lParam) : 0;
}

namespace {
int CALLBACK CompareByPlace(LPARAM first, LPARAM second, LPARAM places)
{
    const auto& place = *reinterpret_cast<const std::unordered_map<LPARAM, int>*>(places);
    return place.find(first)->second - place.find(second)->second;
}
} // namespace

// Row k takes everything row order[k] held. When every row carries its own record, the list
// view's sort moves the rows whole, keyed by each record's place in order: one message, and no
// change notifications that could refuse half of the moves. Otherwise row by row.
void ReportListCtrl::MoveRows(const std::vector<int>& order)
{
    std::unordered_map<LPARAM, int> places;
    bool moves = false;
    for (int k = 0; k < static_cast<int>(order.size()); ++k) {
        const int from = order[static_cast<size_t>(k)];
        moves = moves || from != k;
        const LPARAM record = reinterpret_cast<LPARAM>(RecordOf(from));
        if (record == 0 || !places.emplace(record, k).second) {
            WriteRowsInOrder(order);
            return;
        }
    }
    if (moves)
        ::SendMessageA(m_hWnd, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&places),
                       reinterpret_cast<LPARAM>(&CompareByPlace));
}

// Row k takes what row order[k] held: its states, item data, and every column's image and text.
// Rows that keep their place are neither read nor written.
void ReportListCtrl::WriteRowsInOrder(const std::vector<int>& order)
{
    const int columns = GetColumnCount();
    std::vector<std::pair<int, RowSnapshot>> moves;
    for (int k = 0; k < static_cast<int>(order.size()); ++k) {
        const int from = order[static_cast<size_t>(k)];
        if (from == k)
            continue;
        RowSnapshot snapshot;
        snapshot.state = static_cast<UINT>(ListViewCall(LVM_GETITEMSTATE, static_cast<WPARAM>(from), MovedStates));
        snapshot.data = reinterpret_cast<LPARAM>(RecordOf(from));
        for (int column = 0; column < columns; ++column) {
            LVITEMA item = {};
            item.mask = LVIF_IMAGE;
            item.iItem = from;
            item.iSubItem = column;
            const bool read = ListViewCall(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) != 0;
            snapshot.images.push_back(read ? item.iImage : -1);
            snapshot.texts.push_back(ReadCellText(from, column));
        }
        moves.emplace_back(k, std::move(snapshot));
    }

    RedrawPause pause(m_hWnd);
    for (auto& [row, snapshot] : moves) {
        LVITEMA item = {};
        item.mask = LVIF_STATE | LVIF_PARAM;
        item.iItem = row;
        item.state = snapshot.state;
        item.stateMask = MovedStates;
        item.lParam = snapshot.data;
        ::SendMessageA(m_hWnd, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        for (int column = 0; column < columns; ++column) {
            LVITEMA cell = {};
            cell.mask = LVIF_IMAGE | LVIF_TEXT;
            cell.iItem = row;
            cell.iSubItem = column;
            cell.iImage = snapshot.images[static_cast<size_t>(column)];
            cell.pszText = &snapshot.texts[static_cast<size_t>(column)][0];
            ::SendMessageA(m_hWnd, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&cell));
        }
    }
}

void ReportListCtrl::SetCellBkColor(int row, int column, COLORREF colour, bool repaint)
{
    if (colour == CLR_NONE)
        colour = ::GetSysColor(COLOR_WINDOW);
    const int rows = GetRowCount();
    const int columns = GetColumnCount();
    const bool oneRow = row >= 0 && row < rows;
    const bool oneColumn = column >= 0 && column < columns;
    const int firstRow = oneRow ? row : 0;
    const int endRow = oneRow ? row + 1 : rows;
    const size_t firstColumn = oneColumn ? static_cast<size_t>(column) : 0;
    const size_t endColumn = oneColumn ? firstColumn + 1 : static_cast<size_t>(columns);

    for (int r = firstRow; r < endRow; ++r) {
        CellColors* record = RecordOf(r);
        if (record == nullptr)
            continue;
        for (size_t c = firstColumn; c < endColumn && c < record->backColors.size(); ++c)
            record->backColors[c] = colour;
    }
    if (repaint)
        Repaint();
}

void ReportListCtrl::Repaint()
{
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

int ReportListCtrl::FindRowExact(const std::string& label) const
{
    if (m_hWnd == nullptr)
        return -1;
    LVFINDINFOA find = {};
    find.flags = LVFI_STRING;
    find.psz = label.c_str();
    // The list's own search ignores case; step through its matches to the byte-equal one.
    int start = -1;
    for (;;) {
        const int row = static_cast<int>(
            ::SendMessageA(m_hWnd, LVM_FINDITEMA, static_cast<WPARAM>(start), reinterpret_cast<LPARAM>(&find)));
        if (row <= start)
            return -1;
        if (GetItemText(row, 0) == label)
            return row;
        start = row;
    }
}

void ReportListCtrl::OnColumnClick(NMHDR* header, LRESULT* result)
{
    const int column = reinterpret_cast<const NMLISTVIEW*>(header)->iSubItem;
    const bool ascending = !(column == m_sortColumn && m_sortAscending != 0);
    *result = 0;
    SortItems(column, ascending);
    // The parent's answer to WM_LISTSORTED may have closed the window.
    if (IsWindow())
        RecolorRows();
}

// The list view paints a cell's background behind its text only; the row's icon space to the left
// of the label would stay white and break the stripe. The icon is drawn over this afterwards.
void ReportListCtrl::FillIconArea(const NMLVCUSTOMDRAW& draw, COLORREF colour) const
{
    const int row = static_cast<int>(draw.nmcd.dwItemSpec);
    RECT bounds{ LVIR_BOUNDS };
    RECT label{ LVIR_LABEL };
    if (!ListViewCall(LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&bounds))
        || !ListViewCall(LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&label)))
        return;
    bounds.right = label.left;
    if (bounds.right <= bounds.left)
        return;
    const COLORREF previous = ::SetDCBrushColor(draw.nmcd.hdc, colour);
    ::FillRect(draw.nmcd.hdc, &bounds, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
    ::SetDCBrushColor(draw.nmcd.hdc, previous);
}

void ReportListCtrl::OnCustomDraw(NMHDR* header, LRESULT* result)
{
    auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        *result = CDRF_NOTIFYITEMDRAW;
        return;
    case CDDS_ITEMPREPAINT: {
        // A row whose cells all have the same colours (every row of the program's lists) is
        // coloured whole here; only a row of different cells asks for each cell.
        const auto* record = reinterpret_cast<const CellColors*>(draw->nmcd.lItemlParam);
        if (record == nullptr || !IsUniform(*record)) {
            *result = CDRF_NOTIFYSUBITEMDRAW;
            return;
        }
        if (!record->backColors.empty()) {
            draw->clrText = record->textColors[0];
            draw->clrTextBk = record->backColors[0];
            FillIconArea(*draw, record->backColors[0]);
        }
        *result = CDRF_DODEFAULT;
        return;
    }
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
        const auto* record = reinterpret_cast<const CellColors*>(draw->nmcd.lItemlParam);
        const size_t column = static_cast<size_t>(draw->iSubItem);
        if (record != nullptr && draw->iSubItem >= 0 && column < record->backColors.size()) {
            draw->clrText = record->textColors[column];
            draw->clrTextBk = record->backColors[column];
            if (column == 0)
                FillIconArea(*draw, record->backColors[0]);
        }
        *result = CDRF_DODEFAULT;
        return;
    }
    default:
        *result = CDRF_DODEFAULT;
        return;
    }
}

LRESULT ReportListCtrl::OnDpiChanged(WPARAM, LPARAM)
{
    const UINT dpi = DpiOf(m_hWnd);
    if (const HIMAGELIST images = GetImageList())
        ResizeImages(images, SmallIconSize(dpi));
    if (m_dpi != 0 && dpi != m_dpi) {
        for (int column = 0; column < GetColumnCount(); ++column) {
            const int width = static_cast<int>(ListViewCall(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
            ::SendMessageA(m_hWnd, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column),
                           RescaleForDpi(width, m_dpi, dpi));
        }
    }
    m_dpi = dpi;
    SetImageList(GetImageList());   // the rows take the images' new height
    return Default();
}

UniqueImageList CreateSmallImageList(UINT dpi, UINT iconId)
{
    const int size = SmallIconSize(dpi);
    UniqueImageList images(::ImageList_Create(size, size, ILC_COLOR16, 5, 1));
    const UniqueIcon icon(static_cast<HICON>(::LoadImageA(AppInstance(), MAKEINTRESOURCEA(iconId),
                                                          IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
    if (images && icon)
        ::ImageList_ReplaceIcon(images.get(), -1, icon.get());
    return images;
}
