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

using Calls = std::vector<std::string>;

constexpr UINT WM_BOTH = WM_USER + 1;        // mapped by base and derived
constexpr UINT WM_UNMAPPED = WM_USER + 2;
constexpr UINT WM_BASE_ONLY = WM_USER + 3;
constexpr UINT WM_EXTENDS = WM_USER + 4;     // derived handler adds to the default answer
constexpr UINT WM_DESTROY_ME = WM_USER + 10;
constexpr UINT ID_BUTTON = 10;
constexpr UINT ID_LIST = 20;

HWND Child(const char* className, DWORD style, HWND parent, UINT_PTR id = 0)
{
    return CreateWindowExA(0, className, "text", WS_CHILD | WS_VISIBLE | style, 10, 10, 80, 24, parent,
                           reinterpret_cast<HMENU>(id), GetModuleHandleA(nullptr), nullptr);
}

LRESULT Notify(HWND target, HWND from, UINT_PTR id, UINT code)
{
    NMHDR header{ from, id, code };
    return SendMessageA(target, WM_NOTIFY, id, reinterpret_cast<LPARAM>(&header));
}

// Creates a top-level window of the recording class bound to object.
bool Create(Window& object, DWORD style = WS_OVERLAPPEDWINDOW)
{
    RegisterRecordingClass();
    return object.CreateEx(0, kRecordingClass, "test", style, RECT{ 50, 50, 350, 250 }, nullptr, 0);
}

const UINT WM_TEST_REGISTERED = RegisterWindowMessageA("Framework test registered");

class BaseObject : public Window {
public:
    Calls calls;

protected:
    LRESULT OnBoth(WPARAM, LPARAM) { calls.push_back("base both"); return 1; }
    LRESULT OnBaseOnly(WPARAM, LPARAM) { calls.push_back("base only"); return 3; }
    LRESULT OnPushDefault(WPARAM, LPARAM) { calls.push_back("push default"); return 9; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(BaseObject, Window)
    ON_MESSAGE(WM_BOTH, OnBoth)
    ON_MESSAGE(WM_BASE_ONLY, OnBaseOnly)
    ON_REGISTERED_MESSAGE(WM_TEST_REGISTERED, OnPushDefault)
END_MESSAGE_MAP()

// Also the parent of the command, notification and reflection tests.
class DerivedObject : public BaseObject {
public:
    int creates = 0;

protected:
    LRESULT OnBoth(WPARAM, LPARAM) { calls.push_back("derived both"); return 2; }
    LRESULT OnExtends(WPARAM, LPARAM) { return Default() + 100; }
    LRESULT OnCreateMessage(WPARAM, LPARAM) { ++creates; return Default(); }
    void OnButton() { calls.push_back("button"); }
    void OnEditChange() { calls.push_back("change"); }
    void OnListClick(NMHDR* header, LRESULT* result) { calls.push_back("click " + std::to_string(header->idFrom)); *result = 5; }
    void OnAnyRightClick(NMHDR* header, LRESULT* result) { calls.push_back("rclick " + std::to_string(header->idFrom)); *result = 6; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DerivedObject, BaseObject)
    ON_MESSAGE(WM_BOTH, OnBoth)
    ON_MESSAGE(WM_EXTENDS, OnExtends)
    ON_MESSAGE(WM_CREATE, OnCreateMessage)
    ON_COMMAND(ID_BUTTON, OnButton)
    ON_CONTROL(EN_CHANGE, ID_BUTTON, OnEditChange)
    ON_NOTIFY(NM_CLICK, ID_LIST, OnListClick)
    ON_NOTIFY(NM_RCLICK, ANY_ID, OnAnyRightClick)
END_MESSAGE_MAP()

TEST(MessageMap, DerivedTableFirstThenBaseThenDefaultProcessing)
{
    DerivedObject object;
    ASSERT_TRUE(Create(object));
    EXPECT_EQ(1, object.creates) << "WM_CREATE must reach the object of a window it creates";
    EXPECT_EQ(&object, Window::FromHandle(object.m_hWnd));

    ClassProcMessages().clear();
    EXPECT_EQ(2, SendMessageA(object.m_hWnd, WM_BOTH, 0, 0));
    EXPECT_EQ(3, SendMessageA(object.m_hWnd, WM_BASE_ONLY, 0, 0));
    EXPECT_EQ(9, SendMessageA(object.m_hWnd, WM_TEST_REGISTERED, 0, 0));
    EXPECT_EQ((Calls{ "derived both", "base only", "push default" }), object.calls);
    EXPECT_TRUE(ClassProcMessages().empty()) << "handled messages must not reach default processing";

    EXPECT_EQ(kClassProcAnswer, SendMessageA(object.m_hWnd, WM_UNMAPPED, 0, 0));
    EXPECT_EQ(kClassProcAnswer + 100, SendMessageA(object.m_hWnd, WM_EXTENDS, 0, 0));
    EXPECT_TRUE(SawInClassProc(WM_EXTENDS)) << "Default() must reach the class procedure";

    EXPECT_TRUE(object.DestroyWindow());
    EXPECT_EQ(nullptr, object.m_hWnd);
}

TEST(MessageMap, CommandsAndNotificationsMatchIdAndCode)
{
    DerivedObject target;
    ASSERT_TRUE(Create(target));
    HWND edit = Child("EDIT", 0, target.m_hWnd, ID_BUTTON);
    auto command = [&](UINT id, UINT code, HWND from) {
        SendMessageA(target.m_hWnd, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(from));
    };

    ClassProcMessages().clear();
    command(ID_BUTTON, 0, nullptr);            // menu
    command(ID_BUTTON, 1, nullptr);            // accelerator
    command(ID_BUTTON, BN_CLICKED, edit);
    command(ID_BUTTON, EN_CHANGE, edit);
    EXPECT_EQ((Calls{ "button", "button", "button", "change" }), target.calls);
    EXPECT_FALSE(SawInClassProc(WM_COMMAND));

    // Another id, another code: default processing.
    command(ID_BUTTON + 1, 0, nullptr);
    command(ID_BUTTON, EN_KILLFOCUS, edit);
    EXPECT_EQ(4u, target.calls.size());
    EXPECT_TRUE(SawInClassProc(WM_COMMAND));

    target.calls.clear();
    EXPECT_EQ(5, Notify(target.m_hWnd, edit, ID_LIST, NM_CLICK));
    EXPECT_EQ(6, Notify(target.m_hWnd, edit, 33, NM_RCLICK));
    ClassProcMessages().clear();
    EXPECT_EQ(0, Notify(target.m_hWnd, edit, ID_LIST + 1, NM_CLICK));
    EXPECT_EQ(0, Notify(target.m_hWnd, edit, ID_LIST, NM_DBLCLK));
    EXPECT_EQ((Calls{ "click 20", "rclick 33" }), target.calls);
    EXPECT_TRUE(SawInClassProc(WM_NOTIFY));
}

class ReflectingChild : public Window {
public:
    Calls calls;

protected:
    void OnClickReflect(NMHDR*, LRESULT* result) { calls.push_back("child click"); *result = 11; }
    void OnClickedReflect() { calls.push_back("child clicked"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ReflectingChild, Window)
    ON_NOTIFY_REFLECT(NM_CLICK, OnClickReflect)
    ON_CONTROL_REFLECT(BN_CLICKED, OnClickedReflect)
END_MESSAGE_MAP()

TEST(Reflection, ChildObjectFirstThenParentTable)
{
    DerivedObject parent;
    ASSERT_TRUE(Create(parent, WS_OVERLAPPEDWINDOW | WS_VISIBLE));
    parent.calls.clear();
    // Both buttons carry the id the parent maps, so a reflected message that also reached the
    // parent would show there.
    HWND bound = Child("BUTTON", BS_PUSHBUTTON, parent.m_hWnd, ID_BUTTON);
    HWND plain = Child("BUTTON", BS_PUSHBUTTON, parent.m_hWnd, ID_BUTTON);
    ReflectingChild child;
    ASSERT_TRUE(child.SubclassWindow(bound));
    HWND grandchild = Child("STATIC", 0, bound);   // its notifications are not the child's own

    EXPECT_EQ(11, Notify(parent.m_hWnd, bound, ID_LIST, NM_CLICK));
    EXPECT_EQ(6, Notify(parent.m_hWnd, bound, ID_LIST, NM_RCLICK));       // child does not map it
    EXPECT_EQ(5, Notify(parent.m_hWnd, grandchild, ID_LIST, NM_CLICK));   // not a direct child
    EXPECT_EQ(Calls{ "child click" }, child.calls);
    EXPECT_EQ((Calls{ "rclick 20", "click 20" }), parent.calls);

    // Real control notifications: the buttons' clicks. (The icon button's drawing tests go
    // through the reflected WM_DRAWITEM.)
    child.calls.clear();
    parent.calls.clear();
    SendMessageA(bound, BM_CLICK, 0, 0);
    SendMessageA(plain, BM_CLICK, 0, 0);
    EXPECT_EQ(Calls{ "child clicked" }, child.calls);
    EXPECT_EQ(Calls{ "button" }, parent.calls);

    DestroyWindow(bound);
    EXPECT_EQ(nullptr, child.m_hWnd);
    EXPECT_EQ(nullptr, Window::FromHandle(bound));
}

class SelfDestroying : public Window {
public:
    Calls* log = nullptr;
    bool deleteInPostNcDestroy = false;

protected:
    LRESULT OnDestroyMe(WPARAM, LPARAM)
    {
        log->push_back("handler begins");
        ::DestroyWindow(m_hWnd);
        log->push_back(m_hWnd == nullptr ? "unbound in handler" : "still bound in handler");
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

TEST(Lifetime, WindowDestroyedInsideItsOwnHandler)
{
    Calls log;
    SelfDestroying object;
    object.log = &log;
    ASSERT_TRUE(Create(object, WS_OVERLAPPEDWINDOW | WS_VISIBLE));
    HWND window = object.m_hWnd;
    EXPECT_EQ(42, SendMessageA(window, WM_DESTROY_ME, 0, 0));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(nullptr, object.m_hWnd);
    EXPECT_EQ((Calls{ "handler begins", "WM_NCDESTROY", "unbound in handler", "PostNcDestroy" }), log);

    // An object that deletes itself once its window is gone.
    log.clear();
    auto* heapObject = new SelfDestroying;
    heapObject->log = &log;
    heapObject->deleteInPostNcDestroy = true;
    ASSERT_TRUE(Create(*heapObject));
    window = heapObject->m_hWnd;
    EXPECT_EQ(42, SendMessageA(window, WM_DESTROY_ME, 0, 0));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ("PostNcDestroy", log.back());
}

TEST(Lifetime, BindingRulesAndDestructionOfBoundObjects)
{
    PlainWindow host;
    HWND edit = Child("EDIT", 0, host.Handle());
    {
        Window first;
        Window second;
        EXPECT_FALSE(first.SubclassWindow(nullptr));
        ASSERT_TRUE(first.SubclassWindow(edit));
        EXPECT_FALSE(first.SubclassWindow(host.Handle())) << "an object binds one window";
        EXPECT_FALSE(second.SubclassWindow(edit)) << "a window has one object";
        EXPECT_EQ(&first, Window::FromHandle(edit));
        EXPECT_EQ(nullptr, Window::FromHandle(host.Handle()));
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
        Window owner;
        ASSERT_TRUE(Create(owner));
        created = owner.m_hWnd;
        EXPECT_FALSE(Create(owner));
    }
    EXPECT_FALSE(IsWindow(created));

    Window nothing;
    EXPECT_FALSE(nothing.CreateEx(0, "NoSuchWindowClass", "", WS_POPUP, RECT{ 0, 0, 5, 5 }, nullptr, 0));
    EXPECT_EQ(nullptr, nothing.m_hWnd);
    EXPECT_FALSE(nothing.DestroyWindow());
}

} // namespace
