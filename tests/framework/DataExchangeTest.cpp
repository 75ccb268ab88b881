// The data-exchange step: control binding, check boxes and texts in both directions.
#include <gtest/gtest.h>

#include <string>

#include "framework/DataExchange.h"
#include "tests/framework/TestIds.h"
#include "tests/framework/TestSupport.h"

namespace {

constexpr int IDC_TEST_MISSING_ITEM = 1999;

class ExchangeDialog : public ScriptedDialog {
public:
    ExchangeDialog() : ScriptedDialog(IDD_TEST_HIDDEN) {}
    int check = 1;
    std::string text = "abc";
    Window edit;
    int exchanges = 0;
    int missingValue = 17;
    std::string missingText = "kept";

    UINT ShownCheck() const { return static_cast<UINT>(SendDlgItemMessageA(m_hWnd, IDC_TEST_CHECK, BM_GETCHECK, 0, 0)); }

protected:
    void DoDataExchange(DataExchange& exchange) override
    {
        ++exchanges;
        DDX_Control(exchange, IDC_TEST_EDIT, edit);
        DDX_Check(exchange, IDC_TEST_CHECK, check);
        DDX_Text(exchange, IDC_TEST_EDIT, text);
        DDX_Check(exchange, IDC_TEST_MISSING_ITEM, missingValue);   // no such item: left alone
        DDX_Text(exchange, IDC_TEST_MISSING_ITEM, missingText);
    }
};

TEST(DataExchange, ChecksAndTextsBothWays)
{
    ExchangeDialog dialog;
    UINT shownState = 0;
    std::string shownText;
    HWND boundEdit = nullptr;
    const std::string longText(700, 'w');
    dialog.script = [&](ScriptedDialog&) {
        shownState = dialog.ShownCheck();
        shownText = dialog.edit.GetWindowText();
        boundEdit = dialog.edit.m_hWnd;
        SendDlgItemMessageA(dialog.m_hWnd, IDC_TEST_CHECK, BM_SETCHECK, BST_UNCHECKED, 0);
        SetDlgItemTextA(dialog.m_hWnd, IDC_TEST_EDIT, longText.c_str());
        SendMessageA(dialog.GetDlgItem(IDOK), BM_CLICK, 0, 0);   // OnOK: controls to members
    };
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(static_cast<UINT>(BST_CHECKED), shownState);
    EXPECT_EQ("abc", shownText);
    EXPECT_NE(nullptr, boundEdit);
    EXPECT_EQ(0, dialog.check);
    EXPECT_EQ(longText, dialog.text);
    EXPECT_EQ(2, dialog.exchanges);
    EXPECT_EQ(17, dialog.missingValue);
    EXPECT_EQ("kept", dialog.missingText);
    EXPECT_EQ(nullptr, dialog.edit.m_hWnd) << "the bound control went with the dialog";

    // The same object runs again: its control binds to the new window, and any stored value
    // other than 0 shows as checked.
    dialog.check = 5;
    dialog.script = [&](ScriptedDialog&) {
        shownState = dialog.ShownCheck();
        boundEdit = dialog.edit.m_hWnd;
        dialog.UpdateData(false);   // already bound: no second binding
        dialog.EndDialog(IDCANCEL);
    };
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_EQ(static_cast<UINT>(BST_CHECKED), shownState);
    EXPECT_NE(nullptr, boundEdit);
    EXPECT_EQ(5, dialog.check) << "Cancel copies nothing back";
}

} // namespace
