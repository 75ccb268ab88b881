#include "controls/StripedReportListCtrl.h"

void StripedReportListCtrl::RecolorRows()
{
    constexpr COLORREF White = RGB(255, 255, 255);
    const int rows = GetRowCount();
    for (int row = 0; row < rows; ++row) {
        COLORREF colour = m_stripeColor;
        if (row == rows - 2 || (row != rows - 1 && row % 2 == 1))
            colour = White;
        else if (row == rows - 1)
            colour = m_lastRowColor;
        SetCellBkColor(row, -1, colour, false);
    }
    if (rows > 0)
        Repaint();
}
