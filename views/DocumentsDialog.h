// "Documents": every window title of one application seen in the foreground, with the time of
// each and their total. Its caption names the application and its share of the total time.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <type_traits>

#include "controls/IconButton.h"
#include "controls/StripedReportListCtrl.h"
#include "framework/Handles.h"
#include "views/DefaultButtonDialog.h"

class ActivityStore;
class ReportListCtrl;

class DocumentsDialog : public DefaultButtonDialog {
public:
    using DocumentMap = std::map<std::string, std::uint32_t>;   // title -> ticks

    // documents is read once, while the dialog initialises inside DoModal; later changes to it
    // (a Clear while the dialog is open) never reach the dialog.
    DocumentsDialog(Window* parent, std::string appName, int percent, const DocumentMap& documents);

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(DataExchange& exchange) override;

    // Relayout first, then the two columns take 80 and 20 per cent of the list's width.
    void OnSize(UINT type, int cx, int cy);

    DECLARE_MESSAGE_MAP()

private:
    void FitColumns();

    UniqueImageList m_imageList;
    const DocumentMap* m_documents;   // nullptr once read
    std::string m_appName;
    int m_percent;
    StripedReportListCtrl m_list;
    IconButton m_okButton;
};

// Details or a double-click on a row of list, whose first column names applications of store:
// row -1 (nothing selected, or a click below the rows) shows message 102 with the stop sign; a
// row that names no application (the blank and "Total:" rows) does nothing; otherwise the
// application's documents run in a modal DocumentsDialog over parent.
void ShowDocumentsOfRow(Window& parent, const ReportListCtrl& list, int row,
                        const ActivityStore& store);
