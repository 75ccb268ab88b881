// "Application statistics": every application of the store with its time and its rounded share
// of the total, the largest time first, then a blank row and the "Total:" row. Details or a
// double-click on a row opens that application's documents.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>

#include "controls/IconButton.h"
#include "controls/StripedReportListCtrl.h"
#include "views/DefaultButtonDialog.h"

class ActivityStore;

class AppStatsDialog : public DefaultButtonDialog {
public:
    // imageList: the main list's small images, indexed by each record's iconIndex (not owned).
    // The rows are built from store once, while the dialog initialises; the shares are taken of
    // the store's total at construction.
    AppStatsDialog(HIMAGELIST imageList, const ActivityStore& store, Window* parent);

    // The documents of the application in row (-1: none selected).
    void ShowDocumentsFor(int row);

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(DataExchange& exchange) override;

    void OnDetails();
    void OnListDoubleClick(NMHDR* header, LRESULT* result);

    DECLARE_MESSAGE_MAP()

private:
    void FillRows();

    HIMAGELIST m_imageList;
    const ActivityStore& m_store;
    StripedReportListCtrl m_list;
    std::uint32_t m_totalAtOpen;
    IconButton m_okButton;
    IconButton m_detailsButton;
};
