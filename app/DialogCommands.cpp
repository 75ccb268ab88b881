// The main window's commands that open dialogs: statistics, documents, About and Options. The
// tray menu stays usable while any dialog of the program is open, so each command keeps a
// process-wide guard and, asked again while its dialog is open, brings the innermost open
// window forward (that dialog, or what was opened over it) instead of opening a second copy.
#include "app/MainDialog.h"

#include "res/resource.h"
#include "settings/OptionsDlg.h"
#include "views/AboutDialog.h"
#include "views/AppStatsDialog.h"
#include "views/DocumentsDialog.h"

namespace {

// Set while the dialog of that command is open.
struct OpenDialogs {
    bool stats = false;
    bool about = false;
    bool options = false;
};

OpenDialogs& Open()
{
    static OpenDialogs open;
    return open;
}

// Holds a guard for the length of one modal run, however the run ends.
class GuardScope {
public:
    explicit GuardScope(bool& guard) : m_guard(guard) { m_guard = true; }
    ~GuardScope() { m_guard = false; }
    GuardScope(const GuardScope&) = delete;
    GuardScope& operator=(const GuardScope&) = delete;

private:
    bool& m_guard;
};

} // namespace

void MainDialog::OnStats()
{
    if (Open().stats) {
        BringModalForward();
        return;
    }
    AppStatsDialog dialog(m_imageList.get(), m_store, this);
    GuardScope guard(Open().stats);
    dialog.DoModal();
}

void MainDialog::OnDetails()
{
    ShowDocumentsFor(ListView_GetNextItem(m_list.GetSafeHwnd(), -1, LVNI_SELECTED));
}

void MainDialog::OnListDoubleClick(NMHDR* header, LRESULT* result)
{
    ShowDocumentsFor(reinterpret_cast<NMITEMACTIVATE*>(header)->iItem);
    *result = 0;
}

void MainDialog::ShowDocumentsFor(int row)
{
    ShowDocumentsOfRow(*this, m_list, row, m_store);
}

void MainDialog::OnAbout()
{
    if (Open().about) {
        BringModalForward();
        return;
    }
    AboutDialog dialog;
    GuardScope guard(Open().about);
    dialog.DoModal();
}

// The system menu's About item opens its own box, whether or not the guarded one is open.
void MainDialog::ShowSystemMenuAbout()
{
    AboutDialog dialog;
    dialog.DoModal();
}

void MainDialog::OnSysCommand(UINT id, LPARAM)
{
    if ((id & 0xFFF0) == IDC_ABOUT)
        ShowSystemMenuAbout();
    else
        Default();
}

void MainDialog::OnOptions()
{
    if (Open().options) {
        BringModalForward();
        return;
    }
    COptionsDlg dialog;
    GuardScope guard(Open().options);
    dialog.DoModal();
}
