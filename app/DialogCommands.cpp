// The main window's commands that open dialogs: statistics, documents, About and Options. The
// tray menu stays usable while any dialog of the program is open, so each command keeps a
// process-wide guard and, asked again while its dialog is open, brings a window forward instead
// of opening a second copy.
#include "app/MainDialog.h"

#include "res/resource.h"
#include "settings/OptionsDlg.h"
#include "views/AboutDialog.h"
#include "views/AppStatsDialog.h"
#include "views/DocumentsDialog.h"

namespace {

struct OpenDialogs {
    AppStatsDialog* stats = nullptr;
    AboutDialog* about = nullptr;
    bool options = false;
};

OpenDialogs& Open()
{
    static OpenDialogs open;
    return open;
}

// Holds a guard for the length of one modal run, however the run ends.
template <typename T>
class GuardScope {
public:
    GuardScope(T& guard, T value) : m_guard(guard) { m_guard = value; }
    ~GuardScope() { m_guard = T(); }
    GuardScope(const GuardScope&) = delete;
    GuardScope& operator=(const GuardScope&) = delete;

private:
    T& m_guard;
};

} // namespace

void MainDialog::OnStats()
{
    if (AppStatsDialog* open = Open().stats) {
        ::SetForegroundWindow(open->GetSafeHwnd());
        return;
    }
    AppStatsDialog dialog(m_imageList.get(), m_store, this);
    GuardScope<AppStatsDialog*> guard(Open().stats, &dialog);
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
    if (AboutDialog* open = Open().about) {
        ::SetForegroundWindow(open->GetSafeHwnd());
        return;
    }
    AboutDialog dialog;
    GuardScope<AboutDialog*> guard(Open().about, &dialog);
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
        ::SetForegroundWindow(m_hWnd);
        return;
    }
    COptionsDlg dialog;
    GuardScope<bool> guard(Open().options, true);
    dialog.DoModal();
}
