// Window objects: message tables, default processing, reflection, binding and destruction.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "framework/Resources.h"
#include "framework/Window.h"
#include "tests/framework/TestSupport.h"

namespace {

constexpr UINT WM_BOTH = WM_USER + 1;        // mapped by base and derived
constexpr UINT WM_UNMAPPED = WM_USER + 2;    // mapped by nobody
constexpr UINT WM_BASE_ONLY = WM_USER + 3;
constexpr UINT WM_EXTENDS = WM_USER + 4;     // derived handler adds to the default answer

class BaseObject : public Window {
public:
    std::vector<std::string> calls;

protected:
    LRESULT OnBoth(WPARAM, LPARAM) { calls.push_back("base both"); return 1; }
    LRESULT OnBaseOnly(WPARAM, LPARAM) { calls.push_back("base only"); return 3; }
    LRESULT OnPushDefault(WPARAM, LPARAM) { calls.push_back("push default"); return 9; }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(BaseObject, Window)
    ON_MESSAGE(WM_BOTH, OnBoth)
    ON_MESSAGE(WM_BASE_ONLY, OnBaseOnly)
    ON_REGISTERED_MESSAGE(WM_PUSH_DEFAULT_BUTTON, OnPushDefault)
END_MESSAGE_MAP()

class DerivedObject : public BaseObject {
public:
    int creates = 0;

protected:
    LRESULT OnBoth(WPARAM, LPARAM) { calls.push_back("derived both"); return 2; }
    LRESULT OnExtends(WPARAM, LPARAM) { return Default() + 100; }
    LRESULT OnCreateMessage(WPARAM, LPARAM) { ++creates; return Default(); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DerivedObject, BaseObject)
    ON_MESSAGE(WM_BOTH, OnBoth)
    ON_MESSAGE(WM_EXTENDS, OnExtends)
    ON_MESSAGE(WM_CREATE, OnCreateMessage)
END_MESSAGE_MAP()

RECT Rect(int left, int top, int right, int bottom) { return RECT{ left, top, right, bottom }; }

} // namespace

TEST(MessageMap, DerivedTableFirstThenBaseThenDefaultProcessing)
{
    RegisterRecordingClass();
    DerivedObject object;
    ASSERT_TRUE(object.CreateEx(0, kRecordingClass, "maps", WS_OVERLAPPEDWINDOW,
                                Rect(0, 0, 200, 100), nullptr, 0));
    EXPECT_EQ(1, object.creates) << "WM_CREATE must reach the object of a window it creates";
    EXPECT_EQ(&object, Window::FromHandle(object.m_hWnd));

    ClassProcMessages().clear();
    EXPECT_EQ(2, SendMessageA(object.m_hWnd, WM_BOTH, 0, 0));
    EXPECT_EQ(3, SendMessageA(object.m_hWnd, WM_BASE_ONLY, 0, 0));
    EXPECT_EQ(9, SendMessageA(object.m_hWnd, WM_PUSH_DEFAULT_BUTTON, 0, 0));
    EXPECT_EQ((std::vector<std::string>{ "derived both", "base only", "push default" }), object.calls);
    EXPECT_TRUE(ClassProcMessages().empty()) << "handled messages must not reach default processing";

    EXPECT_EQ(kClassProcAnswer, SendMessageA(object.m_hWnd, WM_UNMAPPED, 0, 0));
    EXPECT_TRUE(SawInClassProc(WM_UNMAPPED));
    EXPECT_EQ(kClassProcAnswer + 100, SendMessageA(object.m_hWnd, WM_EXTENDS, 0, 0));
    EXPECT_TRUE(SawInClassProc(WM_EXTENDS)) << "Default() must reach the class procedure";

    EXPECT_TRUE(object.DestroyWindow());
    EXPECT_EQ(nullptr, object.m_hWnd);
}

namespace {

constexpr UINT ID_BUTTON = 10;
constexpr UINT ID_LIST = 20;

class CommandTarget : public Window {
public:
    std::vector<std::string> calls;

protected:
    void OnButton() { calls.push_back("button"); }
    void OnEditChange() { calls.push_back("change"); }
    void OnListClick(NMHDR* header, LRESULT* result) { calls.push_back("click " + std::to_string(header->idFrom)); *result = 5; }
    void OnAnyRightClick(NMHDR* header, LRESULT* result) { calls.push_back("rclick " + std::to_string(header->idFrom)); *result = 6; }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CommandTarget, Window)
    ON_COMMAND(ID_BUTTON, OnButton)
    ON_CONTROL(EN_CHANGE, ID_BUTTON, OnEditChange)
    ON_NOTIFY(NM_CLICK, ID_LIST, OnListClick)
    ON_NOTIFY(NM_RCLICK, ANY_ID, OnAnyRightClick)
END_MESSAGE_MAP()

LRESULT Notify(HWND target, HWND from, UINT_PTR id, UINT code)
{
    NMHDR header{ from, id, code };
    return SendMessageA(target, WM_NOTIFY, id, reinterpret_cast<LPARAM>(&header));
}

} // namespace

TEST(MessageMap, CommandsAndNotificationsMatchIdAndCode)
{
    RegisterRecordingClass();
    CommandTarget target;
    ASSERT_TRUE(target.CreateEx(0, kRecordingClass, "commands", WS_OVERLAPPEDWINDOW,
                                Rect(0, 0, 200, 100), nullptr, 0));
    HWND edit = CreateWindowExA(0, "EDIT", "", WS_CHILD, 0, 0, 50, 20, target.m_hWnd,
                                reinterpret_cast<HMENU>(ID_BUTTON), GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, edit);

    ClassProcMessages().clear();
    SendMessageA(target.m_hWnd, WM_COMMAND, MAKEWPARAM(ID_BUTTON, 0), 0);          // menu
    SendMessageA(target.m_hWnd, WM_COMMAND, MAKEWPARAM(ID_BUTTON, 1), 0);          // accelerator
    SendMessageA(target.m_hWnd, WM_COMMAND, MAKEWPARAM(ID_BUTTON, BN_CLICKED), reinterpret_cast<LPARAM>(edit));
    SendMessageA(target.m_hWnd, WM_COMMAND, MAKEWPARAM(ID_BUTTON, EN_CHANGE), reinterpret_cast<LPARAM>(edit));
    EXPECT_EQ((std::vector<std::string>{ "button", "button", "button", "change" }), target.calls);
    EXPECT_FALSE(SawInClassProc(WM_COMMAND));

    // Another id, another code: default processing.
    SendMessageA(target.m_hWnd, WM_COMMAND, MAKEWPARAM(ID_BUTTON + 1, 0), 0);
    SendMessageA(target.m_hWnd, WM_COMMAND, MAKEWPARAM(ID_BUTTON, EN_KILLFOCUS), reinterpret_cast<LPARAM>(edit));
    EXPECT_EQ(4u, target.calls.size());
    EXPECT_TRUE(SawInClassProc(WM_COMMAND));

    target.calls.clear();
    EXPECT_EQ(5, Notify(target.m_hWnd, edit, ID_LIST, NM_CLICK));
    EXPECT_EQ(6, Notify(target.m_hWnd, edit, 33, NM_RCLICK));
    ClassProcMessages().clear();
    EXPECT_EQ(0, Notify(target.m_hWnd, edit, ID_LIST + 1, NM_CLICK));
    EXPECT_EQ(0, Notify(target.m_hWnd, edit, ID_LIST, NM_DBLCLK));
    EXPECT_EQ((std::vector<std::string>{ "click 20", "rclick 33" }), target.calls);
    EXPECT_TRUE(SawInClassProc(WM_NOTIFY));
}

namespace {

class ReflectingChild : public Window {
public:
    std::vector<std::string> calls;
    int draws = 0;

protected:
    void OnClickReflect(NMHDR*, LRESULT* result) { calls.push_back("child click"); *result = 11; }
    void OnClickedReflect() { calls.push_back("child clicked"); }
    void DrawItem(DRAWITEMSTRUCT* item)
    {
        ++draws;
        FillRect(item->hDC, &item->rcItem, GetSysColorBrush(COLOR_HIGHLIGHT));
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ReflectingChild, Window)
    ON_NOTIFY_REFLECT(NM_CLICK, OnClickReflect)
    ON_CONTROL_REFLECT(BN_CLICKED, OnClickedReflect)
    ON_DRAWITEM_REFLECT(DrawItem)
END_MESSAGE_MAP()

class ReflectingParent : public Window {
public:
    std::vector<std::string> calls;

protected:
    void OnClick(NMHDR*, LRESULT* result) { calls.push_back("parent click"); *result = 21; }
    void OnRightClick(NMHDR*, LRESULT* result) { calls.push_back("parent rclick"); *result = 22; }
    void OnClicked() { calls.push_back("parent clicked"); }
    LRESULT OnDrawItem(WPARAM, LPARAM) { calls.push_back("parent draw"); return TRUE; }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ReflectingParent, Window)
    ON_NOTIFY(NM_CLICK, ANY_ID, OnClick)
    ON_NOTIFY(NM_RCLICK, ANY_ID, OnRightClick)
    ON_COMMAND(ANY_ID, OnClicked)
    ON_MESSAGE(WM_DRAWITEM, OnDrawItem)
END_MESSAGE_MAP()

} // namespace

TEST(Reflection, ChildObjectFirstThenParentTable)
{
    RegisterRecordingClass();
    ReflectingParent parent;
    ASSERT_TRUE(parent.CreateEx(0, kRecordingClass, "parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                Rect(100, 100, 400, 300), nullptr, 0));
    HWND drawn = CreateWindowExA(0, "BUTTON", "drawn", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 10, 10,
                                 80, 24, parent.m_hWnd, reinterpret_cast<HMENU>(7),
                                 GetModuleHandleA(nullptr), nullptr);
    HWND plain = CreateWindowExA(0, "BUTTON", "plain", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 100, 10,
                                 80, 24, parent.m_hWnd, reinterpret_cast<HMENU>(8),
                                 GetModuleHandleA(nullptr), nullptr);
    ReflectingChild child;
    ASSERT_TRUE(child.SubclassWindow(drawn));
    // A window inside the child: its notifications are not the child's own.
    HWND grandchild = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 5, 5, drawn, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);

    EXPECT_EQ(11, Notify(parent.m_hWnd, drawn, 7, NM_CLICK));
    EXPECT_EQ(22, Notify(parent.m_hWnd, drawn, 7, NM_RCLICK));      // child does not map it
    EXPECT_EQ(21, Notify(parent.m_hWnd, grandchild, 0, NM_CLICK));  // not a direct child
    EXPECT_EQ(std::vector<std::string>{ "child click" }, child.calls);
    EXPECT_EQ((std::vector<std::string>{ "parent rclick", "parent click" }), parent.calls);

    // Real control notifications: the button's click and its owner-draw request.
    child.calls.clear();
    parent.calls.clear();
    SendMessageA(drawn, BM_CLICK, 0, 0);
    SendMessageA(plain, BM_CLICK, 0, 0);
    EXPECT_EQ(std::vector<std::string>{ "child clicked" }, child.calls);
    EXPECT_EQ(std::vector<std::string>{ "parent clicked" }, parent.calls);

    parent.calls.clear();
    const int drawsBefore = child.draws;
    RedrawWindow(drawn, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_GT(child.draws, drawsBefore);
    EXPECT_TRUE(parent.calls.empty()) << "a reflected WM_DRAWITEM handled by the child stays there";

    DestroyWindow(drawn);
    EXPECT_EQ(nullptr, child.m_hWnd);
    EXPECT_EQ(nullptr, Window::FromHandle(drawn));
}

namespace {

constexpr UINT WM_DESTROY_ME = WM_USER + 10;

class SelfDestroying : public Window {
public:
    std::vector<std::string>* log = nullptr;
    bool deleteInPostNcDestroy = false;

protected:
    LRESULT OnDestroyMe(WPARAM, LPARAM)
    {
        log->push_back("handler begins");
        ::DestroyWindow(m_hWnd);
        log->push_back(m_hWnd == nullptr ? "unbound in handler" : "still bound in handler");
        log->push_back("handler ends");
        return 42;
    }
    LRESULT OnNcDestroy(WPARAM, LPARAM) { log->push_back("WM_NCDESTROY"); return Default(); }
    void PostNcDestroy() override
    {
        log->push_back("PostNcDestroy");
        if (deleteInPostNcDestroy)
            delete this;
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(SelfDestroying, Window)
    ON_MESSAGE(WM_DESTROY_ME, OnDestroyMe)
    ON_MESSAGE(WM_NCDESTROY, OnNcDestroy)
END_MESSAGE_MAP()

} // namespace

TEST(Lifetime, WindowDestroyedInsideItsOwnHandler)
{
    RegisterRecordingClass();
    std::vector<std::string> log;
    SelfDestroying object;
    object.log = &log;
    ASSERT_TRUE(object.CreateEx(0, kRecordingClass, "doomed", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                Rect(0, 0, 100, 100), nullptr, 0));
    HWND window = object.m_hWnd;
    EXPECT_EQ(42, SendMessageA(window, WM_DESTROY_ME, 0, 0));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(nullptr, object.m_hWnd);
    EXPECT_EQ((std::vector<std::string>{ "handler begins", "WM_NCDESTROY", "unbound in handler",
                                         "handler ends", "PostNcDestroy" }), log);

    // An object that deletes itself once its window is gone.
    log.clear();
    auto* heapObject = new SelfDestroying;
    heapObject->log = &log;
    heapObject->deleteInPostNcDestroy = true;
    ASSERT_TRUE(heapObject->CreateEx(0, kRecordingClass, "doomed", WS_OVERLAPPEDWINDOW,
                                     Rect(0, 0, 100, 100), nullptr, 0));
    window = heapObject->m_hWnd;
    EXPECT_EQ(42, SendMessageA(window, WM_DESTROY_ME, 0, 0));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ("PostNcDestroy", log.back());
}

TEST(Lifetime, BindingRulesAndDestructionOfBoundObjects)
{
    PlainWindow host;
    ASSERT_NE(nullptr, host.Handle());
    HWND edit = CreateWindowExA(0, "EDIT", "text", WS_CHILD | WS_VISIBLE, 0, 0, 80, 20, host.Handle(),
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    {
        Window first;
        Window second;
        EXPECT_FALSE(first.SubclassWindow(nullptr));
        ASSERT_TRUE(first.SubclassWindow(edit));
        EXPECT_FALSE(first.SubclassWindow(host.Handle())) << "an object binds one window";
        EXPECT_FALSE(second.SubclassWindow(edit)) << "a window has one object";
        EXPECT_EQ(&first, Window::FromHandle(edit));
        EXPECT_EQ(nullptr, Window::FromHandle(host.Handle()));
        EXPECT_EQ("text", first.GetWindowText());
        first.SetWindowText(std::string(1000, 'x'));
        EXPECT_EQ(std::string(1000, 'x'), first.GetWindowText());
    }
    // The subclassed control outlives its object and still works.
    ASSERT_TRUE(IsWindow(edit));
    EXPECT_EQ(nullptr, Window::FromHandle(edit));
    SetWindowTextA(edit, "after");
    char text[16] = {};
    GetWindowTextA(edit, text, sizeof text);
    EXPECT_STREQ("after", text);

    // A window the object created goes with the object.
    HWND created;
    {
        RegisterRecordingClass();
        Window owner;
        ASSERT_TRUE(owner.CreateEx(0, kRecordingClass, "owned", WS_OVERLAPPEDWINDOW, Rect(0, 0, 50, 50),
                                   nullptr, 0));
        created = owner.m_hWnd;
        EXPECT_FALSE(owner.CreateEx(0, kRecordingClass, "again", WS_OVERLAPPEDWINDOW, Rect(0, 0, 50, 50),
                                    nullptr, 0));
    }
    EXPECT_FALSE(IsWindow(created));

    Window nothing;
    EXPECT_FALSE(nothing.CreateEx(0, "NoSuchWindowClass", "", WS_POPUP, Rect(0, 0, 5, 5), nullptr, 0));
    EXPECT_EQ(nullptr, nothing.m_hWnd);
    EXPECT_FALSE(nothing.DestroyWindow());
}
