// Strings from the string table, message boxes captioned with the application title, and the
// window messages and clipboard formats registered once at program start.
#pragma once

#include <windows.h>
#include <string>

std::string LoadResString(UINT id);   // "" when the string does not exist

// Caption: AppTitle(). owner nullptr: the application's main window.
int AppMessageBox(HWND owner, const std::string& text, UINT type);
int AppMessageBox(HWND owner, UINT stringId, UINT type);

// Gives window the icon resource iconId, at the small-icon size, as its small caption icon. The
// icon is shared: it belongs to the module and needs no destroying.
void SetSmallIcon(HWND window, UINT iconId);

// "Push default button": posted by a dialog on Enter; the focused icon button answers it.
extern const UINT WM_PUSH_DEFAULT_BUTTON;
// "UniformResourceLocator": the clipboard format of a dragged link.
extern const UINT CF_URL;
