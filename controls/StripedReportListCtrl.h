// The report list with alternating row backgrounds: data rows alternate a stripe colour and
// white, starting with the stripe, and the last row (the totals row) has a colour of its own.
#pragma once

#include "controls/ReportListCtrl.h"

class StripedReportListCtrl : public ReportListCtrl {
public:
    // The program's own colours.
    COLORREF m_stripeColor = RGB(232, 232, 243);
    COLORREF m_lastRowColor = RGB(185, 200, 216);

    // With n rows: row n-2 white, row n-1 m_lastRowColor, other odd rows white, even rows
    // m_stripeColor. The list is repainted once, after every row has its colour.
    void RecolorRows() override;

    // Inserts a data row directly above the blank row and the totals row and colours only it:
    // the rows above keep their places, and the two below keep their colours as they move down.
    // The new row's index, or -1.
    int InsertStripedRow(int index, const char* text, int imageIndex);

    // Appends what ends every statistics list, a blank row and the "Total:" row, whose other cells
    // take totalCells, and recolours the list.
    void AppendTotalRows(const std::vector<std::string>& totalCells);

private:
    COLORREF RowColor(int row, int rows) const;
};
