// The narrow views of the platform that one sampling tick works through. The main window wires
// Win32 implementations; tests use fakes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// An opaque window handle; 0 is "no window".
using WindowRef = std::uintptr_t;

class ForegroundSource {
public:
    virtual ~ForegroundSource() = default;
    virtual WindowRef ForegroundWindow() = 0;                 // 0 when no window is in front
    virtual WindowRef DesktopWindow() = 0;
    virtual std::uint32_t ProcessIdOf(WindowRef window) = 0;
    virtual std::string TitleOf(WindowRef window) = 0;         // the full title, possibly empty
    // The process of a child window of frame whose class is "Windows.UI.Core.CoreWindow" and
    // that belongs to a process other than frame's; 0 when there is none.
    virtual std::uint32_t CoreWindowProcessOf(WindowRef frame) = 0;
};

// Appends application icons to the main list's small image list.
class IconSink {
public:
    virtual ~IconSink() = default;
    // The first icon of the executable file, appended. nullopt when the file yields no icon;
    // otherwise the index the image list returned (-1 when it refused the icon).
    virtual std::optional<int> AppendFileIcon(const std::string& executablePath) = 0;
    // The window's small icon (WM_GETICON, ICON_SMALL), appended. nullopt when the window gives none.
    virtual std::optional<int> AppendWindowIcon(WindowRef window) = 0;
};

// The main window's application list: application rows, a blank row, then the "Total:" row.
class ApplicationRows {
public:
    virtual ~ApplicationRows() = default;
    virtual int RowCount() = 0;
    virtual void SetTimeText(int row, const std::string& text) = 0;    // column 1
    // Called with the row directly above the blank row: the new row takes the stripe colour of
    // its place, and the blank and "Total:" rows below it keep theirs.
    virtual void InsertRow(int row, const std::string& label, int imageIndex) = 0;
    // First row from the top whose label equals label byte for byte, or -1.
    virtual int FindRow(const std::string& label) = 0;
};

// The notification-area entry and the one-shot timer that removes it after Show.
class TrayPresence {
public:
    virtual ~TrayPresence() = default;
    virtual bool HasEntry() = 0;                              // only then is the tooltip refreshed
    virtual void ShowSummary(const std::string& tip) = 0;     // the entry's new tooltip
    virtual void Remove() = 0;                                // Delete
    virtual void KillReturnTimer() = 0;                       // kill timer 2
};
