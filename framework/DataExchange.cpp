#include "framework/DataExchange.h"

#include "framework/Dialog.h"

void DDX_Control(DataExchange& exchange, int id, Window& control)
{
    if (control.GetSafeHwnd() != nullptr)
        return;
    if (HWND item = exchange.GetDialog().GetDlgItem(id))
        control.SubclassWindow(item);
}

void DDX_Check(DataExchange& exchange, int id, int& value)
{
    HWND item = exchange.GetDialog().GetDlgItem(id);
    if (item == nullptr)
        return;
    if (exchange.IsSaving())
        value = static_cast<int>(SendMessageA(item, BM_GETCHECK, 0, 0));
    else
        SendMessageA(item, BM_SETCHECK, value != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
}

void DDX_Text(DataExchange& exchange, int id, std::string& value)
{
    HWND item = exchange.GetDialog().GetDlgItem(id);
    if (item == nullptr)
        return;
    if (exchange.IsSaving()) {
        std::string text(static_cast<size_t>(GetWindowTextLengthA(item)) + 1, '\0');
        text.resize(static_cast<size_t>(GetWindowTextA(item, &text[0], static_cast<int>(text.size()))));
        value = text;
    } else {
        SetWindowTextA(item, value.c_str());
    }
}
