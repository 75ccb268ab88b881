#include "app/MainTray.h"

#include "core/ActivitySampler.h"
#include "framework/Window.h"

bool MainTray::HasEntry()
{
    return m_tray.Exists();
}

void MainTray::ShowSummary(const std::string& tip)
{
    m_tray.ModifyTip(tip);
}

void MainTray::Remove()
{
    m_tray.Delete();
}

void MainTray::KillReturnTimer()
{
    ::KillTimer(m_owner.GetSafeHwnd(), ActivitySampler::kReturnTimerId);
}
