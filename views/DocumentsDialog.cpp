#include "views/DocumentsDialog.h"

#include <algorithm>
#include <utility>

#include "core/ActivityStore.h"
#include "core/Duration.h"
#include "framework/Application.h"
#include "framework/Resources.h"
#include "res/resource.h"

namespace {

int ClientWidth(const Window& control)
{
    RECT client = {};
    ::GetClientRect(control.GetSafeHwnd(), &client);
    return client.right;
}

// "Documents" takes 80 per cent of the list's client width (fraction dropped), "Duration" the rest
// less one pixel, so that no horizontal scroll bar appears.
struct ColumnWidths {
    int documents;
    int duration;
};

ColumnWidths ColumnWidthsFor(int listClientWidth)
{
    const int documents = static_cast<int>(listClientWidth * 0.8);
    return { documents, listClientWidth - documents - 1 };
}

// The caption's share: the record's ticks in the store's current total, fraction dropped, never
// above 100.
int PercentOf(const AppRecord& record, const ActivityStore& store)
{
    return std::min(PercentTruncated(record.ticks, store.totalTicks()), 100);
}

} // namespace

BEGIN_MESSAGE_MAP(DocumentsDialog, DefaultButtonDialog)
    ON_WM_SIZE()
END_MESSAGE_MAP()

DocumentsDialog::DocumentsDialog(Window* parent, std::string appName, int percent,
                                 const DocumentMap& documents)
    : DefaultButtonDialog(IDD_DOCUMENTS, parent, ResizeHorizontal | ResizeVertical),
      m_documents(&documents),
      m_appName(std::move(appName)),
      m_percent(percent)
{
}

void DocumentsDialog::DoDataExchange(DataExchange& exchange)
{
    DefaultButtonDialog::DoDataExchange(exchange);
    DDX_Control(exchange, IDC_DOCUMENTS_LIST, m_list);
    DDX_Control(exchange, IDOK, m_okButton);
}

BOOL DocumentsDialog::OnInitDialog()
{
    InitLayout();
    m_okButton.SetIcon(IDI_OK);

    // The dialog frees its image list itself, after the list is gone.
    m_imageList = CreateSmallImageList(Dpi(), IDI_DOCUMENT);
    m_list.SetImageList(m_imageList.get());
    m_list.SetSeparatorText(std::string());

    const ColumnWidths widths = ColumnWidthsFor(ClientWidth(m_list));
    m_list.InsertColumn(0, "Documents", LVCFMT_LEFT, widths.documents);
    m_list.InsertColumn(1, "Duration", LVCFMT_LEFT, widths.duration);

    // The documents as they are now, in title order; the store goes on counting without us.
    std::uint32_t sum = 0;
    if (m_documents != nullptr) {
        int index = 0;
        for (const auto& [title, ticks] : *m_documents) {
            const int row = m_list.InsertItem(index++, title.c_str(), 0);
            if (row >= 0)
                m_list.SetItemText(row, 1, FormatDuration(ticks).c_str());
            sum += ticks;
        }
        m_documents = nullptr;
    }

    m_list.AppendTotalRows({FormatDuration(sum)});

    SetWindowText("Statistics for '" + m_appName + "'. " + std::to_string(m_percent)
                  + "% from total time");

    AddAnchor(m_list.GetSafeHwnd(), AnchorStretch, AnchorStretch);
    AddAnchor(m_okButton.GetSafeHwnd(), AnchorCenter, AnchorFollow);

    SetCaptionIcon(IDI_STATS);
    return TRUE;
}

void DocumentsDialog::OnSize(UINT type, int cx, int cy)
{
    DefaultButtonDialog::OnSize(type, cx, cy);
    if (m_list.IsWindow())
        FitColumns();
}

void DocumentsDialog::FitColumns()
{
    const ColumnWidths widths = ColumnWidthsFor(ClientWidth(m_list));
    ListView_SetColumnWidth(m_list.GetSafeHwnd(), 0, widths.documents);
    ListView_SetColumnWidth(m_list.GetSafeHwnd(), 1, widths.duration);
}

void ShowDocumentsOfRow(Window& parent, const ReportListCtrl& list, int row,
                        const ActivityStore& store)
{
    if (row < 0) {
        AppMessageBox(parent.GetSafeHwnd(), IDS_NO_SELECTION, MB_OK | MB_ICONHAND);
        return;
    }
    const std::string name = list.GetItemText(row, 0);
    const AppRecord* record = store.Find(name);
    if (record == nullptr)
        return;
    DocumentsDialog dialog(&parent, name, PercentOf(*record, store),
                           record->documents);
    dialog.DoModal();
}
