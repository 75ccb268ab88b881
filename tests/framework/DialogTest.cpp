// Modal dialogs: creation, the modal loop and its owner, nested loops, timers, WM_QUIT.
#include <gtest/gtest.h>

#include <algorithm>
#include <new>
#include <stdexcept>
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

void EndWith(ScriptedDialog& dialog, INT_PTR result)
{
    dialog.script = [result](ScriptedDialog& d) { d.EndDialog(result); };
}

// Ends the dialog with result on the first tick of a timer started by the script.
void EndOnTimer(ScriptedDialog& dialog, INT_PTR result)
{
    dialog.onTimer = [result](ScriptedDialog& d, UINT_PTR) { d.EndDialog(result); };
}

TEST(Dialog, ModalRunReturnsEndDialogResultWithOwnerDisabled)
{
    PlainWindow top(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    Window parent;   // a child of top: the owner is the parent's root
    ASSERT_TRUE(parent.SubclassWindow(CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0,
                                                      10, 10, top.Handle(), nullptr, nullptr, nullptr)));
    ScriptedDialog dialog(IDD_TEST_HIDDEN, &parent);
    HWND owner = nullptr, window = nullptr;
    bool ownerEnabled = true, visible = false;
    dialog.script = [&](ScriptedDialog& d) {
        window = d.m_hWnd;
        owner = GetWindow(d.m_hWnd, GW_OWNER);
        ownerEnabled = IsWindowEnabled(top.Handle()) != FALSE;
        visible = IsWindowVisible(d.m_hWnd) != FALSE;
        d.EndDialog(42);
    };
    EXPECT_EQ(42, dialog.DoModal());
    EXPECT_EQ(top.Handle(), owner);
    EXPECT_FALSE(ownerEnabled);
    EXPECT_TRUE(visible) << "a template without WS_VISIBLE is shown by DoModal";
    EXPECT_TRUE(IsWindowEnabled(top.Handle()));
    EXPECT_EQ(top.Handle(), GetActiveWindow()) << "activation returns to the owner";
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(nullptr, dialog.m_hWnd);

    // The object runs again; the first messages of the new window reach it, before WM_INITDIALOG.
    dialog.seen.clear();
    EndWith(dialog, 43);
    EXPECT_EQ(43, dialog.DoModal());
    ASSERT_LT(IndexOf(dialog.seen, WM_INITDIALOG), dialog.seen.size());
    EXPECT_LT(IndexOf(dialog.seen, WM_NCCREATE), IndexOf(dialog.seen, WM_INITDIALOG));
    EXPECT_LT(IndexOf(dialog.seen, WM_SETFONT), IndexOf(dialog.seen, WM_INITDIALOG));

    // A sizable dialog is asked for its tracking limits while it is being created.
    ScriptedDialog sizable(IDD_TEST_VISIBLE);
    EndWith(sizable, IDOK);
    EXPECT_EQ(IDOK, sizable.DoModal());
    EXPECT_LT(IndexOf(sizable.seen, WM_GETMINMAXINFO), IndexOf(sizable.seen, WM_INITDIALOG));

    // An owner that was disabled before stays disabled; a missing template fails.
    EnableWindow(top.Handle(), FALSE);
    EXPECT_EQ(43, dialog.DoModal());
    EXPECT_FALSE(IsWindowEnabled(top.Handle()));
    EnableWindow(top.Handle(), TRUE);
    ScriptedDialog missing(IDD_TEST_MISSING, &parent);
    EXPECT_EQ(-1, missing.DoModal());
    EXPECT_TRUE(IsWindowEnabled(top.Handle()));
}

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

// (OK, Escape and the close box ending a run are exercised by every dialog's own tests.)
TEST(Dialog, MappedCancelCommandKeepsTheDialogOpen)
{
    KeepOpenDialog keepOpen(IDD_TEST_VISIBLE);
    keepOpen.script = [](ScriptedDialog& d) {
        SendMessageA(d.m_hWnd, WM_CLOSE, 0, 0);   // the dialog manager posts the cancel command
        SendMessageA(d.GetDlgItem(IDCANCEL), BM_CLICK, 0, 0);
        d.SetTimer(1, 100);
    };
    EndOnTimer(keepOpen, 5);
    EXPECT_EQ(5, keepOpen.DoModal());
    EXPECT_EQ(2, keepOpen.cancels);
}

// Logs the key-downs the modal loop offers to PreTranslateMessage; the edit can swallow Enter.
using KeyLog = std::vector<std::string>;

void LogKey(KeyLog& log, const char* who, const MSG& message)
{
    if (message.message == WM_KEYDOWN)
        log.push_back(std::string(who) + (message.wParam == VK_RETURN ? " enter" : " space"));
}

class KeyEdit : public Window {
public:
    KeyLog* log = nullptr;
    bool swallowEnter = false;
    BOOL PreTranslateMessage(MSG* message) override
    {
        LogKey(*log, "edit", *message);
        return swallowEnter && message->message == WM_KEYDOWN && message->wParam == VK_RETURN;
    }
};

class KeyDialog : public ScriptedDialog {
public:
    KeyDialog() : ScriptedDialog(IDD_TEST_HIDDEN) { edit.log = &log; }
    KeyLog log;
    KeyEdit edit;
    int oks = 0;
    BOOL PreTranslateMessage(MSG* message) override
    {
        LogKey(log, "dialog", *message);
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

TEST(Dialog, PreTranslateMessageSeesKeysBeforeTheDialogManager)
{
    KeyDialog dialog;
    dialog.script = [](ScriptedDialog& d) {
        PostMessageA(d.GetDlgItem(IDC_TEST_EDIT), WM_KEYDOWN, VK_SPACE, 0);
        PostMessageA(d.GetDlgItem(IDC_TEST_EDIT), WM_KEYDOWN, VK_RETURN, 0);
    };
    EXPECT_EQ(IDOK, dialog.DoModal()) << "Enter not swallowed: the dialog manager presses OK";
    EXPECT_EQ((KeyLog{ "edit space", "dialog space", "edit enter", "dialog enter" }), dialog.log);
    EXPECT_EQ(1, dialog.oks);

    KeyDialog swallowing;
    swallowing.edit.swallowEnter = true;
    swallowing.script = [](ScriptedDialog& d) {
        PostMessageA(d.GetDlgItem(IDC_TEST_EDIT), WM_KEYDOWN, VK_RETURN, 0);
        d.SetTimer(1, 50);
    };
    EndOnTimer(swallowing, 99);
    EXPECT_EQ(99, swallowing.DoModal());
    EXPECT_EQ(KeyLog{ "edit enter" }, swallowing.log);
    EXPECT_EQ(0, swallowing.oks);
}

// (Timers going on inside nested dialogs are exercised by the main window's sampling tests.)
TEST(Dialog, TimersRunInsideMessageBoxes)
{
    // A timer of the dialog ticks inside a message box of the system and closes it.
    ScriptedDialog boxOwner(IDD_TEST_VISIBLE);
    int ticksDuringBox = 0, boxResult = 0;
    std::string boxCaption;
    boxOwner.onTimer = [&](ScriptedDialog& d, UINT_PTR) {
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
        boxResult = AppMessageBox(d.m_hWnd, "Ticks go on", MB_OK);
        d.EndDialog(IDOK);
    };
    EXPECT_EQ(IDOK, boxOwner.DoModal());
    EXPECT_EQ(IDOK, boxResult);
    EXPECT_EQ(3, ticksDuringBox);
    EXPECT_EQ(AppTitle(), boxCaption);
}

// Throws from a handler, from one that has destroyed its window, and from the loop's
// pre-translation; counts the clean-up that must run however the handler ended.
class ThrowingDialog : public ScriptedDialog {
public:
    static constexpr UINT WM_THROW = WM_APP + 5;
    static constexpr UINT WM_DESTROY_AND_THROW = WM_APP + 6;
    using ScriptedDialog::ScriptedDialog;
    int finalCleanUps = 0;
    BOOL PreTranslateMessage(MSG* message) override
    {
        if (message->message == WM_KEYDOWN && message->wParam == 'X')
            throw std::runtime_error("thrown in the loop");
        return ScriptedDialog::PreTranslateMessage(message);
    }

protected:
    LRESULT Throw(WPARAM, LPARAM) { throw std::bad_alloc(); }
    LRESULT DestroyAndThrow(WPARAM, LPARAM)
    {
        DestroyWindow();
        throw std::length_error("thrown by a destroyed window");
    }
    void PostNcDestroy() override { ++finalCleanUps; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ThrowingDialog, ScriptedDialog)
    ON_MESSAGE(WM_THROW, Throw)
    ON_MESSAGE(WM_DESTROY_AND_THROW, DestroyAndThrow)
END_MESSAGE_MAP()

// Closes every message box of the thread as it appears, keeping its text.
std::vector<std::string> g_toldFailures;
void CALLBACK AnswerFailureBoxes(HWND, UINT, UINT_PTR, DWORD)
{
    HWND box = FindWindowA("#32770", AppTitle().c_str());
    if (box == nullptr || !IsWindowVisible(box))
        return;
    std::string told;
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        char text[256] = {};
        GetWindowTextA(child, text, sizeof text);
        told += text;
    }
    g_toldFailures.push_back(told);
    EndDialog(box, IDOK);
}

TEST(Dialog, AnExceptionInAHandlerIsToldOnceAndTheProgramGoesOn)
{
    PlainWindow top(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    Window parent;
    ASSERT_TRUE(parent.SubclassWindow(top.Handle()));
    const UINT_PTR answering = SetTimer(nullptr, 0, 20, AnswerFailureBoxes);
    ThrowingDialog dialog(IDD_TEST_VISIBLE, &parent);
    bool ownerDisabledAfterThrows = false;
    dialog.script = [&](ScriptedDialog& d) {
        SendMessageA(d.m_hWnd, ThrowingDialog::WM_THROW, 0, 0);
        SendMessageA(d.m_hWnd, ThrowingDialog::WM_THROW, 0, 0);   // the same failure: told once
        PostMessageA(d.m_hWnd, WM_KEYDOWN, 'X', 0);
        d.SetTimer(1, 300);
    };
    dialog.onTimer = [&](ScriptedDialog& d, UINT_PTR) {
        ownerDisabledAfterThrows = !IsWindowEnabled(top.Handle());
        SendMessageA(d.m_hWnd, ThrowingDialog::WM_DESTROY_AND_THROW, 0, 0);
    };
    EXPECT_EQ(IDCANCEL, dialog.DoModal()) << "the run ends with its destroyed window";
    KillTimer(nullptr, answering);

    EXPECT_TRUE(ownerDisabledAfterThrows) << "the run went on after the failures";
    EXPECT_TRUE(IsWindowEnabled(top.Handle()));
    EXPECT_EQ(1, dialog.finalCleanUps);
    ASSERT_EQ(3u, g_toldFailures.size());
    EXPECT_NE(g_toldFailures[0].find("std::bad_alloc"), std::string::npos) << g_toldFailures[0];
    EXPECT_NE(g_toldFailures[1].find("thrown in the loop"), std::string::npos);
    EXPECT_NE(g_toldFailures[2].find("thrown by a destroyed window"), std::string::npos);
}

TEST(Dialog, QuitInsideNestedLoopEndsEveryLoopAndReachesTheOuterOne)
{
    ScriptedDialog outer(IDD_TEST_VISIBLE);
    ScriptedDialog inner(IDD_TEST_VISIBLE, &outer);
    INT_PTR innerResult = 0;
    HWND innerWindow = nullptr, outerWindow = nullptr;
    bool afterInner = false;
    inner.script = [&](ScriptedDialog& d) {
        innerWindow = d.m_hWnd;
        PostQuitMessage(5);
    };
    outer.script = [&](ScriptedDialog& d) {
        outerWindow = d.m_hWnd;
        innerResult = inner.DoModal();
        afterInner = true;
    };
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

} // namespace
