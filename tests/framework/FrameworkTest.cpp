// The window framework: message tables, reflection, binding and destruction of window objects;
// modal dialogs (owner, loop, keys, failing handlers, data exchange, DPI changes);
// strings and message boxes.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <stdexcept>
#include <tuple>

#include "framework/Application.h"
#include "framework/Dialog.h"
#include "framework/Dpi.h"
#include "framework/Resources.h"
#include "tests/framework/TestIds.h"
#include "tests/support/Ui.h"

namespace {

constexpr UINT WM_DESTROY_ME = WM_APP + 1;
constexpr UINT WM_CALL = WM_APP + 2;    // runs the dialog's call
constexpr UINT WM_THROW = WM_APP + 3;   // wParam: which failure
constexpr int kId = 10;

// A control that swallows Enter and logs what is reflected to it and its parent's DPI changes.
class Control : public Window {
public:
    std::string log;
    BOOL PreTranslateMessage(MSG* message) override
    {
        return message->message == WM_KEYDOWN && message->wParam == VK_RETURN;
    }
    void OnClickReflect(NMHDR*, LRESULT* result) { log += "n"; *result = 11; }
    void OnClickedReflect() { log += "c"; }
    void OnDrawReflect(DRAWITEMSTRUCT*) { log += "d"; }
    LRESULT OnDpiChanged(WPARAM, LPARAM) { log += "dpi"; return 1; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(Control, Window)
    ON_NOTIFY_REFLECT(NM_CLICK, OnClickReflect)
    ON_CONTROL_REFLECT(BN_CLICKED, OnClickedReflect)
    ON_DRAWITEM_REFLECT(OnDrawReflect)
    ON_MESSAGE(WM_DPICHANGED_AFTERPARENT, OnDpiChanged)
END_MESSAGE_MAP()

// A top-level window that logs the commands and notifications its table maps, and its clean-up.
class Parent : public Window {
public:
    std::string log;
    LRESULT OnDestroyMe(WPARAM, LPARAM) { ::DestroyWindow(m_hWnd); return m_hWnd == nullptr && log.empty(); }
    void PostNcDestroy() override { log += "cleaned up"; }
    void OnClicked() { log += "c"; }
    void OnChange() { log += "e"; }
    void OnClick(NMHDR*, LRESULT* result) { log += "n"; *result = 5; }
    void OnRightClick(NMHDR*, LRESULT* result) { log += "r"; *result = 6; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(Parent, Window)
    ON_MESSAGE(WM_DESTROY_ME, OnDestroyMe)
    ON_COMMAND(kId, OnClicked)
    ON_CONTROL(EN_CHANGE, kId, OnChange)
    ON_NOTIFY(NM_CLICK, kId, OnClick)
    ON_NOTIFY(NM_RCLICK, ANY_ID, OnRightClick)
END_MESSAGE_MAP()

// A dialog whose data and control live in members, that runs its call from inside its modal
// loop, and whose handler can fail.
class Probe : public Dialog {
public:
    explicit Probe(Window* parent = nullptr) : Dialog(IDD_TEST, parent) {}
    Control edit;
    int check = 5;   // any value but 0 shows checked
    std::string text = "abc";
    std::function<void()> call;
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

TEST(Window, TablesReflectionBindingAndDestruction)
{
    Parent parent;
    ASSERT_TRUE(parent.CreateEx(0, "STATIC", "", WS_POPUP, RECT{0, 0, 100, 100}, nullptr, 0));
    const HWND window = parent.m_hWnd;
    auto button = [&] {
        return CreateWindowExA(0, "BUTTON", "", WS_CHILD, 0, 0, 50, 20, window, reinterpret_cast<HMENU>(kId),
                               nullptr, nullptr);
    };
    const HWND plain = button(), bound = button();
    Control child;
    ASSERT_TRUE(child.SubclassWindow(bound));
    EXPECT_FALSE(child.SubclassWindow(plain)) << "an object has one window";
    EXPECT_FALSE(Window().SubclassWindow(bound)) << "a window has one object";
    child.SetWindowText(std::string(1000, 'x'));
    EXPECT_EQ(child.GetWindowText(), std::string(1000, 'x'));
    ASSERT_TRUE(Window().SubclassWindow(plain));
    EXPECT_NE(SendMessageA(plain, WM_GETDLGCODE, 0, 0), 0) << "the button goes on with its own procedure";

    const std::tuple<int, int, HWND> commands[] = {   // an accelerator, a control's, others, the child's
        {kId, 1, nullptr}, {kId, EN_CHANGE, plain}, {kId + 1, 0, nullptr}, {kId, EN_KILLFOCUS, plain},
        {kId, BN_CLICKED, bound}};
    for (const auto& [id, code, from] : commands)
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(from));
    const std::tuple<HWND, UINT_PTR, UINT, LRESULT> notifications[] = {   // the child maps only NM_CLICK
        {plain, kId, NM_CLICK, 5}, {plain, 33, NM_RCLICK, 6}, {plain, kId + 1, NM_CLICK, 0},
        {plain, kId, NM_DBLCLK, 0}, {bound, kId, NM_CLICK, 11}, {bound, kId, NM_RCLICK, 6}};
    for (const auto& [from, id, code, result] : notifications) {
        NMHDR header{from, id, code};
        EXPECT_EQ(SendMessageA(window, WM_NOTIFY, id, reinterpret_cast<LPARAM>(&header)), result) << id << " " << code;
    }
    DRAWITEMSTRUCT item{ODT_BUTTON, kId, 0, 0, 0, bound, nullptr, RECT{}, 0};
    EXPECT_EQ(SendMessageA(window, WM_DRAWITEM, kId, reinterpret_cast<LPARAM>(&item)), TRUE);
    EXPECT_EQ(parent.log, "cenrr");
    EXPECT_EQ(child.log, "cnd");

    parent.log.clear();
    EXPECT_EQ(SendMessageA(window, WM_DESTROY_ME, 0, 0), TRUE) << "unbound at once, cleaned up later";
    EXPECT_EQ(parent.log, "cleaned up");
}

// The owner is disabled while the run lasts. This run ends by WM_QUIT, which goes on to the outer
// loop.
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
        EXPECT_FALSE(IsWindowEnabled(hidden.m_hWnd));
        SetForegroundWindow(hidden.m_hWnd);   // as Windows does as the dialog goes (Wine does not)
        PostQuitMessage(5);
    })}, false), IDCANCEL);
    EXPECT_NEAR(rect.left + rect.right, work.left + work.right, 1);
    EXPECT_NEAR(rect.top + rect.bottom, work.top + work.bottom, 1);
    EXPECT_EQ(GetForegroundWindow(), front.m_hWnd);
    EXPECT_TRUE(IsWindowEnabled(hidden.m_hWnd));
    MSG quit{};
    EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) && quit.wParam == 5);
}

TEST(Dialog, AFailingHandlerIsToldOnceAndTheProgramGoesOn)
{
    Probe dialog;
    dialog.call = [&] {
        for (WPARAM failure : {1, 1, 2})   // the same failure again is not told
            SendMessageA(dialog.m_hWnd, WM_THROW, failure, 0);
    };
    std::vector<std::string> told;
    auto answerBox = [&] {
        const HWND box = ui::FindDialog(AppTitle());
        return box != nullptr && (told.push_back(ui::BoxText(box)), PostMessageA(box, WM_COMMAND, IDOK, 0));
    };
    const ui::Script::Step call = ui::Script::Do([&] { PostMessageA(dialog.m_hWnd, WM_CALL, 0, 0); });
    EXPECT_EQ(ui::Script::Run(dialog, {call, answerBox, answerBox, [&] { return dialog.DestroyWindow(); }}, false),
              IDCANCEL) << "the run ends with its window";
    EXPECT_EQ(told, std::vector<std::string>({"Failed:\n\nfailure 1", "Failed:\n\nfailure 2"}));
}

// A hidden dialog acts on no key; a shown one offers each to its control first, then to the dialog
// manager. Cancel copies nothing back, OK everything. The same object runs twice: its control
// binds to each new window.
TEST(Dialog, KeysDataExchangeAndADpiChange)
{
    Probe dialog;
    auto key = [&](WPARAM code) { PostMessageA(dialog.edit.m_hWnd, WM_KEYDOWN, code, 0); };
    auto smallIcon = [&] {
        return ui::IconSide(reinterpret_cast<HICON>(SendMessageA(dialog.m_hWnd, WM_GETICON, ICON_SMALL, 0)));
    };
    EXPECT_EQ(ui::Script::Run(dialog, {
        ui::Script::Do([&] { ShowWindow(dialog.m_hWnd, SW_HIDE); key(VK_ESCAPE); }),   // hidden: ignored
        ui::Script::Do([&] {
            ShowWindow(dialog.m_hWnd, SW_SHOW);
            CheckDlgButton(dialog.m_hWnd, IDC_TEST_CHECK, BST_UNCHECKED);
            key(VK_RETURN);   // the edit swallows it: OK is not pressed
            key(VK_ESCAPE);   // the edit, then the dialog manager
        })}, false), IDCANCEL);

    EXPECT_EQ(ui::Script::Run(dialog, {ui::Script::Do([&] {
        const HWND window = dialog.m_hWnd;
        EXPECT_EQ(IsDlgButtonChecked(window, IDC_TEST_CHECK), BST_CHECKED);
        EXPECT_EQ(ui::Text(dialog.edit.m_hWnd), "abc");
        EXPECT_EQ(smallIcon(), 16);
        RECT suggested{100, 100, 500, 400}, now{};
        SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
        GetWindowRect(window, &now);
        EXPECT_TRUE(EqualRect(&now, &suggested));
        EXPECT_EQ(smallIcon(), 32);
        CheckDlgButton(window, IDC_TEST_CHECK, BST_UNCHECKED);
        SetDlgItemTextA(window, IDC_TEST_EDIT, std::string(700, 'w').c_str());
        ui::SendCommand(window, IDOK);
    })}, false), IDOK);
    EXPECT_EQ(dialog.edit.log, "dpi");
    EXPECT_EQ(dialog.check, 0);
    EXPECT_EQ(dialog.text, std::string(700, 'w'));
}

TEST(Resources, LongStringsAreReadWholeAndTheTitleIsTheProgramsName)
{
    EXPECT_EQ(LoadResString(IDS_TEST_LONG).size(), 480u);
    EXPECT_EQ(AppTitle(), "framework_tests");
}

} // namespace
