// The sampler's view of the tray entry: the main window's TrayIcon, and the main window's
// one-shot timer that removes the entry after Show.
#pragma once

#include <windows.h>

#include "app/TrayIcon.h"
#include "core/SamplerPorts.h"

class Window;

class MainTray : public TrayPresence {
public:
    MainTray(TrayIcon& tray, const Window& owner) : m_tray(tray), m_owner(owner) {}

    bool HasEntry() override;
    void ShowSummary(const std::string& tip) override;
    void Remove() override;
    void KillReturnTimer() override;

private:
    TrayIcon& m_tray;
    const Window& m_owner;
};
