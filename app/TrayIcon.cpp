#include "app/TrayIcon.h"

#include <utility>

#include "core/Utf8.h"

namespace {

const char kHiddenClassName[] = "__MessageWindow";
const char kObjectProperty[] = "SystemTrayIconClass";
constexpr UINT kEntryFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;

// The class stays registered for the life of the process, so a later TrayIcon finds it there.
bool RegisterHiddenClass(HINSTANCE instance)
{
    WNDCLASSA existing = {};
    if (GetClassInfoA(instance, kHiddenClassName, &existing))
        return true;
    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = kHiddenClassName;
    return RegisterClassA(&wc) != 0;
}

NOTIFYICONDATAA EntryData(HWND owner)
{
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;
    data.hWnd = owner;
    data.uID = 0;
    return data;
}

} // namespace

TrayIcon::TrayIcon(Notifier notifier) : m_notifier(std::move(notifier))
{
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!RegisterHiddenClass(instance))
        return;
    m_hHidden = CreateWindowExA(WS_EX_TOOLWINDOW, kHiddenClassName, "", WS_POPUP | WS_CLIPCHILDREN,
                                200, 200, 0, 0, nullptr, nullptr, instance, nullptr);
    if (m_hHidden)
        SetPropA(m_hHidden, kObjectProperty, this);
}

TrayIcon::~TrayIcon()
{
    if (m_hHidden) {
        RemovePropA(m_hHidden, kObjectProperty);
        DestroyWindow(m_hHidden);
    }
}

void TrayIcon::SetOwner(HWND owner)
{
    m_hOwner = owner;
}

bool TrayIcon::Add(HICON icon, const std::string& tip)
{
    if (Send(NIM_ADD, kEntryFlags, icon, tip))
        m_exists = true;
    return m_exists;
}

bool TrayIcon::Modify(HICON icon, const std::string& tip)
{
    return m_exists && Send(NIM_MODIFY, kEntryFlags, icon, tip);
}

bool TrayIcon::ModifyTip(const std::string& tip)
{
    return m_exists && Send(NIM_MODIFY, NIF_TIP, nullptr, tip);
}

bool TrayIcon::ShowBalloon(const std::string& title, const std::string& text)
{
    if (!m_exists)
        return false;
    NOTIFYICONDATAA data = EntryData(m_hOwner);
    data.uFlags = NIF_INFO;
    data.dwInfoFlags = NIIF_INFO | NIIF_NOSOUND;
    title.copy(data.szInfoTitle, Utf8FitBytes(title, sizeof(data.szInfoTitle) - 1));
    text.copy(data.szInfo, Utf8FitBytes(text, sizeof(data.szInfo) - 1));
    return m_notifier(NIM_MODIFY, &data) != FALSE;
}

void TrayIcon::Delete()
{
    NOTIFYICONDATAA data = EntryData(m_hOwner);
    m_notifier(NIM_DELETE, &data);
    m_exists = false;
}

bool TrayIcon::Send(DWORD message, UINT flags, HICON icon, const std::string& tip)
{
    NOTIFYICONDATAA data = EntryData(m_hOwner);
    data.uFlags = flags;
    data.uCallbackMessage = kCallbackMessage;
    data.hIcon = icon;
    // The field is zeroed, so the copy always ends in a NUL within its 128 bytes, and it ends
    // between two characters.
    tip.copy(data.szTip, Utf8FitBytes(tip, sizeof(data.szTip) - 1));
    return m_notifier(message, &data) != FALSE;
}
