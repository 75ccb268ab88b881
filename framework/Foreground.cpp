#include "framework/Foreground.h"

namespace {

bool IsOwnedModal(HWND window, HWND owner)
{
    char className[8] = {};
    return ::GetWindow(window, GW_OWNER) == owner && ::IsWindowVisible(window)
        && ::GetClassNameA(window, className, sizeof className) > 0
        && lstrcmpA(className, "#32770") == 0;
}

struct OwnedSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK FindOwnedModal(HWND window, LPARAM param)
{
    auto& search = *reinterpret_cast<OwnedSearch*>(param);
    if (!IsOwnedModal(window, search.owner))
        return TRUE;
    search.found = window;
    return FALSE;
}

bool BelongsToThisProcess(HWND window)
{
    DWORD process = 0;
    return window != nullptr && ::GetWindowThreadProcessId(window, &process) != 0
        && process == ::GetCurrentProcessId();
}

} // namespace

std::vector<HWND> ModalChain(HWND root)
{
    std::vector<HWND> chain;
    for (HWND window = root; window != nullptr;) {
        chain.push_back(window);
        OwnedSearch search{window, nullptr};
        ::EnumThreadWindows(::GetWindowThreadProcessId(window, nullptr), FindOwnedModal,
                            reinterpret_cast<LPARAM>(&search));
        window = search.found;
    }
    return chain;
}

HWND InnermostModalWindow(HWND root)
{
    return root != nullptr ? ModalChain(root).back() : nullptr;
}

void BringForward(HWND window)
{
    if (window == nullptr)
        return;
    ::SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ::SetForegroundWindow(window);
}

ForegroundReturn::ForegroundReturn() : m_previous(::GetForegroundWindow())
{
}

ForegroundReturn::~ForegroundReturn()
{
    const HWND foreground = ::GetForegroundWindow();
    if (!BelongsToThisProcess(foreground) || ::IsWindowVisible(foreground))
        return;
    const bool previousShown = ::IsWindow(m_previous) && ::IsWindowVisible(m_previous);
    ::SetForegroundWindow(previousShown ? m_previous : ::GetDesktopWindow());
}
