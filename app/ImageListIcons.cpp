#include "app/ImageListIcons.h"

#include <shellapi.h>

std::optional<int> ImageListIcons::AppendFileIcon(const std::string& executablePath)
{
    if (executablePath.empty())
        return std::nullopt;
    const HICON icon = ExtractIconA(m_instance, executablePath.c_str(), 0);
    // ExtractIconA answers 1, not a handle, for a file that is no executable or icon file.
    if (icon == nullptr || icon == reinterpret_cast<HICON>(1))
        return std::nullopt;
    const int index = ImageList_ReplaceIcon(m_list, -1, icon);
    DestroyIcon(icon);   // the image list keeps its own copy
    return index;
}

std::optional<int> ImageListIcons::AppendWindowIcon(WindowRef window)
{
    // A hung window must not stall the sampling tick: give it a short time to answer.
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(reinterpret_cast<HWND>(window), WM_GETICON, ICON_SMALL, 0,
                             SMTO_ABORTIFHUNG | SMTO_BLOCK, kWindowIconTimeoutMs, &answer))
        return std::nullopt;
    if (answer == 0)
        return std::nullopt;
    // The icon belongs to the window; the image list copies it and it is not destroyed here.
    return ImageList_ReplaceIcon(m_list, -1, reinterpret_cast<HICON>(answer));
}
