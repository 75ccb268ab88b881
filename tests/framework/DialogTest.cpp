// Modal dialogs: creation, the modal loop and its owner, nested loops, timers, WM_QUIT.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/Dialog.h"
#include "framework/Resources.h"
#include "tests/framework/TestIds.h"
#include "tests/framework/TestSupport.h"

namespace {

size_t IndexOf(const std::vector<UINT>& messages, UINT message)
{
    return static_cast<size_t>(std::find(messages.begin(), messages.end(), message) - messages.begin());
}

// A window object around an existing window, to serve as a dialog's parent.
class Host : public Window {};

} // namespace

TEST(Dialog, ModalRunReturnsEndDialogResultWithOwnerDisabled)
{
    PlainWindow top(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND child = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, top.Handle(),
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    Host parent;
    ASSERT_TRUE(parent.SubclassWindow(child));

    ScriptedDialog dialog(IDD_TEST_HIDDEN, &parent);
    HWND owner = nullptr;
    bool ownerEnabled = true;
    bool visible = false;
    HWND window = nullptr;
    dialog.script = [&](ScriptedDialog& d) {
        window = d.m_hWnd;
        owner = GetWindow(d.m_hWnd, GW_OWNER);
        ownerEnabled = IsWindowEnabled(top.Handle()) != FALSE;
        visible = IsWindowVisible(d.m_hWnd) != FALSE;
        d.EndDialog(42);
    };
    EXPECT_EQ(42, dialog.DoModal());
    EXPECT_EQ(top.Handle(), owner) << "the owner is the root of the given parent";
    EXPECT_FALSE(ownerEnabled);
    EXPECT_TRUE(visible) << "a template without WS_VISIBLE is shown by DoModal";
    EXPECT_TRUE(IsWindowEnabled(top.Handle()));
    EXPECT_EQ(top.Handle(), GetActiveWindow()) << "activation returns to the owner";
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(nullptr, dialog.m_hWnd);

    // The object runs again; the first messages of the new window reach it, before WM_INITDIALOG.
    dialog.seen.clear();
    dialog.script = [](ScriptedDialog& d) { d.EndDialog(43); };
    EXPECT_EQ(43, dialog.DoModal());
    const auto& seen = dialog.seen;
    ASSERT_LT(IndexOf(seen, WM_INITDIALOG), seen.size());
    EXPECT_LT(IndexOf(seen, WM_NCCREATE), IndexOf(seen, WM_INITDIALOG));
    EXPECT_LT(IndexOf(seen, WM_SETFONT), IndexOf(seen, WM_INITDIALOG));

    // A sizable dialog is asked for its tracking limits while it is being created.
    ScriptedDialog sizable(IDD_TEST_VISIBLE);
    sizable.script = [](ScriptedDialog& d) { d.EndDialog(IDOK); };
    EXPECT_EQ(IDOK, sizable.DoModal());
    EXPECT_LT(IndexOf(sizable.seen, WM_GETMINMAXINFO), IndexOf(sizable.seen, WM_INITDIALOG));
}

TEST(Dialog, OwnerAlreadyDisabledStaysDisabledAndMissingTemplateFails)
{
    PlainWindow top(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    Host parent;
    ASSERT_TRUE(parent.SubclassWindow(top.Handle()));

    EnableWindow(top.Handle(), FALSE);
    ScriptedDialog dialog(IDD_TEST_VISIBLE, &parent);
    dialog.script = [](ScriptedDialog& d) { d.EndDialog(IDOK); };
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_FALSE(IsWindowEnabled(top.Handle()));
    EnableWindow(top.Handle(), TRUE);

    ScriptedDialog missing(IDD_TEST_MISSING, &parent);
    EXPECT_EQ(-1, missing.DoModal());
    EXPECT_TRUE(IsWindowEnabled(top.Handle()));
}

namespace {

// Maps the cancel command itself: the framework's OnCancel must not run.
class KeepOpenDialog : public ScriptedDialog {
public:
    using ScriptedDialog::ScriptedDialog;
    int cancels = 0;

protected:
    void OnCancelCommand() { ++cancels; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(KeepOpenDialog, ScriptedDialog)
    ON_COMMAND(IDCANCEL, OnCancelCommand)
END_MESSAGE_MAP()

} // namespace

TEST(Dialog, OkAndCancelCommandsEndTheRunUnlessMapped)
{
    ScriptedDialog dialog(IDD_TEST_VISIBLE);
    dialog.script = [](ScriptedDialog& d) { PostMessageA(d.m_hWnd, WM_CLOSE, 0, 0); };   // close box
    EXPECT_EQ(IDCANCEL, dialog.DoModal());

    dialog.script = [](ScriptedDialog& d) { SendMessageA(d.GetDlgItem(IDOK), BM_CLICK, 0, 0); };
    EXPECT_EQ(IDOK, dialog.DoModal());

    KeepOpenDialog keepOpen(IDD_TEST_VISIBLE);
    keepOpen.script = [](ScriptedDialog& d) {
        SendMessageA(d.m_hWnd, WM_CLOSE, 0, 0);   // the dialog manager posts the cancel command
        SendMessageA(d.GetDlgItem(IDCANCEL), BM_CLICK, 0, 0);
        d.SetTimer(1, 100);
    };
    keepOpen.onTimer = [](ScriptedDialog& d, UINT_PTR) { d.EndDialog(5); };
    EXPECT_EQ(5, keepOpen.DoModal());
    EXPECT_EQ(2, keepOpen.cancels);
}

namespace {

// Records the PreTranslateMessage calls of the modal loop for key-downs; can swallow Enter.
class KeyLog {
public:
    std::vector<std::string> entries;
    void Add(const char* who, const MSG& message)
    {
        if (message.message == WM_KEYDOWN)
            entries.push_back(std::string(who) + (message.wParam == VK_RETURN ? " enter" : " space"));
    }
};

class KeyEdit : public Window {
public:
    KeyLog* log = nullptr;
    bool swallowEnter = false;
    BOOL PreTranslateMessage(MSG* message) override
    {
        log->Add("edit", *message);
        return swallowEnter && message->message == WM_KEYDOWN && message->wParam == VK_RETURN;
    }
};

class KeyDialog : public ScriptedDialog {
public:
    KeyDialog() : ScriptedDialog(IDD_TEST_HIDDEN) {}
    KeyLog log;
    KeyEdit edit;
    int oks = 0;
    BOOL PreTranslateMessage(MSG* message) override
    {
        log.Add("dialog", *message);
        return ScriptedDialog::PreTranslateMessage(message);
    }

protected:
    void DoDataExchange(DataExchange& exchange) override { DDX_Control(exchange, IDC_TEST_EDIT, edit); }
    void OnOK() override
    {
        ++oks;
        ScriptedDialog::OnOK();
    }
};

} // namespace

TEST(Dialog, PreTranslateMessageSeesKeysBeforeTheDialogManager)
{
    KeyDialog dialog;
    dialog.edit.log = &dialog.log;
    dialog.script = [](ScriptedDialog& d) {
        HWND edit = d.GetDlgItem(IDC_TEST_EDIT);
        PostMessageA(edit, WM_KEYDOWN, VK_SPACE, 0);
        PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
    };
    EXPECT_EQ(IDOK, dialog.DoModal()) << "Enter not swallowed: the dialog manager presses OK";
    EXPECT_EQ((std::vector<std::string>{ "edit space", "dialog space", "edit enter", "dialog enter" }),
              dialog.log.entries);
    EXPECT_EQ(1, dialog.oks);

    KeyDialog swallowing;
    swallowing.edit.log = &swallowing.log;
    swallowing.edit.swallowEnter = true;
    swallowing.script = [](ScriptedDialog& d) {
        PostMessageA(d.GetDlgItem(IDC_TEST_EDIT), WM_KEYDOWN, VK_RETURN, 0);
        d.SetTimer(1, 50);
    };
    swallowing.onTimer = [](ScriptedDialog& d, UINT_PTR) { d.EndDialog(99); };
    EXPECT_EQ(99, swallowing.DoModal());
    EXPECT_EQ(std::vector<std::string>{ "edit enter" }, swallowing.log.entries);
    EXPECT_EQ(0, swallowing.oks);
}

TEST(Dialog, TimersRunInsideNestedDialogsAndMessageBoxes)
{
    // Outer dialog's timer keeps ticking while an inner dialog runs its own loop.
    ScriptedDialog outer(IDD_TEST_VISIBLE);
    ScriptedDialog inner(IDD_TEST_VISIBLE, &outer);
    bool innerRunning = false;
    int ticksDuringInner = 0;
    INT_PTR innerResult = 0;
    bool outerDisabledDuringInner = false;
    outer.onTimer = [&](ScriptedDialog&, UINT_PTR) {
        if (!innerRunning)
            return;
        outerDisabledDuringInner = !IsWindowEnabled(outer.m_hWnd);
        if (++ticksDuringInner == 3)
            inner.EndDialog(7);
    };
    outer.script = [&](ScriptedDialog& d) {
        d.SetTimer(1, 20);
        innerRunning = true;
        innerResult = inner.DoModal();
        innerRunning = false;
        d.EndDialog(8);
    };
    EXPECT_EQ(8, outer.DoModal());
    EXPECT_EQ(7, innerResult);
    EXPECT_EQ(3, ticksDuringInner);
    EXPECT_TRUE(outerDisabledDuringInner);

    // A timer of the dialog ticks inside a message box of the system and closes it.
    ScriptedDialog boxOwner(IDD_TEST_VISIBLE);
    int ticksDuringBox = 0;
    int boxResult = 0;
    std::string boxCaption;
    bool inBox = false;
    boxOwner.onTimer = [&](ScriptedDialog& d, UINT_PTR) {
        if (!inBox)
            return;
        HWND box = FindMessageBox(d.m_hWnd);
        if (box == nullptr || ++ticksDuringBox < 3)
            return;
        char caption[64] = {};
        GetWindowTextA(box, caption, sizeof caption);
        boxCaption = caption;
        SendMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
    };
    boxOwner.script = [&](ScriptedDialog& d) {
        d.SetTimer(1, 20);
        inBox = true;
        boxResult = AppMessageBox(d.m_hWnd, "Ticks go on", MB_OK);
        inBox = false;
        d.EndDialog(IDOK);
    };
    EXPECT_EQ(IDOK, boxOwner.DoModal());
    EXPECT_EQ(IDOK, boxResult);
    EXPECT_EQ(3, ticksDuringBox);
    EXPECT_EQ(AppTitle(), boxCaption);
}

TEST(Dialog, QuitInsideNestedLoopEndsEveryLoopAndReachesTheOuterOne)
{
    ScriptedDialog outer(IDD_TEST_VISIBLE);
    ScriptedDialog inner(IDD_TEST_VISIBLE, &outer);
    INT_PTR innerResult = 0;
    HWND innerWindow = nullptr;
    bool afterInner = false;
    inner.script = [&](ScriptedDialog& d) {
        innerWindow = d.m_hWnd;
        PostQuitMessage(5);
    };
    outer.script = [&](ScriptedDialog&) {
        innerResult = inner.DoModal();
        afterInner = true;
    };
    HWND outerWindow = nullptr;
    outer.onInit = [&](ScriptedDialog& d) { outerWindow = d.m_hWnd; };
    EXPECT_EQ(IDCANCEL, outer.DoModal());
    EXPECT_EQ(IDCANCEL, innerResult);
    EXPECT_TRUE(afterInner);
    EXPECT_FALSE(IsWindow(innerWindow));
    EXPECT_FALSE(IsWindow(outerWindow));

    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(5u, message.wParam);
}

TEST(Dialog, DialogDestroyedDuringItsRunEndsTheLoop)
{
    ScriptedDialog dialog(IDD_TEST_VISIBLE);
    INT_PTR secondRun = 0;
    dialog.script = [&](ScriptedDialog& d) {
        secondRun = d.DoModal();
        d.DestroyWindow();
    };
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_EQ(-1, secondRun) << "a running dialog cannot run again";
    EXPECT_EQ(nullptr, dialog.m_hWnd);

    ScriptedDialog endedInInit(IDD_TEST_VISIBLE);
    endedInInit.onInit = [](ScriptedDialog& d) { d.EndDialog(3); };
    EXPECT_EQ(3, endedInInit.DoModal());
}
