// The foreground window and what the sampler reads from it, through user32.
#pragma once

#include "core/SamplerPorts.h"

class Win32Foreground : public ForegroundSource {
public:
    WindowRef ForegroundWindow() override;
    WindowRef DesktopWindow() override;
    std::uint32_t ProcessIdOf(WindowRef window) override;   // 0 when the window is gone
    std::string TitleOf(WindowRef window) override;         // "" when the window is gone
    std::uint32_t CoreWindowProcessOf(WindowRef frame) override;
};
