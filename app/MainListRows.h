// The sampler's view of the main list: application rows, the blank row and the "Total:" row.
#pragma once

#include "core/SamplerPorts.h"

class ReportListCtrl;

class MainListRows : public ApplicationRows {
public:
    static constexpr int kTimeColumn = 1;

    explicit MainListRows(ReportListCtrl& list) : m_list(list) {}

    int RowCount() override;
    void SetTimeText(int row, const std::string& text) override;
    void InsertRow(int row, const std::string& label, int imageIndex) override;
    int FindRow(const std::string& label) override;
    void RecolorRows() override;

private:
    ReportListCtrl& m_list;
};
