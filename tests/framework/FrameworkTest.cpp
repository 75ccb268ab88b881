// The window framework: message tables, reflection, binding and destruction of window objects;
// modal dialogs (owner, loop, nested runs, keys, failing handlers, data exchange, DPI changes);
// strings and message boxes.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/Dialog.h"
#include "framework/Dpi.h"
#include "framework/Resources.h"
#include "tests/framework/TestIds.h"
#include "tests/support/Ui.h"

namespace {

constexpr UINT WM_BASE_ONLY = WM_APP + 2;
constexpr UINT WM_DESTROY_ME = WM_APP + 3;
constexpr UINT WM_CALL = WM_APP + 4;    // runs the dialog's call
constexpr UINT WM_THROW = WM_APP + 5;   // wParam: which failure
constexpr int kId = 10;

// A control that logs what is reflected to it, the key-downs offered to it (it swallows Enter)
// and its parent's DPI changes.
class Control : public Window {
public:
    std::string log;
    BOOL PreTranslateMessage(MSG* message) override
    {
        if (message->message == WM_KEYDOWN)
            log += std::to_string(message->wParam) + ";";
        return message->message == WM_KEYDOWN && message->wParam == VK_RETURN;
    }

protected:
    void OnClickReflect(NMHDR*, LRESULT* result) { log += "n"; *result = 11; }
    void OnClickedReflect() { log += "c"; }
    void OnDrawReflect(DRAWITEMSTRUCT*) { log += "d"; }
    LRESULT OnDpiChanged(WPARAM, LPARAM) { log += "dpi"; return 1; }
    LRESULT OnBaseOnly(WPARAM, LPARAM) { return 2; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(Control, Window)
    ON_NOTIFY_REFLECT(NM_CLICK, OnClickReflect)
    ON_CONTROL_REFLECT(BN_CLICKED, OnClickedReflect)
    ON_DRAWITEM_REFLECT(OnDrawReflect)
    ON_MESSAGE(WM_DPICHANGED_AFTERPARENT, OnDpiChanged)
    ON_MESSAGE(WM_BASE_ONLY, OnBaseOnly)
END_MESSAGE_MAP()

// Also the base whose table is searched after Parent's.
class Parent : public Control {
protected:
    LRESULT OnDpiChanged(WPARAM, LPARAM) { return 3; }
    LRESULT OnTextLength(WPARAM, LPARAM) { return Default() + 100; }
    LRESULT OnDestroyMe(WPARAM, LPARAM) { ::DestroyWindow(m_hWnd); return m_hWnd == nullptr && log.empty(); }
    void PostNcDestroy() override { log += "cleaned up"; }
    void OnClicked() { log += "c"; }
    void OnChange() { log += "e"; }
    void OnClick(NMHDR*, LRESULT* result) { log += "n"; *result = 5; }
    void OnRightClick(NMHDR*, LRESULT* result) { log += "r"; *result = 6; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(Parent, Control)
    ON_MESSAGE(WM_DPICHANGED_AFTERPARENT, OnDpiChanged)
    ON_MESSAGE(WM_GETTEXTLENGTH, OnTextLength)
    ON_MESSAGE(WM_DESTROY_ME, OnDestroyMe)
    ON_COMMAND(kId, OnClicked)
    ON_CONTROL(EN_CHANGE, kId, OnChange)
    ON_NOTIFY(NM_CLICK, kId, OnClick)
    ON_NOTIFY(NM_RCLICK, ANY_ID, OnRightClick)
END_MESSAGE_MAP()

class Probe : public Dialog {
public:
    explicit Probe(Window* parent = nullptr, UINT templateId = IDD_TEST) : Dialog(templateId, parent) {}
    Control edit;
    int check = 5;   // any value but 0 shows checked
    std::string text = "abc";
    std::function<void()> call;
    // Has call run from inside the modal loop; false while there is no window to post to.
    bool Call() { return m_hWnd != nullptr && PostMessageA(m_hWnd, WM_CALL, 0, 0); }

protected:
    BOOL OnInitDialog() override { SetCaptionIcon(IDI_TEST); return Dialog::OnInitDialog(); }
    void DoDataExchange(DataExchange& exchange) override
    {
        DDX_Control(exchange, IDC_TEST_EDIT, edit);
        DDX_Check(exchange, IDC_TEST_CHECK, check);
        DDX_Text(exchange, IDC_TEST_EDIT, text);
    }
    LRESULT OnCall(WPARAM, LPARAM) { call(); return 0; }
    LRESULT OnThrow(WPARAM failure, LPARAM) { throw std::runtime_error("failure " + std::to_string(failure)); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(Probe, Dialog)
    ON_MESSAGE(WM_CALL, OnCall)
    ON_MESSAGE(WM_THROW, OnThrow)
END_MESSAGE_MAP()

HWND CreateChild(const char* className, HWND parent)
{
    return CreateWindowExA(0, className, "", WS_CHILD, 0, 0, 50, 20, parent,
                           reinterpret_cast<HMENU>(kId), nullptr, nullptr);
}

int SmallIconWidth(HWND window)
{
    ICONINFO info{};
    GetIconInfo(reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, ICON_SMALL, 0)), &info);
    BITMAP bitmap{};
    GetObjectA(info.hbmMask, sizeof bitmap, &bitmap);
    const UniqueBitmap mask(info.hbmMask), color(info.hbmColor);
    return bitmap.bmWidth;
}

TEST(Window, TablesReflectionBindingAndDestruction)
{
    Parent parent;   // a static control: its own procedure is the default processing
    ASSERT_TRUE(parent.CreateEx(0, "STATIC", "abc", WS_POPUP, RECT{0, 0, 100, 100}, nullptr, 0));
    const HWND window = parent.m_hWnd;
    EXPECT_EQ(SendMessageA(window, WM_DPICHANGED_AFTERPARENT, 0, 0), 3);
    EXPECT_EQ(SendMessageA(window, WM_BASE_ONLY, 0, 0), 2);
    SetWindowTextA(window, "abcd");   // not mapped: the static keeps the text
    EXPECT_EQ(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0), 104);

    const HWND plain = CreateChild("BUTTON", window);
    const HWND bound = CreateChild("BUTTON", window);
    Control child;
    ASSERT_TRUE(child.SubclassWindow(bound));
    EXPECT_FALSE(child.SubclassWindow(plain)) << "an object has one window";
    EXPECT_FALSE(Window().SubclassWindow(bound)) << "a window has one object";
    child.SetWindowText(std::string(1000, 'x'));
    EXPECT_EQ(child.GetWindowText(), std::string(1000, 'x'));
    ASSERT_TRUE(Window().SubclassWindow(plain));
    EXPECT_NE(SendMessageA(plain, WM_GETDLGCODE, 0, 0), 0) << "the button goes on with its own procedure";

    auto command = [&](int id, int code, HWND from) {
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(from));
    };
    auto notify = [&](HWND from, UINT_PTR id, UINT code) {
        NMHDR header{from, id, code};
        return SendMessageA(window, WM_NOTIFY, id, reinterpret_cast<LPARAM>(&header));
    };
    command(kId, 0, nullptr);   // a menu
    command(kId, BN_CLICKED, plain);
    command(kId, EN_CHANGE, plain);
    command(kId + 1, 0, nullptr);
    command(kId, EN_KILLFOCUS, plain);
    EXPECT_EQ(notify(plain, kId, NM_CLICK), 5);
    EXPECT_EQ(notify(plain, 33, NM_RCLICK), 6);
    EXPECT_EQ(notify(plain, kId + 1, NM_CLICK), 0);
    EXPECT_EQ(notify(plain, kId, NM_DBLCLK), 0);
    EXPECT_EQ(notify(bound, kId, NM_CLICK), 11);
    EXPECT_EQ(notify(bound, kId, NM_RCLICK), 6);   // the child does not map it
    command(kId, BN_CLICKED, bound);
    DRAWITEMSTRUCT item{ODT_BUTTON, kId, 0, 0, 0, bound, nullptr, RECT{}, 0};
    EXPECT_EQ(SendMessageA(window, WM_DRAWITEM, kId, reinterpret_cast<LPARAM>(&item)), TRUE);
    EXPECT_EQ(parent.log, "ccenrr");
    EXPECT_EQ(child.log, "ncd");

    parent.log.clear();
    EXPECT_EQ(SendMessageA(window, WM_DESTROY_ME, 0, 0), TRUE) << "unbound at once, cleaned up later";
    EXPECT_EQ(parent.log, "cleaned up");
}

TEST(Dialog, NestedRunsAreOwnedByTheInnermostAndEndWithTheOuter)
{
    Window host, parent;   // the outer dialog's parent is a child: its owner is the root, host
    ASSERT_TRUE(host.CreateEx(0, "STATIC", "", WS_POPUP | WS_VISIBLE, RECT{0, 0, 200, 200}, nullptr, 0));
    ASSERT_TRUE(parent.CreateEx(0, "STATIC", "", WS_CHILD, RECT{0, 0, 9, 9}, host.m_hWnd, 0));
    Probe outer(&parent), inner(&outer), third(&outer);   // third opens while inner is open
    std::vector<INT_PTR> results;   // of inner, third and a message box, as they end
    outer.call = [&] { results.push_back(inner.DoModal()); };
    inner.call = [&] { results.push_back(third.DoModal()); };
    third.call = [&] { results.push_back(AppMessageBox(outer.m_hWnd, "over", MB_OK)); };
    EXPECT_EQ(ui::Script::Run(outer, {
        [&] { return outer.Call(); },
        [&] { return inner.Call(); },
        [&] { return third.Call(); },
        [&] {
            const HWND box = ui::FindDialog(AppTitle());   // captioned with the title
            if (box == nullptr)
                return false;
            EXPECT_EQ(GetWindow(outer.m_hWnd, GW_OWNER), host.m_hWnd);
            EXPECT_FALSE(IsWindowEnabled(host.m_hWnd));
            EXPECT_EQ(GetWindow(third.m_hWnd, GW_OWNER), inner.m_hWnd);
            EXPECT_EQ(GetWindow(box, GW_OWNER), third.m_hWnd);
            outer.EndDialog(7);
            return true;
        }}, false), 7);
    EXPECT_EQ(results, std::vector<INT_PTR>(3, IDCANCEL));
    EXPECT_TRUE(IsWindowEnabled(host.m_hWnd));
}

// Ended by WM_QUIT, which goes on to the outer loop.
TEST(Dialog, OverAHiddenOwnerItOpensCentredAndTheForegroundGoesBack)
{
    Window front, hidden;
    ASSERT_TRUE(front.CreateEx(0, "STATIC", "", WS_POPUP | WS_VISIBLE, RECT{0, 0, 50, 50}, nullptr, 0));
    ASSERT_TRUE(hidden.CreateEx(0, "STATIC", "", WS_POPUP, RECT{20, 20, 50, 50}, nullptr, 0));
    SetForegroundWindow(front.m_hWnd);
    Probe dialog(&hidden);
    RECT work{}, rect{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(ui::Script::Run(dialog, {ui::Script::Do([&] {
        GetWindowRect(dialog.m_hWnd, &rect);
        SetForegroundWindow(hidden.m_hWnd);   // as Windows does as the dialog goes (Wine does not)
        PostQuitMessage(5);
    })}, false), IDCANCEL);
    EXPECT_NEAR(rect.left + rect.right, work.left + work.right, 1);
    EXPECT_NEAR(rect.top + rect.bottom, work.top + work.bottom, 1);
    EXPECT_EQ(GetForegroundWindow(), front.m_hWnd);
    MSG quit{};
    EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) && quit.wParam == 5);
}

TEST(Dialog, AFailingHandlerIsToldOnceAndTheProgramGoesOn)
{
    Probe dialog;
    bool wentOn = false;
    dialog.call = [&] {
        for (WPARAM failure : {1, 1, 2})   // the same failure again is not told
            SendMessageA(dialog.m_hWnd, WM_THROW, failure, 0);
        wentOn = true;
    };
    std::vector<std::string> told;
    auto answerBox = [&] {
        const HWND box = ui::FindDialog(AppTitle());
        return box != nullptr && (told.push_back(ui::BoxText(box)), PostMessageA(box, WM_COMMAND, IDOK, 0));
    };
    EXPECT_EQ(ui::Script::Run(dialog, {[&] { return dialog.Call(); }, answerBox, answerBox,
                                       [&] { return wentOn && dialog.DestroyWindow(); }}, false),
              IDCANCEL) << "the run ends with its window";
    EXPECT_EQ(told, std::vector<std::string>({"Failed:\n\nfailure 1", "Failed:\n\nfailure 2"}));
}

// The same object runs twice: its control binds to each new window.
TEST(Dialog, KeysDataExchangeAndADpiChange)
{
    Probe dialog;
    auto key = [&](WPARAM code) { PostMessageA(dialog.edit.m_hWnd, WM_KEYDOWN, code, 0); };
    EXPECT_EQ(ui::Script::Run(dialog, {
        ui::Script::Do([&] { ShowWindow(dialog.m_hWnd, SW_HIDE); key(VK_ESCAPE); }),   // hidden: ignored
        ui::Script::Do([&] {
            ShowWindow(dialog.m_hWnd, SW_SHOW);
            CheckDlgButton(dialog.m_hWnd, IDC_TEST_CHECK, BST_UNCHECKED);
            key(VK_RETURN);   // the edit swallows it: OK is not pressed
            key(VK_ESCAPE);   // the edit, then the dialog manager
        })}, false), IDCANCEL);
    EXPECT_EQ(dialog.check, 5) << "Cancel copies nothing back";

    const std::string longText(700, 'w');
    EXPECT_EQ(ui::Script::Run(dialog, {ui::Script::Do([&] {
        const HWND window = dialog.m_hWnd;
        EXPECT_EQ(IsDlgButtonChecked(window, IDC_TEST_CHECK), BST_CHECKED);
        EXPECT_EQ(ui::Text(dialog.edit.m_hWnd), "abc");
        EXPECT_EQ(SmallIconWidth(window), 16);
        RECT suggested{100, 100, 500, 400}, now{};
        SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
        GetWindowRect(window, &now);
        EXPECT_TRUE(EqualRect(&now, &suggested));
        EXPECT_EQ(dialog.Dpi(), 192u);
        EXPECT_EQ(SmallIconWidth(window), 32);
        CheckDlgButton(window, IDC_TEST_CHECK, BST_UNCHECKED);
        SetDlgItemTextA(window, IDC_TEST_EDIT, longText.c_str());
        ui::SendCommand(window, IDOK);
    })}, false), IDOK);
    EXPECT_EQ(dialog.edit.log, "13;27;dpi");
    EXPECT_EQ(dialog.check, 0);
    EXPECT_EQ(dialog.text, longText);
}

TEST(Resources, LongStringsAreReadWholeAndTheTitleIsTheProgramsName)
{
    EXPECT_EQ(LoadResString(IDS_TEST_LONG).size(), 480u);
    EXPECT_EQ(AppTitle(), "framework_tests");
}

} // namespace
