// The sampler's view of the tray entry: the main window's TrayIcon with the main icon, and the
// main window's one-shot timer that removes the entry after Show.
#pragma once

#include <windows.h>

#include "app/TrayIcon.h"
#include "core/SamplerPorts.h"

class Window;

class MainTray : public TrayPresence {
public:
    MainTray(TrayIcon& tray, HICON mainIcon, const Window& owner)
        : m_tray(tray), m_mainIcon(mainIcon), m_owner(owner) {}

    bool HasEntry() override;
    void ShowSummary(const std::string& tip) override;
    void Remove() override;
    void KillReturnTimer() override;

private:
    TrayIcon& m_tray;
    HICON m_mainIcon;
    const Window& m_owner;
};
