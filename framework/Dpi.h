// Dots per inch of a window, and sizes that follow it. The program declares per-monitor DPI
// awareness, so it draws itself for the DPI of the monitor each window is on: 96 is 100%, 144 is
// 150%, 192 is 200%. Windows before 10 (1607) report one DPI for the whole system.
#pragma once

#include <windows.h>

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif
#ifndef WM_DPICHANGED_AFTERPARENT
#define WM_DPICHANGED_AFTERPARENT 0x02E3
#endif

constexpr UINT kDefaultDpi = 96;

// The DPI the window is drawn for: that of its dialog, which follows WM_DPICHANGED; otherwise
// the system's for that window.
UINT DpiOf(HWND window);
// A size in pixels at 96 DPI, at dpi.
int ScaleForDpi(int pixelsAt96, UINT dpi);
// A size in pixels at oldDpi, at newDpi.
int RescaleForDpi(int pixels, UINT oldDpi, UINT newDpi);
// A system metric (SM_CXSMICON, SM_CXVSCROLL, ...) at dpi.
int MetricForDpi(int index, UINT dpi);
// The side of a small icon at dpi: 16 at 96, 24 at 144, 32 at 192.
int SmallIconSize(UINT dpi);
