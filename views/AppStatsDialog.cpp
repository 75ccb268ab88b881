#include "views/AppStatsDialog.h"

#include "core/ActivityStore.h"
#include "core/Duration.h"
#include "framework/Application.h"
#include "framework/Resources.h"
#include "res/resource.h"
#include "views/DocumentsDialog.h"

namespace {

std::string PercentText(int percent)
{
    return std::to_string(percent) + "%";
}

} // namespace

BEGIN_MESSAGE_MAP(AppStatsDialog, DefaultButtonDialog)
    ON_NOTIFY(NM_DBLCLK, IDC_APPSTATS_LIST, OnListDoubleClick)
    ON_COMMAND(IDC_DETAILS, OnDetails)
END_MESSAGE_MAP()

AppStatsDialog::AppStatsDialog(HIMAGELIST imageList, const ActivityStore& store, Window* parent)
    : DefaultButtonDialog(IDD_APPSTATS, parent, ResizeVertical),
      m_imageList(imageList),
      m_store(store),
      m_totalAtOpen(store.totalTicks())
{
}

void AppStatsDialog::DoDataExchange(DataExchange& exchange)
{
    DefaultButtonDialog::DoDataExchange(exchange);
    DDX_Control(exchange, IDOK, m_okButton);
    DDX_Control(exchange, IDC_DETAILS, m_detailsButton);
    DDX_Control(exchange, IDC_APPSTATS_LIST, m_list);
}

BOOL AppStatsDialog::OnInitDialog()
{
    InitLayout();
    m_okButton.SetIcon(IDI_OK);
    m_detailsButton.SetIcon(IDI_DETAILS);

    m_list.SetImageList(m_imageList);
    // The blank row splits the list for sorting, so "Total:" stays last.
    m_list.SetSeparatorText(std::string());

    RECT client = {};
    ::GetClientRect(m_list.GetSafeHwnd(), &client);
    const int half = client.right / 2;
    m_list.InsertColumn(0, "Processes", LVCFMT_LEFT, half);
    m_list.InsertColumn(1, "Time", LVCFMT_LEFT, half / 2);
    m_list.InsertColumn(2, "Percent", LVCFMT_LEFT, half / 2);

    FillRows();
    m_list.SortItems(1, false);
    m_list.RecolorRows();

    AddAnchor(m_okButton.GetSafeHwnd(), AnchorFollow, AnchorFixed);
    AddAnchor(m_list.GetSafeHwnd(), AnchorStretch, AnchorStretch);

    SetCaptionIcon(IDI_STATS);
    return TRUE;
}

// One row per application (each inserted at the top, so in reverse name order until sorted),
// then the blank row and "Total:", whose "100%" is fixed whatever the rounded rows add up to.
void AppStatsDialog::FillRows()
{
    for (const auto& [name, record] : m_store.apps()) {
        const int row = m_list.InsertItem(0, name.c_str(), record.iconIndex);
        if (row < 0)
            continue;
        m_list.SetItemText(row, 1, FormatDuration(record.ticks).c_str());
        m_list.SetItemText(row, 2, PercentText(PercentRounded(record.ticks, m_totalAtOpen)).c_str());
    }
    m_list.AppendTotalRows({FormatDuration(m_totalAtOpen), "100%"});
}

void AppStatsDialog::OnDetails()
{
    ShowDocumentsFor(ListView_GetNextItem(m_list.GetSafeHwnd(), -1, LVNI_SELECTED));
}

void AppStatsDialog::OnListDoubleClick(NMHDR* header, LRESULT* result)
{
    ShowDocumentsFor(reinterpret_cast<NMITEMACTIVATE*>(header)->iItem);
    *result = 0;
}

void AppStatsDialog::ShowDocumentsFor(int row)
{
    ShowDocumentsOfRow(*this, m_list, row, m_store);
}
