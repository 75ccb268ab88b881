// A resizable dialog with a size grip in which Enter never triggers the dialog's standard
// default-button handling: it posts WM_PUSH_DEFAULT_BUTTON to every control instead, and the
// icon button that has the focus answers with its own click.
#pragma once

#include "views/ResizableDialog.h"

class DefaultButtonDialog : public ResizableDialog {
public:
    DefaultButtonDialog(UINT templateId, Window* parent, UINT resizeFlags);

    BOOL PreTranslateMessage(MSG* message) override;
};
