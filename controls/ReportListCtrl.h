// The report-view list used for every table of the program. On top of the platform list view it
// gives every cell its own text and background colour (a CellColors record per row, kept as the
// row's item data and painted through custom draw), sorts by a click on a column header with
// the rules of core/ListSort.h (separator rows split the list into segments sorted one by one,
// so a totals row below a blank row stays last), and calls RecolorRows after each such sort.
// The sorted column's heading shows the direction with an arrow until the rows change.
// Ctrl+C copies the selected rows, or every row when none is selected, under the column
// headings to the clipboard as a tab-separated table (core/TableText.h).
//
// Bind it to a SysListView32 of a dialog (DDX_Control) or create it with Create. Reflected
// notifications (column clicks, custom draw, deleted rows) reach it only when its parent is a
// framework window, as every dialog of the program is.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <optional>
#include <string>
#include <vector>

#include "framework/Handles.h"
#include "framework/Window.h"

// Sent to the parent after every SortItems that sorted: wParam = column, lParam = ascending (0/1).
constexpr UINT WM_LISTSORTED = WM_APP + 10001;

// The colours of one row, one entry per column. Owned by the list, stored as the row's item data.
struct CellColors {
    LPARAM previousData = 0;   // item data the row had before the record was attached
    std::vector<COLORREF> textColors;
    std::vector<COLORREF> backColors;
};

class ReportListCtrl : public Window {
public:
    ReportListCtrl() = default;
    ~ReportListCtrl() override;

    // Creates the list as a child of parent with the list's own style rule applied; rect nullptr
    // fills the parent's client area.
    virtual BOOL Create(HWND parent, UINT id, const RECT* rect, DWORD style);
    // Re-applies the row colours; nothing here, stripes in StripedReportListCtrl.
    virtual void RecolorRows() {}

    // width -1: the list's default; subItem -1: none given. The new column's index, or -1.
    int InsertColumn(int index, const char* heading, int format = LVCFMT_LEFT, int width = -1,
                     int subItem = -1);
    // Inserts a row with a label and a small image (-1: none). The new row's index, or -1.
    int InsertItem(int index, const char* text, int imageIndex = -1);
    BOOL SetItemText(int row, int column, const char* text);
    // The cell's text, of any length; empty for a cell that does not exist.
    std::string GetItemText(int row, int column) const;
    int GetRowCount() const;
    int GetColumnCount() const;
    // Deletes every row and frees its colours. The number of rows there were.
    int DeleteAllRows();

    // The small-icon image list (icons show in column 0). Not owned: the list never destroys it,
    // and several lists may show it. When the DPI changes, the list brings its images to the new
    // small-icon size (in place, so every list showing them keeps a valid handle) and scales its
    // column widths.
    HIMAGELIST SetImageList(HIMAGELIST list);
    HIMAGELIST GetImageList() const;

    // Rows whose text in the sort column equals text byte for byte are separators; nullopt:
    // none.
    void SetSeparatorText(std::optional<std::string> text);

    // Makes the column headers clickable or not. False when the list has no header.
    bool EnableSort(bool enable);
    bool IsSortEnabled() const;
    // Sorts every segment between separator rows by column, moving states, item data, images
    // and texts with the rows, shows the direction on the column's heading, then sends
    // WM_LISTSORTED to the parent. Does nothing when the column does not exist or sorting is
    // disabled.
    void SortItems(int column, bool ascending);

    // Sets a cell's background; colour CLR_NONE (-1) is the system window colour. A row or
    // column out of range widens the target to every row or every column (both: every cell).
    // repaint: redraw the whole list at once.
    void SetCellBkColor(int row, int column, COLORREF colour, bool repaint);

    // The first row whose column-0 text equals label byte for byte (case-sensitive), or -1.
    int FindRowExact(const std::string& label) const;

    // Space never reaches the list (it would toggle the focused row's selection); Ctrl+C copies.
    BOOL PreTranslateMessage(MSG* message) override;

protected:
    void PreSubclassWindow() override;
    // Repaints the whole control at once.
    void Repaint();

    LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
    void OnColumnClick(NMHDR* header, LRESULT* result);
    void OnCustomDraw(NMHDR* header, LRESULT* result);
    void FillIconArea(const NMLVCUSTOMDRAW& draw, COLORREF colour) const;
    void OnDeleteItem(NMHDR* header, LRESULT* result);
    LRESULT OnDpiChanged(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    // Sends a message straight to the list view's own window procedure. Sorting and recolouring
    // read every row, and under Wine each message through the subclass chain costs trips to the
    // window server; no subclass of the list handles list-view messages.
    LRESULT ListViewCall(UINT message, WPARAM wParam, LPARAM lParam) const;
    HWND GetHeader() const;
    CellColors* RecordOf(int row) const;
    std::string ReadCellText(int row, int column) const;
    std::string ReadColumnHeading(int column) const;
    // No column is sorted any more: the next click on any column sorts ascending.
    void ForgetSort();
    // Puts the sort arrow on the sorted column's heading and takes it off every other one.
    void ShowSortArrow();
    void CopyRowsToClipboard() const;
    // Frees every row's record and sets its item data to 0.
    void FreeAllRecords();
    void MoveRows(const std::vector<int>& order);
    void WriteRowsInOrder(const std::vector<int>& order);

    UINT m_dpi = 0;   // the DPI the column widths were given for
    std::optional<std::string> m_separatorText;
    int m_sortColumn = -1;
    int m_sortAscending = 0;
};

// A small-icon image list for lists drawn at dpi (16-bit colour, no mask), holding icon resource
// iconId as image 0.
UniqueImageList CreateSmallImageList(UINT dpi, UINT iconId);
