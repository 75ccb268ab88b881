// The program's entry point: hands the instance to the application object.
#include <windows.h>

#include "framework/Application.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    Application* app = Application::Current();
    return app != nullptr ? app->Run(instance) : 0;
}
