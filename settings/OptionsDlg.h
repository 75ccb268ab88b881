// The Options dialog: the three settings as check boxes, with a description box that explains
// the option under the mouse cursor. OK stores all three settings and closes the dialog, or, when
// one could not be stored, says which and stays open; Cancel stores nothing.
#pragma once

#include <string>

#include "controls/IconButton.h"
#include "framework/Dialog.h"

class COptionsDlg : public Dialog {
public:
    // Reads the settings now (a missing option is written with its default, 1).
    explicit COptionsDlg(Window* parent = nullptr);

protected:
    void DoDataExchange(DataExchange& exchange) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    BOOL OnSetCursor(HWND window, UINT hitTest, UINT mouseMessage);
    void OnMouseMove(UINT flags, POINT point);

    DECLARE_MESSAGE_MAP()

private:
    void ShowDescription(UINT stringId);
    std::string CheckBoxLabel(int id) const;

    std::string m_strDescription;
    int m_bRunAtStartup;
    int m_bMinToTray;
    int m_bMonitorAtStartup;
    IconButton m_btnOK;
    IconButton m_btnCancel;
};
