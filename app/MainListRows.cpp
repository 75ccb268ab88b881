#include "app/MainListRows.h"

#include "controls/ReportListCtrl.h"

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
    m_list.InsertItem(row, label.c_str(), imageIndex);
}

int MainListRows::FindRow(const std::string& label)
{
    return m_list.FindRowExact(label);
}

void MainListRows::RecolorRows()
{
    m_list.RecolorRows();
}
