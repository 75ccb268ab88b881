// Appends application icons to an image list (not owned; it belongs to the main list).
#pragma once

#include "core/SamplerPorts.h"

#include <windows.h>
#include <commctrl.h>

#include <functional>

class ImageListIcons : public IconSink {
public:
    // Returns a new icon owned by the caller, NULL, or (HICON)1 for "not an icon file";
    // ExtractIconA(instance, path, 0) unless a test watches the extracted handles.
    using FileIconExtractor = std::function<HICON(const char* path)>;

    // How long a window may take to answer WM_GETICON before it counts as giving none.
    static constexpr UINT kWindowIconTimeoutMs = 200;

    ImageListIcons(HIMAGELIST list, HINSTANCE instance);
    ImageListIcons(HIMAGELIST list, FileIconExtractor extractor);

    std::optional<int> AppendFileIcon(const std::string& executablePath) override;
    std::optional<int> AppendWindowIcon(WindowRef window) override;

private:
    HIMAGELIST m_list;
    FileIconExtractor m_extractor;
};
