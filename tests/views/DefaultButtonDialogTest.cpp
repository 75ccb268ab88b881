#include <gtest/gtest.h>

#include <vector>

#include "controls/IconButton.h"
#include "res/resource.h"
#include "tests/controls/ModalSteps.h"
#include "tests/views/ViewsBaseTestIds.h"
#include "views/DefaultButtonDialog.h"

namespace {

struct Command {
    UINT id;
    UINT code;
    HWND source;
};

// Two icon buttons, an edit box, a list box and a standard default push button (IDOK); every
// click is recorded instead of handled.
class EnterDialog : public DefaultButtonDialog {
public:
    EnterDialog() : DefaultButtonDialog(IDD_TEST_ENTER, nullptr, ResizeVertical) {}

    IconButton first;
    IconButton second;
    std::vector<Command> commands;

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
        first.SetIcon(IDI_OK, 16, 16);
        second.SetIcon(IDI_CANCEL, 16, 16);
        return result;
    }

    // Clicks and commands (code 0); the edit and list focus notifications are left out.
    LRESULT OnAnyCommand(WPARAM wParam, LPARAM lParam)
    {
        if (HIWORD(wParam) == BN_CLICKED)
            commands.push_back(Command{LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)});
        return 0;
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(EnterDialog, DefaultButtonDialog)
    ON_MESSAGE(WM_COMMAND, OnAnyCommand)
END_MESSAGE_MAP()

void ExpectOneClick(const std::vector<Command>& commands, const IconButton& button)
{
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].id, static_cast<UINT>(::GetDlgCtrlID(button.GetSafeHwnd())));
    EXPECT_EQ(commands[0].code, static_cast<UINT>(BN_CLICKED));
    EXPECT_EQ(commands[0].source, button.GetSafeHwnd());
}

TEST(DefaultButtonDialog, EnterClicksOnlyTheFocusedIconButton)
{
    EnterDialog dialog;
    int stepsRun = 0;
    HWND openingFocus = nullptr;
    HWND firstButton = nullptr;
    ModalSteps::Run(dialog, {
        [&] {
            ++stepsRun;
            openingFocus = ::GetFocus();
            firstButton = dialog.first.GetSafeHwnd();
            ::SetFocus(dialog.first.GetSafeHwnd());
            EXPECT_TRUE(dialog.first.IsDefault());
            EXPECT_FALSE(dialog.second.IsDefault());
            dialog.commands.clear();
            dialog.PressEnterIn(::GetFocus());
        },
        [&] {
            ++stepsRun;
            // One click of the focused button, and no IDOK from the standard handling.
            ExpectOneClick(dialog.commands, dialog.first);
            dialog.commands.clear();
            // Tab through the dialog manager to the second button.
            ::PostMessageA(::GetFocus(), WM_KEYDOWN, VK_TAB, 0x000F0001);
        },
        [&] {
            ++stepsRun;
            EXPECT_EQ(::GetFocus(), dialog.second.GetSafeHwnd());
            EXPECT_TRUE(dialog.second.IsDefault());
            EXPECT_FALSE(dialog.first.IsDefault());
            EXPECT_TRUE(dialog.commands.empty());
            dialog.PressEnterIn(::GetFocus());
        },
        [&] {
            ++stepsRun;
            ExpectOneClick(dialog.commands, dialog.second);
            dialog.commands.clear();
            ::SetFocus(dialog.GetDlgItem(IDC_TEST_EDIT));
            dialog.PressEnterIn(::GetFocus());
        },
        [&] {
            ++stepsRun;
            EXPECT_EQ(::GetFocus(), dialog.GetDlgItem(IDC_TEST_EDIT));
            EXPECT_FALSE(dialog.first.IsDefault());
            EXPECT_FALSE(dialog.second.IsDefault());
            EXPECT_TRUE(dialog.commands.empty());
            ::SetFocus(dialog.GetDlgItem(IDC_TEST_LIST));
            dialog.PressEnterIn(::GetFocus());
            dialog.PressEnterIn(dialog.GetSafeHwnd());
        },
        [&] {
            ++stepsRun;
            EXPECT_EQ(::GetFocus(), dialog.GetDlgItem(IDC_TEST_LIST));
            EXPECT_TRUE(dialog.commands.empty());
            EXPECT_TRUE(dialog.IsWindow());
        },
    });
    EXPECT_EQ(stepsRun, 6);
    // The dialog opens with the focus on its first tab stop.
    EXPECT_EQ(openingFocus, firstButton);
}

}  // namespace
