// The program's single notification-area entry, plus the hidden window created with it.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>

class TrayIcon {
public:
    // Carries one request to the shell; Shell_NotifyIconA unless a test captures the requests.
    using Notifier = std::function<BOOL(DWORD message, NOTIFYICONDATAA* data)>;

    static constexpr UINT kCallbackMessage = WM_USER + 3;

    explicit TrayIcon(Notifier notifier = &Shell_NotifyIconA);
    virtual ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    void SetOwner(HWND owner);
    // The shell may refuse a request (no notification area, entry missing or already there);
    // that is not reported and changes nothing here.
    void Add(HICON icon, const std::string& tip);
    void Modify(HICON icon, const std::string& tip);
    void Delete();

    HWND HiddenWindow() const { return m_hHidden; }

private:
    void Send(DWORD message, HICON icon, const std::string& tip);

    Notifier m_notifier;
    HWND m_hOwner = nullptr;
    HWND m_hHidden = nullptr;
};
