// Strings from the string table, the program's text as UTF-16, and message boxes captioned with
// the application title.
#pragma once

#include <windows.h>
#include <string>

std::string LoadResString(UINT id);   // "" when the string does not exist

// Text in the code page of the program's ANSI calls (UTF-8 under its manifest), as UTF-16.
std::wstring Widen(const std::string& text);

// Caption: AppTitle(). The box is owned by the innermost modal window over owner (owner nullptr:
// the application's main window), so it never competes with an open dialog for input. When it
// closes while that window is hidden, the foreground goes back to where it was.
int AppMessageBox(HWND owner, const std::string& text, UINT type);
int AppMessageBox(HWND owner, UINT stringId, UINT type);

// Called in a catch block: tells the user that a handler failed with the exception being handled
// (its text), and the program goes on. Each distinct failure is told once, and none while such a
// box is open (timers keep running inside it and could fail again).
void ReportCurrentException();

