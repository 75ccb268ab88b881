// The sampler's view of the main list: application rows, the blank row and the "Total:" row.
#pragma once

#include "core/SamplerPorts.h"

#include <string>
#include <unordered_map>

class StripedReportListCtrl;

class MainListRows : public ApplicationRows {
public:
    static constexpr int kTimeColumn = 1;

    explicit MainListRows(StripedReportListCtrl& list) : m_list(list) {}

    int RowCount() override;
    void SetTimeText(int row, const std::string& text) override;
    void InsertRow(int row, const std::string& label, int imageIndex) override;
    int FindRow(const std::string& label) override;

private:
    StripedReportListCtrl& m_list;
    // Where each application's row was last seen. Application rows keep their places (new ones
    // go in above the blank row, and the list is never sorted), so a tick reads one label to
    // confirm it instead of searching the list; a Clear or any other change costs one search.
    std::unordered_map<std::string, int> m_lastRowOf;
};
