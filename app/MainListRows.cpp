#include "app/MainListRows.h"

#include "controls/StripedReportListCtrl.h"

int MainListRows::RowCount()
{
    return m_list.GetRowCount();
}

void MainListRows::SetTimeText(int row, const std::string& text)
{
    m_list.SetItemText(row, kTimeColumn, text.c_str());
}

void MainListRows::InsertRow(int row, const std::string& label, int imageIndex)
{
    const int inserted = m_list.InsertStripedRow(row, label.c_str(), imageIndex);
    if (inserted >= 0)
        m_lastRowOf[label] = inserted;
}

int MainListRows::FindRow(const std::string& label)
{
    const auto known = m_lastRowOf.find(label);
    if (known != m_lastRowOf.end() && m_list.GetItemText(known->second, 0) == label)
        return known->second;
    const int row = m_list.FindRowExact(label);
    if (row >= 0)
        m_lastRowOf[label] = row;
    else if (known != m_lastRowOf.end())
        m_lastRowOf.erase(known);
    return row;
}
