// Strings, registered messages and the application object.
#include <gtest/gtest.h>

#include "framework/Application.h"
#include "framework/Resources.h"
#include "framework/Window.h"
#include "tests/framework/TestIds.h"
#include "tests/framework/TestSupport.h"

namespace {

TEST(Resources, StringsAndRegisteredNames)
{
    EXPECT_EQ("Hello, world", LoadResString(IDS_TEST_HELLO));
    const std::string longText = LoadResString(IDS_TEST_LONG);
    ASSERT_EQ(480u, longText.size()) << "a string longer than the first buffer is read whole";
    EXPECT_EQ("119-", longText.substr(476));
    EXPECT_EQ("", LoadResString(IDS_TEST_MISSING));
}

class TestApplication : public Application {
public:
    int initCalls = 0;
    bool keepRunning = false;   // TRUE from InitInstance: run a message loop until WM_QUIT
    BOOL InitInstance() override
    {
        ++initCalls;
        if (keepRunning)
            PostQuitMessage(3);
        return keepRunning;
    }
};

TEST(Application, TitleInstanceAndMainWindow)
{
    // Without an application object: the executable's own name and instance.
    ASSERT_EQ(nullptr, Application::Current());
    EXPECT_EQ("framework_tests", AppTitle());
    EXPECT_EQ(GetModuleHandleA(nullptr), AppInstance());
    EXPECT_EQ(nullptr, AppMainWindow());
    {
        TestApplication app;
        EXPECT_EQ(&app, Application::Current());
        EXPECT_EQ(0, app.Run(GetModuleHandleA(nullptr)));
        EXPECT_EQ("framework_tests", app.Title());
        app.keepRunning = true;
        EXPECT_EQ(3, app.Run(GetModuleHandleA(nullptr)));
        EXPECT_EQ(2, app.initCalls);

        PlainWindow window;
        Window main;
        ASSERT_TRUE(main.SubclassWindow(window.Handle()));
        app.m_pMainWnd = &main;
        EXPECT_EQ(window.Handle(), AppMainWindow());
    }
    EXPECT_EQ(nullptr, Application::Current());
}

} // namespace
