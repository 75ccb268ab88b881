#include "tests/support/MainWindowRun.h"

#include <commctrl.h>

#include "core/ActivitySampler.h"
#include "framework/Application.h"
#include "res/resource.h"
#include "settings/SettingsStore.h"

namespace {

class TestApplication : public Application {
public:
    BOOL InitInstance() override { return FALSE; }
} g_application;

} // namespace

MainWindowRun::MainWindowRun()
{
    MainDialog::RegisterWindowClass(::GetModuleHandleA(nullptr));
    ::InitCommonControls();
    WriteOption(kMonitorAtStartupOption, 0);
    WriteOption(kMinToTrayOption, 0);
    WriteOption(kTrayHintShownValue, 1);
}

MainWindowRun::~MainWindowRun()
{
    g_application.m_pMainWnd = nullptr;
}

MainDialogServices MainWindowRun::Services()
{
    return { &processes, &foreground, [this](DWORD message, NOTIFYICONDATAA* data) {
                tray.push_back({ message, data->uFlags, data->hIcon, data->szTip,
                                 data->szInfoTitle, data->dwInfoFlags });
                return trayAnswer;
            } };
}

INT_PTR MainWindowRun::Run(MainDialog& dialog, std::vector<ui::Script::Step> steps, bool endAfterLast)
{
    g_application.m_pMainWnd = &dialog;
    steps.insert(steps.begin(), ui::Script::Do([this, &dialog] { window = dialog.GetSafeHwnd(); }));
    const INT_PTR result = ui::Script::Run(dialog, std::move(steps), endAfterLast);
    g_application.m_pMainWnd = nullptr;
    return result;
}

void MainWindowRun::Tick(std::uint32_t process, const std::string& title, int count)
{
    // A window of the test thread stands in front; its handle tells windows apart.
    static const HWND inFront = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr,
                                                 nullptr, nullptr, nullptr);
    foreground.Show(reinterpret_cast<WindowRef>(inFront), process, title);
    for (int i = 0; i < count; ++i)
        ui::SendTimer(window, ActivitySampler::kSamplingTimerId);
}

ui::Rows MainWindowRun::Rows() const
{
    return ui::ListRows(::GetDlgItem(window, IDC_MAIN_LIST));
}
