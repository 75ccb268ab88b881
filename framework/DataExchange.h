// The data-exchange step of a dialog: binds member control objects to dialog items and copies
// check-box states and texts between controls and members, in the direction of the exchange.
#pragma once

#include <windows.h>
#include <string>

class Dialog;
class Window;

class DataExchange {
public:
    DataExchange(Dialog& dialog, bool save) : m_dialog(dialog), m_save(save) {}
    Dialog& GetDialog() const { return m_dialog; }
    bool IsSaving() const { return m_save; }

private:
    Dialog& m_dialog;
    bool m_save;
};

// Subclasses item id with control the first time (a no-op once bound).
void DDX_Control(DataExchange& exchange, int id, Window& control);
// BST_CHECKED <-> 1, BST_UNCHECKED <-> 0; any other stored value shows as checked.
void DDX_Check(DataExchange& exchange, int id, int& value);
void DDX_Text(DataExchange& exchange, int id, std::string& value);
