// The Win32 side of sampling and of the tray, against the real system under Wine: processes
// (real child processes), the window in front and its title, a Store app's frame, icons, and the
// notification-area entry.
#include "app/ImageListIcons.h"
#include "app/TrayIcon.h"
#include "app/Win32Foreground.h"
#include "app/Win32ProcessSource.h"
#include "core/ProcessNameCache.h"
#include "tests/support/ImportPatch.h"
#include "tests/support/Ui.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

WindowRef Ref(HWND window) { return reinterpret_cast<WindowRef>(window); }


// A copy of the helper program beside this test, under a name in a folder of its own.
std::string CopyOfHelper(const std::string& folder, const std::string& name)
{
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    GetLongPathNameA(temp, temp, MAX_PATH);
    const std::string directory = std::string(temp) + "vantel-" + std::to_string(GetCurrentProcessId()) + folder;
    CreateDirectoryA(directory.c_str(), nullptr);
    CopyFileA((ui::BinFolder() + "test_program.exe").c_str(), (directory + "\\" + name).c_str(), FALSE);
    return directory + "\\" + name;
}

struct ChildProcess : ui::Program {
    ChildProcess(const std::string& folder, const std::string& name, const std::string& argument = "")
        : Program(CopyOfHelper(folder, name), argument)
    {
    }
    ~ChildProcess()
    {
        End();
        DeleteFileA(path.c_str());
        RemoveDirectoryA(path.substr(0, path.find_last_of('\\')).c_str());
    }
};

std::map<std::uint32_t, std::string> Snapshot()
{
    std::map<std::uint32_t, std::string> names;
    Win32ProcessSource processes;
    EXPECT_TRUE(processes.VisitSnapshot([&](std::uint32_t id, const std::string& name) { names[id] = name; }));
    return names;
}

TEST(Win32ProcessSource, NamesProcessesAsOnDiskWithTheirPathsAndNothingForEndedOnes)
{
    ChildProcess a("one", "Twin_Probe.exe"), b("one", "Twin_Probe.exe"), c("two", "Twin_Probe.exe");
    Win32ProcessSource processes;
    ProcessNameCache cache(processes);
    cache.Rebuild();
    ChildProcess later("three", "Later_Probe.exe");   // started after the cache was filled
    const auto names = Snapshot();
    for (const ChildProcess* child : {&a, &b, &c})
        EXPECT_EQ(names.at(child->info.dwProcessId), "Twin_Probe.exe");
    EXPECT_EQ(names.at(GetCurrentProcessId()), "app_platform_tests.exe");
    EXPECT_EQ(cache.NameOf(later.info.dwProcessId), "Later_Probe.exe");
    EXPECT_STRCASEEQ(processes.ExecutablePathOf(a.info.dwProcessId).c_str(), a.path.c_str());
    EXPECT_STRCASEEQ(processes.ExecutablePathOf(c.info.dwProcessId).c_str(), c.path.c_str());

    const DWORD ended = later.info.dwProcessId;
    later.End();
    EXPECT_EQ(Snapshot().count(ended), 0u);
    EXPECT_EQ(processes.ExecutablePathOf(ended), "");
    EXPECT_EQ(processes.ExecutablePathOf(0), "");
}

TEST(Win32Foreground, ReadsTheWindowInFrontItsProcessTitleAndAStoreAppsCoreWindow)
{
    Win32Foreground source;
    const HWND window = CreateWindowExA(0, "STATIC", "Vantel foreground test", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                        50, 50, 200, 100, nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(window);
    ASSERT_TRUE(ui::WaitFor([&] { return GetForegroundWindow() == window; }));
    EXPECT_EQ(source.ForegroundWindow(), Ref(window));
    EXPECT_EQ(source.ProcessIdOf(Ref(window)), GetCurrentProcessId());
    EXPECT_EQ(source.DesktopWindow(), Ref(GetDesktopWindow()));
    // Under the manifest's UTF-8 code page titles in any script come whole, also past the first read.
    ASSERT_EQ(GetACP(), static_cast<UINT>(CP_UTF8));
    const std::string longTitle = std::string(300, 'x') + "\xE4\xB8\xAD";
    for (const std::string& title : {std::string("Vantel foreground test"), std::string(), longTitle}) {
        SetWindowTextA(window, title.c_str());
        EXPECT_EQ(source.TitleOf(Ref(window)), title);
    }
    DestroyWindow(window);
    EXPECT_EQ(source.TitleOf(Ref(window)), "");
    EXPECT_EQ(source.ProcessIdOf(Ref(window)), 0u);

    // A Store app: a frame of another process (here a copy of the helper named as the frame
    // host) holding the app's core window, which this process makes.
    ChildProcess host("frame", "ApplicationFrameHost.exe", "frame");
    HWND frame = nullptr;
    ASSERT_TRUE(ui::WaitFor([&] {
        frame = FindWindowA("ApplicationFrameWindow", "Calculator");
        return FindWindowExA(frame, nullptr, "Windows.UI.Core.CoreWindow", nullptr) != nullptr;
    }, 10000));
    EXPECT_EQ(source.CoreWindowProcessOf(Ref(frame)), 0u) << "its own core window does not count";
    WNDCLASSA coreClass{};
    coreClass.lpfnWndProc = DefWindowProcA;
    coreClass.lpszClassName = "Windows.UI.Core.CoreWindow";
    RegisterClassA(&coreClass);
    const HWND core = CreateWindowExA(0, coreClass.lpszClassName, "", WS_CHILD, 0, 0, 10, 10, frame, nullptr,
                                      nullptr, nullptr);
    ASSERT_NE(core, nullptr);
    EXPECT_EQ(source.CoreWindowProcessOf(Ref(frame)), GetCurrentProcessId());
    EXPECT_EQ(source.CoreWindowProcessOf(Ref(core)), 0u);
    DestroyWindow(core);
}

// ExtractIconA's answer for a file that is not an icon file (what the soak's watch of the
// extracted icons cannot plant).
HICON WINAPI NotAnIconFile(HINSTANCE, LPCSTR, UINT) { return reinterpret_cast<HICON>(1); }

TEST(ImageListIcons, AppendFileIconsOrTheWindowsSmallIcon)
{
    const HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 4, 4);
    ImageListIcons icons(list, GetModuleHandleA(nullptr));
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    EXPECT_EQ(icons.AppendFileIcon(std::string(system) + "\\shell32.dll"), std::optional<int>(0));
    ImageListIcons refusing(nullptr, GetModuleHandleA(nullptr));   // an image list that refuses
    EXPECT_EQ(refusing.AppendFileIcon(std::string(system) + "\\shell32.dll"), std::optional<int>(-1));
    for (const std::string& path : {std::string(), std::string(system) + "\\kernel32.dll", std::string("C:\\missing.exe")})
        EXPECT_EQ(icons.AppendFileIcon(path), std::nullopt) << path;
    {
        const ImportPatch patch{"shell32.dll", "ExtractIconA", &NotAnIconFile};
        EXPECT_EQ(icons.AppendFileIcon("C:\\readme.txt"), std::nullopt);
    }

    const HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(icons.AppendWindowIcon(Ref(window)), std::nullopt);
    SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(LoadIconA(nullptr, IDI_WARNING)));
    EXPECT_EQ(icons.AppendWindowIcon(Ref(window)), std::nullopt) << "only the small icon counts";
    SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(LoadIconA(nullptr, IDI_APPLICATION)));
    EXPECT_EQ(icons.AppendWindowIcon(Ref(window)), std::optional<int>(1));
    EXPECT_EQ(ImageList_GetImageCount(list), 2);
    DestroyWindow(window);
    ImageList_Destroy(list);
}

TEST(TrayIcon, RequestsDescribeTheOneEntryAndAreRefusedOrCutSafely)
{
    struct Request {
        DWORD message;
        NOTIFYICONDATAA data;
    };
    std::vector<Request> requests;
    BOOL answer = FALSE;
    const HWND owner = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    {
        TrayIcon tray([&](DWORD message, NOTIFYICONDATAA* data) {
            requests.push_back({message, *data});
            return answer;
        });
        EXPECT_NE(FindWindowA("__MessageWindow", ""), nullptr);
        tray.SetOwner(owner);
        const HICON icon = LoadIconA(nullptr, IDI_APPLICATION);
        EXPECT_FALSE(tray.Add(icon, "refused"));   // no notification area yet: no entry
        EXPECT_FALSE(tray.Modify(icon, "not sent"));
        answer = TRUE;
        EXPECT_TRUE(tray.Add(icon, std::string(126, 'x') + "\xD0\xB6"));   // a character across the end
        EXPECT_TRUE(tray.ModifyTip("tip"));
        tray.Delete();
        EXPECT_FALSE(tray.ModifyTip("not sent"));
    }
    EXPECT_EQ(FindWindowA("__MessageWindow", ""), nullptr) << "gone with the object";
    ASSERT_EQ(requests.size(), 4u);
    const NOTIFYICONDATAA& added = requests[1].data;
    EXPECT_EQ(added.cbSize, static_cast<DWORD>(NOTIFYICONDATAA_V2_SIZE));   // a tip of 128 bytes
    EXPECT_EQ(added.hWnd, owner);
    EXPECT_EQ(added.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(std::string(added.szTip), std::string(126, 'x'));
    EXPECT_EQ(requests[3].message, static_cast<DWORD>(NIM_DELETE));
    DestroyWindow(owner);
}

} // namespace
