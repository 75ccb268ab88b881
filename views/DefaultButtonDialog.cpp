#include "views/DefaultButtonDialog.h"

#include "controls/IconButton.h"

namespace {

BOOL CALLBACK PostPushDefaultButton(HWND window, LPARAM)
{
    ::PostMessageA(window, WM_PUSH_DEFAULT_BUTTON, 0, 0);
    return TRUE;
}

}  // namespace

DefaultButtonDialog::DefaultButtonDialog(UINT templateId, Window* parent, UINT resizeFlags)
    : ResizableDialog(templateId, parent, resizeFlags, true)
{
}

BOOL DefaultButtonDialog::PreTranslateMessage(MSG* message)
{
    if (message->message == WM_KEYDOWN && message->wParam == VK_RETURN && IsWindow()
        && (message->hwnd == m_hWnd || ::IsChild(m_hWnd, message->hwnd))) {
        ::EnumChildWindows(m_hWnd, PostPushDefaultButton, 0);
        return TRUE;
    }
    return ResizableDialog::PreTranslateMessage(message);
}
