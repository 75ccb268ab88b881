// The report list with alternating row backgrounds: data rows alternate a stripe colour and
// white, starting with the stripe, and the last row (the totals row) has a colour of its own.
#pragma once

#include "controls/ReportListCtrl.h"

class StripedReportListCtrl : public ReportListCtrl {
public:
    // Owners set both after filling the list; these are the program's own colours.
    COLORREF m_stripeColor = RGB(232, 232, 243);
    COLORREF m_lastRowColor = RGB(185, 200, 216);

    // With n rows: row n-2 white, row n-1 m_lastRowColor, other odd rows white, even rows
    // m_stripeColor. The list is repainted once, after every row has its colour.
    void RecolorRows() override;
};
