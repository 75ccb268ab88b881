#include "controls/StripedReportListCtrl.h"

COLORREF StripedReportListCtrl::RowColor(int row, int rows) const
{
    constexpr COLORREF White = RGB(255, 255, 255);
    if (row == rows - 2)
        return White;
    if (row == rows - 1)
        return m_lastRowColor;
    return row % 2 == 1 ? White : m_stripeColor;
}

void StripedReportListCtrl::RecolorRows()
{
    const int rows = GetRowCount();
    for (int row = 0; row < rows; ++row)
        SetCellBkColor(row, -1, RowColor(row, rows), false);
    if (rows > 0)
        Repaint();
}

int StripedReportListCtrl::InsertStripedRow(int index, const char* text, int imageIndex)
{
    const int row = InsertItem(index, text, imageIndex);
    // SetCellBkColor would take row -1 for every row: a failed insert colours nothing. The insert
    // has invalidated the rows from here down, so the new colour is what gets painted.
    if (row >= 0)
        SetCellBkColor(row, -1, RowColor(row, GetRowCount()), false);
    return row;
}

void StripedReportListCtrl::AppendTotalRows(const std::vector<std::string>& totalCells)
{
    InsertItem(GetRowCount(), "", -1);
    const int totalRow = InsertItem(GetRowCount(), "Total:", -1);
    for (size_t cell = 0; totalRow >= 0 && cell < totalCells.size(); ++cell)
        SetItemText(totalRow, static_cast<int>(cell) + 1, totalCells[cell].c_str());
    RecolorRows();
}
