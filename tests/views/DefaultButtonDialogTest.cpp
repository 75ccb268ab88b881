#include <gtest/gtest.h>

#include <vector>

#include "controls/IconButton.h"
#include "res/resource.h"
#include "tests/controls/ModalSteps.h"
#include "tests/views/ViewsBaseTestIds.h"
#include "views/DefaultButtonDialog.h"

namespace {

// Two icon buttons, an edit box, a list box and a standard default push button (IDOK); every
// click is recorded instead of handled.
class EnterDialog : public DefaultButtonDialog {
public:
    EnterDialog() : DefaultButtonDialog(IDD_TEST_ENTER, nullptr, ResizeVertical) {}

    IconButton first;
    IconButton second;
    std::vector<HWND> clicked;   // the source of each click

    void PressEnterIn(HWND target) { ::PostMessageA(target, WM_KEYDOWN, VK_RETURN, 0x001C0001); }

protected:
    void DoDataExchange(DataExchange& exchange) override
    {
        DDX_Control(exchange, IDC_TEST_FIRST, first);
        DDX_Control(exchange, IDC_TEST_SECOND, second);
    }

    BOOL OnInitDialog() override
    {
        const BOOL result = InitLayout();
        first.SetIcon(IDI_OK);
        second.SetIcon(IDI_CANCEL);
        return result;
    }

    // Clicks and commands (code 0); the edit and list focus notifications are left out.
    LRESULT OnAnyCommand(WPARAM wParam, LPARAM lParam)
    {
        if (HIWORD(wParam) == BN_CLICKED)
            clicked.push_back(reinterpret_cast<HWND>(lParam));
        return 0;
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(EnterDialog, DefaultButtonDialog)
    ON_MESSAGE(WM_COMMAND, OnAnyCommand)
END_MESSAGE_MAP()

// IconButton's own tests show that the focused button is the default one.
TEST(DefaultButtonDialog, EnterClicksOnlyTheFocusedIconButton)
{
    EnterDialog dialog;
    bool lastStepRan = false;
    bool openedOnFirst = false;
    const auto only = [](const IconButton& button) { return std::vector<HWND>{button.GetSafeHwnd()}; };
    ModalSteps::Run(dialog, {
        [&] {
            // The dialog opens with the focus on its first tab stop.
            openedOnFirst = ::GetFocus() == dialog.first.GetSafeHwnd();
            ::SetFocus(dialog.first.GetSafeHwnd());
            dialog.clicked.clear();
            dialog.PressEnterIn(::GetFocus());
        },
        [&] {
            // One click of the focused button, and no IDOK from the standard handling.
            EXPECT_EQ(dialog.clicked, only(dialog.first));
            dialog.clicked.clear();
            // Tab through the dialog manager to the second button.
            ::PostMessageA(::GetFocus(), WM_KEYDOWN, VK_TAB, 0x000F0001);
        },
        [&] {
            EXPECT_EQ(::GetFocus(), dialog.second.GetSafeHwnd());
            EXPECT_TRUE(dialog.clicked.empty());
            dialog.PressEnterIn(::GetFocus());
        },
        [&] {
            EXPECT_EQ(dialog.clicked, only(dialog.second));
            dialog.clicked.clear();
            ::SetFocus(dialog.GetDlgItem(IDC_TEST_EDIT));
            dialog.PressEnterIn(::GetFocus());
        },
        [&] {
            EXPECT_EQ(::GetFocus(), dialog.GetDlgItem(IDC_TEST_EDIT));
            EXPECT_TRUE(dialog.clicked.empty());
            ::SetFocus(dialog.GetDlgItem(IDC_TEST_LIST));
            dialog.PressEnterIn(::GetFocus());
            dialog.PressEnterIn(dialog.GetSafeHwnd());
        },
        [&] {
            EXPECT_EQ(::GetFocus(), dialog.GetDlgItem(IDC_TEST_LIST));
            EXPECT_TRUE(dialog.clicked.empty());
            lastStepRan = true;
        },
    });
    EXPECT_TRUE(lastStepRan);
    EXPECT_TRUE(openedOnFirst);
}

}  // namespace
