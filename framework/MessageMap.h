// Static message tables: each class lists the messages, commands and notifications it handles and
// the On... member that handles them. Dispatch searches the most derived class's table first, then
// its bases', then falls back to default processing.
#pragma once

#include <windows.h>

class Window;

// Messages reflected by a parent to the control object that sent them arrive at the control's
// table as WM_REFLECT_BASE + the original message (WM_NOTIFY, WM_COMMAND, WM_DRAWITEM).
constexpr UINT WM_REFLECT_BASE = 0xBC00;

enum class MessageKind : unsigned char {
    End,          // terminates a table
    Message,      // a window message
    Registered,   // a registered window message, read through registeredMessage at dispatch
    Command,      // WM_COMMAND with a control id and a notification code
    Notify,       // WM_NOTIFY with a control id and a notification code
};

// Unpacks wParam/lParam into a typed handler call. Returns whether the message was handled; the
// handler's answer goes to result.
using MessageAdapter = bool (*)(Window& target, WPARAM wParam, LPARAM lParam, LRESULT& result);

struct MessageEntry {
    MessageKind kind;
    UINT message;                 // the message (WM_REFLECT_BASE + ... for reflected ones)
    UINT code;                    // Command / Notify: the notification code
    UINT id;                      // Command / Notify: the control id; ANY_ID matches every id
    const UINT* registeredMessage;
    MessageAdapter adapter;
};

constexpr UINT ANY_ID = 0xFFFFFFFFu;

struct MessageMap {
    const MessageMap* (*base)();  // the base class's table, or nullptr at the root
    const MessageEntry* entries;
};

#define DECLARE_MESSAGE_MAP()                                   \
public:                                                         \
    static const MessageMap* GetThisMessageMap();               \
protected:                                                      \
    const MessageMap* GetMessageMap() const override;           \
private:

#define BEGIN_MESSAGE_MAP(Class, Base)                                          \
    const MessageMap* Class::GetMessageMap() const { return GetThisMessageMap(); } \
    const MessageMap* Class::GetThisMessageMap()                                \
    {                                                                           \
        using ThisClass = Class;                                                \
        using BaseClass = Base;                                                 \
        static const MessageEntry entries[] = {

#define END_MESSAGE_MAP()                                                       \
            { MessageKind::End, 0, 0, 0, nullptr, nullptr } };                  \
        static const MessageMap map = { &BaseClass::GetThisMessageMap, entries }; \
        return &map;                                                            \
    }

#define FW_ADAPTER(body) \
    [](Window& w, WPARAM wParam, LPARAM lParam, LRESULT& result) -> bool { \
        auto& self = static_cast<ThisClass&>(w); (void)self; (void)wParam; (void)lParam; (void)result; \
        body; return true; }

// LRESULT func(WPARAM wParam, LPARAM lParam)
#define ON_MESSAGE(msg, func) \
    { MessageKind::Message, (msg), 0, 0, nullptr, FW_ADAPTER(result = self.func(wParam, lParam)) },
// LRESULT func(WPARAM wParam, LPARAM lParam); var is a UINT holding RegisterWindowMessage's answer
#define ON_REGISTERED_MESSAGE(var, func) \
    { MessageKind::Registered, 0, 0, 0, &(var), FW_ADAPTER(result = self.func(wParam, lParam)) },
// void func()   -- a click of a button or a menu item / accelerator with this id
#define ON_COMMAND(id, func) \
    { MessageKind::Command, WM_COMMAND, 0, (id), nullptr, FW_ADAPTER(self.func()) },
// void func()   -- a control's notification code sent with WM_COMMAND
#define ON_CONTROL(code, id, func) \
    { MessageKind::Command, WM_COMMAND, (code), (id), nullptr, FW_ADAPTER(self.func()) },
// void func(NMHDR* header, LRESULT* result)
#define ON_NOTIFY(code, id, func) \
    { MessageKind::Notify, WM_NOTIFY, static_cast<UINT>(code), (id), nullptr, \
      FW_ADAPTER(self.func(reinterpret_cast<NMHDR*>(lParam), &result)) },
// In a control's own table: void func(NMHDR* header, LRESULT* result)
#define ON_NOTIFY_REFLECT(code, func) \
    { MessageKind::Notify, WM_REFLECT_BASE + WM_NOTIFY, static_cast<UINT>(code), ANY_ID, nullptr, \
      FW_ADAPTER(self.func(reinterpret_cast<NMHDR*>(lParam), &result)) },
// In a control's own table: void func()
#define ON_CONTROL_REFLECT(code, func) \
    { MessageKind::Command, WM_REFLECT_BASE + WM_COMMAND, (code), ANY_ID, nullptr, FW_ADAPTER(self.func()) },
// In a control's own table: void func(DRAWITEMSTRUCT* item)
#define ON_DRAWITEM_REFLECT(func) \
    { MessageKind::Message, WM_REFLECT_BASE + WM_DRAWITEM, 0, 0, nullptr, \
      FW_ADAPTER(self.func(reinterpret_cast<DRAWITEMSTRUCT*>(lParam)); result = TRUE) },

// void OnTimer(UINT_PTR id)
#define ON_WM_TIMER() \
    { MessageKind::Message, WM_TIMER, 0, 0, nullptr, FW_ADAPTER(self.OnTimer(static_cast<UINT_PTR>(wParam))) },
// void OnSize(UINT type, int cx, int cy)
#define ON_WM_SIZE() \
    { MessageKind::Message, WM_SIZE, 0, 0, nullptr, \
      FW_ADAPTER(self.OnSize(static_cast<UINT>(wParam), static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)))) },
// void OnGetMinMaxInfo(MINMAXINFO* info)
#define ON_WM_GETMINMAXINFO() \
    { MessageKind::Message, WM_GETMINMAXINFO, 0, 0, nullptr, \
      FW_ADAPTER(self.OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam))) },
// void OnPaint()
#define ON_WM_PAINT() \
    { MessageKind::Message, WM_PAINT, 0, 0, nullptr, FW_ADAPTER(self.OnPaint()) },
// BOOL OnEraseBkgnd(HDC dc)
#define ON_WM_ERASEBKGND() \
    { MessageKind::Message, WM_ERASEBKGND, 0, 0, nullptr, \
      FW_ADAPTER(result = self.OnEraseBkgnd(reinterpret_cast<HDC>(wParam))) },
// void OnSysCommand(UINT id, LPARAM lParam)
#define ON_WM_SYSCOMMAND() \
    { MessageKind::Message, WM_SYSCOMMAND, 0, 0, nullptr, \
      FW_ADAPTER(self.OnSysCommand(static_cast<UINT>(wParam), lParam)) },
// void OnDestroy()
#define ON_WM_DESTROY() \
    { MessageKind::Message, WM_DESTROY, 0, 0, nullptr, FW_ADAPTER(self.OnDestroy()) },
// void OnContextMenu(HWND window, POINT screenPoint)
#define ON_WM_CONTEXTMENU() \
    { MessageKind::Message, WM_CONTEXTMENU, 0, 0, nullptr, \
      FW_ADAPTER(self.OnContextMenu(reinterpret_cast<HWND>(wParam), \
          POINT{ static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)) })) },
// HCURSOR OnQueryDragIcon()
#define ON_WM_QUERYDRAGICON() \
    { MessageKind::Message, WM_QUERYDRAGICON, 0, 0, nullptr, \
      FW_ADAPTER(result = reinterpret_cast<LRESULT>(self.OnQueryDragIcon())) },
// void OnMouseMove(UINT flags, POINT clientPoint)
#define ON_WM_MOUSEMOVE() \
    { MessageKind::Message, WM_MOUSEMOVE, 0, 0, nullptr, \
      FW_ADAPTER(self.OnMouseMove(static_cast<UINT>(wParam), \
          POINT{ static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)) })) },
// BOOL OnSetCursor(HWND window, UINT hitTest, UINT mouseMessage)
#define ON_WM_SETCURSOR() \
    { MessageKind::Message, WM_SETCURSOR, 0, 0, nullptr, \
      FW_ADAPTER(result = self.OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam), HIWORD(lParam))) },
