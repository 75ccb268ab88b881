// Appends application icons to an image list (not owned; it belongs to the main list).
#pragma once

#include "core/SamplerPorts.h"

#include <windows.h>
#include <commctrl.h>

class ImageListIcons : public IconSink {
public:
    // How long a window may take to answer WM_GETICON before it counts as giving none.
    static constexpr UINT kWindowIconTimeoutMs = 200;

    ImageListIcons(HIMAGELIST list, HINSTANCE instance) : m_list(list), m_instance(instance) {}

    std::optional<int> AppendFileIcon(const std::string& executablePath) override;
    std::optional<int> AppendWindowIcon(WindowRef window) override;

private:
    HIMAGELIST m_list;
    HINSTANCE m_instance;
};
