#include "framework/Window.h"

#include <commctrl.h>

#include <mutex>
#include <unordered_map>

#include "framework/Application.h"
#include "framework/Resources.h"
#include "framework/WindowDispatch.h"

namespace {

thread_local Window* t_objectBeingCreated = nullptr;

// Each bound window: its object (none once the object has gone while the window lives on) and
// the window procedure it had before, which does the default processing. Kept here rather than in
// window properties, which under Wine cost a trip to the window server on every message.
struct Binding {
    Window* object = nullptr;
    WNDPROC previous = nullptr;
};

class BoundWindows {
public:
    void Add(HWND window, const Binding& binding)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bindings[window] = binding;
    }
    void Remove(HWND window)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bindings.erase(window);
    }
    void Detach(HWND window)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto found = m_bindings.find(window);
        if (found != m_bindings.end())
            found->second.object = nullptr;
    }
    Binding Find(HWND window)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto found = m_bindings.find(window);
        return found != m_bindings.end() ? found->second : Binding{};
    }

private:
    std::mutex m_mutex;
    std::unordered_map<HWND, Binding> m_bindings;
};

BoundWindows& Bound()
{
    static BoundWindows bound;
    return bound;
}

// The system creates an input-method window along with the first top-level window of a thread;
// it must not be taken for the window being created.
bool IsImeWindow(HWND window)
{
    if (GetClassLongA(window, GCL_STYLE) & CS_IME)
        return true;
    char className[8] = {};
    GetClassNameA(window, className, sizeof className);
    return lstrcmpiA(className, "IME") == 0;
}

// Menus and accelerators send WM_COMMAND with no control and a code of 0 or 1: both are commands.
UINT CommandCode(WPARAM wParam, LPARAM lParam)
{
    return lParam == 0 ? 0 : HIWORD(wParam);
}

bool Matches(const MessageEntry& entry, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (entry.kind) {
    case MessageKind::Message:
        return entry.message == message;
    case MessageKind::Registered:
        return message != 0 && *entry.registeredMessage == message;
    case MessageKind::Command:
        return entry.message == message && entry.code == CommandCode(wParam, lParam)
            && (entry.id == ANY_ID || entry.id == LOWORD(wParam));
    case MessageKind::Notify: {
        if (entry.message != message || lParam == 0)
            return false;
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        return entry.code == header->code && (entry.id == ANY_ID || entry.id == header->idFrom);
    }
    case MessageKind::End:
        break;
    }
    return false;
}

bool IsReflected(UINT message)
{
    return message >= WM_REFLECT_BASE && message < WM_REFLECT_BASE + WM_USER;
}

bool IsKeyboardInput(UINT message)
{
    return message >= WM_KEYFIRST && message <= WM_KEYLAST;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// WindowDispatch

LRESULT CALLBACK WindowDispatch::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const Binding binding = Bound().Find(window);
    if (binding.object == nullptr) {
        // The object went before its window: the window keeps its earlier procedure's behaviour.
        if (message == WM_NCDESTROY)
            Bound().Remove(window);
        return binding.previous != nullptr ? CallWindowProcA(binding.previous, window, message, wParam, lParam)
                                           : DefWindowProcA(window, message, wParam, lParam);
    }
    // No exception may unwind into the system code that called this procedure.
    try {
        return Handle(*binding.object, window, message, wParam, lParam);
    } catch (...) {
        ReportCurrentException();
    }
    return 0;
}

LRESULT WindowDispatch::Handle(Window& object, HWND window, UINT message, WPARAM wParam,
                               LPARAM lParam)
{
    const WNDPROC previous = object.m_previousProc;
    HandlerScope scope(object, message, wParam, lParam);
    LRESULT result = 0;
    const bool handled = Reflect(window, message, wParam, lParam, result)
                         || object.DispatchToMap(message, wParam, lParam, result);
    if (message == WM_NCDESTROY)
        Unbind(object);
    // A handler may have destroyed the window; then there is nothing left to process.
    if (!handled && ::IsWindow(window))
        result = CallWindowProcA(previous, window, message, wParam, lParam);
    return result;
}

bool WindowDispatch::Reflect(HWND parent, UINT message, WPARAM wParam, LPARAM lParam,
                             LRESULT& result)
{
    HWND child = nullptr;
    switch (message) {
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header != nullptr && header->hwndFrom != nullptr && ::GetParent(header->hwndFrom) == parent)
            child = header->hwndFrom;
        break;
    }
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item != nullptr && item->CtlType != ODT_MENU)
            child = item->hwndItem;
        break;
    }
    case WM_COMMAND:
        child = reinterpret_cast<HWND>(lParam);
        break;
    default:
        return false;
    }
    Window* object = child != nullptr && child != parent ? Window::FromHandle(child) : nullptr;
    if (object == nullptr)
        return false;

    const UINT reflected = WM_REFLECT_BASE + message;
    LRESULT childResult = 0;
    bool handled;
    {
        HandlerScope scope(*object, reflected, wParam, lParam);
        handled = object->DispatchToMap(reflected, wParam, lParam, childResult);
    }
    if (handled)
        result = childResult;
    return handled;
}

WindowDispatch::HandlerScope::HandlerScope(Window& object, UINT message, WPARAM wParam,
                                           LPARAM lParam)
    : m_object(object), m_saved(object.m_current)
{
    object.m_current = { message, wParam, lParam };
    ++object.m_handlerDepth;
}

WindowDispatch::HandlerScope::~HandlerScope()
{
    m_object.m_current = m_saved;
    if (--m_object.m_handlerDepth == 0 && m_object.m_ncDestroyed) {
        m_object.m_ncDestroyed = false;
        m_object.PostNcDestroy();   // may delete the object: nothing after this
    }
}

bool WindowDispatch::Bind(Window& object, HWND window)
{
    if (object.m_hWnd != nullptr || !::IsWindow(window) || Bound().Find(window).previous != nullptr)
        return false;
    // Recorded before the procedure changes hands: the window's next message may come at once.
    const auto previous = reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(window, GWLP_WNDPROC));
    Bound().Add(window, {&object, previous});
    object.m_previousProc = previous;
    if (::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProc)) == 0) {
        Bound().Remove(window);
        return false;
    }
    object.m_hWnd = window;
    object.m_ncDestroyed = false;
    object.m_ownsWindow = false;
    return true;
}

void WindowDispatch::Unbind(Window& object)
{
    Release(object.m_hWnd, object.m_previousProc);
    object.m_hWnd = nullptr;
    object.m_ownsWindow = false;
    object.m_ncDestroyed = true;
}

// Gives window its earlier procedure back, unless another subclass came after this one: the
// window then keeps calling ours, which passes everything on to the earlier procedure.
void WindowDispatch::Release(HWND window, WNDPROC previous)
{
    if (reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(window, GWLP_WNDPROC)) == &WindowProc) {
        ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        Bound().Remove(window);
    } else {
        Bound().Detach(window);
    }
}

WindowDispatch::CreationScope::CreationScope(Window& object)
    : m_previous(t_objectBeingCreated),
      m_hook(SetWindowsHookExA(WH_CBT, CreationHook, nullptr, GetCurrentThreadId()))
{
    t_objectBeingCreated = &object;
}

WindowDispatch::CreationScope::~CreationScope()
{
    if (m_hook != nullptr)
        UnhookWindowsHookEx(m_hook);
    t_objectBeingCreated = m_previous;
}

LRESULT CALLBACK WindowDispatch::CreationHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && t_objectBeingCreated != nullptr) {
        HWND window = reinterpret_cast<HWND>(wParam);
        if (!IsImeWindow(window)) {
            Window* object = t_objectBeingCreated;
            t_objectBeingCreated = nullptr;
            Bind(*object, window);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL WindowDispatch::PreTranslate(MSG& message)
{
    // A hidden window never acts on keys: hidden in the notification area, the main window would
    // otherwise take a typed letter as the mnemonic of one of its buttons.
    if (IsKeyboardInput(message.message) && message.hwnd != nullptr
        && !::IsWindowVisible(::GetAncestor(message.hwnd, GA_ROOT)))
        return TRUE;
    for (HWND window = message.hwnd; window != nullptr;) {
        // Read the parent first: the window may not survive its PreTranslateMessage.
        HWND parent = (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) ? ::GetParent(window) : nullptr;
        if (Window* object = Window::FromHandle(window)) {
            if (object->PreTranslateMessage(&message))
                return TRUE;
        }
        window = parent;
    }
    return FALSE;
}

bool WindowDispatch::PumpMessage(int& exitCode)
{
    MSG message;
    const BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0) {
        exitCode = static_cast<int>(message.wParam);
        return false;
    }
    if (got <= 0)
        return true;
    try {
        if (!PreTranslate(message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    } catch (...) {
        ReportCurrentException();
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Window

Window::~Window()
{
    if (m_hWnd == nullptr)
        return;
    // Unhook first so that the messages of a window destroyed here never reach this half
    // destroyed object.
    HWND window = m_hWnd;
    const bool owned = m_ownsWindow;
    WindowDispatch::Release(window, m_previousProc);
    m_hWnd = nullptr;
    if (owned && ::IsWindow(window))
        ::DestroyWindow(window);
}

const MessageMap* Window::GetThisMessageMap()
{
    static const MessageEntry entries[] = { { MessageKind::End, 0, 0, 0, nullptr, nullptr } };
    static const MessageMap map = { nullptr, entries };
    return &map;
}

const MessageMap* Window::GetMessageMap() const
{
    return GetThisMessageMap();
}

Window* Window::FromHandle(HWND window)
{
    return window != nullptr ? Bound().Find(window).object : nullptr;
}

bool Window::SubclassWindow(HWND window)
{
    if (!WindowDispatch::Bind(*this, window))
        return false;
    PreSubclassWindow();
    return true;
}

bool Window::CreateEx(DWORD exStyle, const char* className, const char* title, DWORD style,
                      const RECT& rect, HWND parent, UINT_PTR idOrMenu)
{
    if (m_hWnd != nullptr)
        return false;
    HWND window = WindowDispatch::CreateBound(*this, [&] {
        return CreateWindowExA(exStyle, className, title, style, rect.left, rect.top,
                               rect.right - rect.left, rect.bottom - rect.top, parent,
                               reinterpret_cast<HMENU>(idOrMenu), AppInstance(), nullptr);
    });
    if (window == nullptr || m_hWnd != window)
        return false;
    PreSubclassWindow();
    return true;
}

BOOL Window::DestroyWindow()
{
    return m_hWnd != nullptr && ::DestroyWindow(m_hWnd);
}

BOOL Window::PreTranslateMessage(MSG*)
{
    return FALSE;
}

std::string Window::GetWindowText() const
{
    if (m_hWnd == nullptr)
        return {};
    std::string text(static_cast<size_t>(GetWindowTextLengthA(m_hWnd)) + 1, '\0');
    text.resize(static_cast<size_t>(::GetWindowTextA(m_hWnd, &text[0], static_cast<int>(text.size()))));
    return text;
}

void Window::SetWindowText(const std::string& text)
{
    if (m_hWnd != nullptr)
        ::SetWindowTextA(m_hWnd, text.c_str());
}

LRESULT Window::Default()
{
    if (m_hWnd == nullptr || m_handlerDepth == 0 || IsReflected(m_current.message))
        return 0;
    return CallWindowProcA(m_previousProc, m_hWnd, m_current.message, m_current.wParam, m_current.lParam);
}

bool Window::DispatchToMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    for (const MessageMap* map = GetMessageMap(); map != nullptr;
         map = map->base != nullptr ? map->base() : nullptr) {
        for (const MessageEntry* entry = map->entries; entry->kind != MessageKind::End; ++entry) {
            if (!Matches(*entry, message, wParam, lParam))
                continue;
            result = 0;
            if (entry->adapter(*this, wParam, lParam, result))
                return true;
        }
    }
    return false;
}
