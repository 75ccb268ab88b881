#include "app/TrayIcon.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

struct Request {
    DWORD message;
    NOTIFYICONDATAA data;
};

// Stands in for the shell: keeps every request and answers as told.
struct ShellRecorder {
    std::vector<Request> requests;
    BOOL answer = TRUE;

    TrayIcon::Notifier Notifier()
    {
        return [this](DWORD message, NOTIFYICONDATAA* data) {
            requests.push_back({ message, *data });
            return answer;
        };
    }
};

struct OwnerWindow {
    HWND handle = CreateWindowExA(0, "STATIC", "tray owner", WS_POPUP, 0, 0, 10, 10, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    ~OwnerWindow() { DestroyWindow(handle); }
};

void ExpectEntryRequest(const Request& request, DWORD message, HWND owner, HICON icon,
                        const std::string& tip)
{
    EXPECT_EQ(request.message, message);
    EXPECT_EQ(request.data.cbSize, static_cast<DWORD>(NOTIFYICONDATAA_V2_SIZE));
    EXPECT_EQ(request.data.hWnd, owner);
    EXPECT_EQ(request.data.uID, 0u);
    EXPECT_EQ(request.data.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(request.data.uCallbackMessage, static_cast<UINT>(WM_USER + 3));
    EXPECT_EQ(request.data.hIcon, icon);
    EXPECT_EQ(std::string(request.data.szTip), tip);
}

} // namespace

TEST(TrayIcon, HiddenWindowLivesExactlyAsLongAsTheObject)
{
    ShellRecorder shell;
    HWND hidden = nullptr;
    {
        TrayIcon tray(shell.Notifier());
        hidden = tray.HiddenWindow();
        ASSERT_TRUE(IsWindow(hidden));
        EXPECT_EQ(GetPropA(hidden, "SystemTrayIconClass"), static_cast<HANDLE>(&tray));
        EXPECT_FALSE(IsWindowVisible(hidden));

        // The class is registered once per process; a second object still gets its window.
        TrayIcon second(shell.Notifier());
        ASSERT_TRUE(IsWindow(second.HiddenWindow()));
        EXPECT_NE(second.HiddenWindow(), hidden);
    }
    EXPECT_FALSE(IsWindow(hidden));
    EXPECT_TRUE(shell.requests.empty());
}

TEST(TrayIcon, RequestsDescribeTheOneEntryOfTheOwnerAndSurviveARefusal)
{
    ShellRecorder shell;
    OwnerWindow owner;
    TrayIcon tray(shell.Notifier());
    tray.SetOwner(owner.handle);
    const HICON mainIcon = LoadIconA(nullptr, IDI_APPLICATION);
    const HICON otherIcon = LoadIconA(nullptr, IDI_WARNING);

    // Refused (no notification area yet): no entry, so nothing to change either.
    shell.answer = FALSE;
    EXPECT_FALSE(tray.Add(otherIcon, "Vantel is disabled."));
    EXPECT_FALSE(tray.Modify(otherIcon, "not sent"));
    shell.answer = TRUE;
    EXPECT_TRUE(tray.Add(mainIcon, "Total time: 0:00:00\nTop 3:\n"));
    EXPECT_TRUE(tray.Modify(mainIcon, ""));
    tray.Delete();
    EXPECT_FALSE(tray.Modify(mainIcon, "not sent after the entry went"));

    ASSERT_EQ(shell.requests.size(), 4u);
    ExpectEntryRequest(shell.requests[0], NIM_ADD, owner.handle, otherIcon, "Vantel is disabled.");
    ExpectEntryRequest(shell.requests[1], NIM_ADD, owner.handle, mainIcon,
                       "Total time: 0:00:00\nTop 3:\n");
    ExpectEntryRequest(shell.requests[2], NIM_MODIFY, owner.handle, mainIcon, "");
    const NOTIFYICONDATAA& removal = shell.requests[3].data;
    EXPECT_EQ(shell.requests[3].message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_EQ(removal.hWnd, owner.handle);
    EXPECT_EQ(removal.uID, 0u);
    EXPECT_EQ(removal.uFlags, 0u);
}

TEST(TrayIcon, TipIsCutToTheFieldAndNothingBeyondItIsWritten)
{
    ShellRecorder shell;
    TrayIcon tray(shell.Notifier());
    std::string longTip;
    for (int i = 0; i < 300; ++i)
        longTip += static_cast<char>('a' + i % 26);

    for (size_t length : { 300, 127, 128 })
        tray.Add(nullptr, longTip.substr(0, length));
    // A two-byte character across the field's end is left out whole.
    tray.Add(nullptr, longTip.substr(0, 126) + "\xD0\xB6");
    ASSERT_EQ(shell.requests.size(), 4u);
    for (const Request& request : shell.requests) {
        const size_t kept = &request == &shell.requests.back() ? 126 : 127;
        EXPECT_EQ(std::string(request.data.szTip), longTip.substr(0, kept));
        EXPECT_EQ(request.data.dwState, 0u);
        EXPECT_EQ(request.data.szInfo[0], '\0');
    }
}

TEST(TrayIcon, RealNotificationAreaTakesAndRemovesTheEntry)
{
    OwnerWindow owner;
    const HICON icon = LoadIconA(nullptr, IDI_APPLICATION);
    // Asks the shell directly whether the entry of the owner exists.
    auto entryExists = [&] {
        NOTIFYICONDATAA probe = {};
        probe.cbSize = NOTIFYICONDATAA_V2_SIZE;
        probe.hWnd = owner.handle;
        probe.uFlags = NIF_TIP;
        std::strcpy(probe.szTip, "probe");
        return Shell_NotifyIconA(NIM_MODIFY, &probe) != FALSE;
    };

    TrayIcon tray;
    tray.SetOwner(owner.handle);
    EXPECT_FALSE(entryExists());
    tray.Add(icon, std::string(200, 'x'));
    EXPECT_TRUE(entryExists());
    tray.Delete();
    EXPECT_FALSE(entryExists());
    tray.Delete();   // refused by the shell: no entry any more
    EXPECT_TRUE(IsWindow(tray.HiddenWindow()));
}
