// The application object: start-up with the single-instance rule, then the main window's modal
// run for the whole life of the program.
#pragma once

#include "framework/Application.h"

class MainApp : public Application {
public:
    BOOL InitInstance() override;

private:
    static bool HandOverToRunningCopy();
};
