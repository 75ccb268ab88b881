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
    // Each answers whether the shell took the request. The shell refuses an Add while it has no
    // notification area yet (at sign-in) or while the entry is there already.
    bool Add(HICON icon, const std::string& tip);
    // Changes an existing entry; without one, nothing is sent.
    bool Modify(HICON icon, const std::string& tip);
    // Changes the existing entry's tooltip only: much lighter for the shell than a whole entry.
    bool ModifyTip(const std::string& tip);
    // A balloon from the existing entry, without a sound.
    bool ShowBalloon(const std::string& title, const std::string& text);
    void Delete();
    // An Add was taken and no Delete or Forget came since.
    bool Exists() const { return m_exists; }
    // The shell has restarted: its entries are gone.
    void Forget() { m_exists = false; }

private:
    bool Send(DWORD message, UINT flags, HICON icon, const std::string& tip);

    Notifier m_notifier;
    HWND m_hOwner = nullptr;
    HWND m_hHidden = nullptr;
    bool m_exists = false;
};
