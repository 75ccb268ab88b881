#include "app/ImageListIcons.h"
#include "app/Win32Foreground.h"

#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

WindowRef Ref(HWND window)
{
    return reinterpret_cast<WindowRef>(window);
}

void PumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

struct TestWindow {
    HWND handle;
    explicit TestWindow(const char* title, const char* className = "STATIC", DWORD style = WS_POPUP)
        : handle(CreateWindowExA(0, className, title, style, 50, 50, 200, 100, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr))
    {
    }
    ~TestWindow() { DestroyWindow(handle); }
};

struct ImageList {
    HIMAGELIST handle = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 4, 4);
    ~ImageList() { ImageList_Destroy(handle); }
    int Count() const { return ImageList_GetImageCount(handle); }
};

bool IsLiveIcon(HICON icon)
{
    ICONINFO info = {};
    if (!GetIconInfo(icon, &info))
        return false;
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return true;
}

std::string SystemFile(const char* name)
{
    char directory[MAX_PATH] = {};
    GetSystemDirectoryA(directory, MAX_PATH);
    return std::string(directory) + "\\" + name;
}

// Extracts like the product does and keeps every handle it hands out.
struct WatchedExtractor {
    std::vector<HICON> handedOut;
    ImageListIcons::FileIconExtractor Extractor()
    {
        return [this](const char* path) {
            const HICON icon = ExtractIconA(GetModuleHandleA(nullptr), path, 0);
            handedOut.push_back(icon);
            return icon;
        };
    }
};

// A window whose WM_GETTEXTLENGTH answers 5 while understatedLengths is above 0, as if its title
// grew between the length query and the read.
int understatedLengths = 0;

LRESULT CALLBACK GrowingTitleProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_GETTEXTLENGTH && understatedLengths > 0) {
        --understatedLengths;
        return 5;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

const char* GrowingTitleClass()
{
    static const char name[] = "VantelGrowingTitleTest";
    WNDCLASSA wc = {};
    wc.lpfnWndProc = GrowingTitleProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = name;
    RegisterClassA(&wc);
    return name;
}

std::string PatternText(std::size_t length)
{
    std::string text;
    for (std::size_t i = 0; i < length; ++i)
        text += static_cast<char>('A' + i % 26);
    return text;
}

} // namespace

TEST(Win32Foreground, ReadsTheWindowInFrontItsProcessAndItsWholeTitle)
{
    Win32Foreground source;
    TestWindow window("Vantel foreground test", "STATIC", WS_OVERLAPPEDWINDOW);
    ShowWindow(window.handle, SW_SHOW);
    SetForegroundWindow(window.handle);
    for (int i = 0; i < 200 && GetForegroundWindow() != window.handle; ++i) {
        PumpMessages();
        Sleep(10);
    }

    EXPECT_EQ(source.ForegroundWindow(), Ref(window.handle));
    EXPECT_EQ(source.ProcessIdOf(Ref(window.handle)), GetCurrentProcessId());
    EXPECT_EQ(source.TitleOf(Ref(window.handle)), "Vantel foreground test");

    const std::string longTitle = PatternText(64 * 1024);
    SetWindowTextA(window.handle, longTitle.c_str());
    EXPECT_EQ(source.TitleOf(Ref(window.handle)), longTitle);

    const std::string controlTitle = "tab\there\x01one\x1f" "end";
    SetWindowTextA(window.handle, controlTitle.c_str());
    EXPECT_EQ(source.TitleOf(Ref(window.handle)), controlTitle);

    SetWindowTextA(window.handle, "");
    EXPECT_EQ(source.TitleOf(Ref(window.handle)), "");

    EXPECT_NE(source.DesktopWindow(), 0u);
    EXPECT_EQ(source.DesktopWindow(), Ref(GetDesktopWindow()));
    EXPECT_NE(source.ProcessIdOf(source.DesktopWindow()), 0u);
}

TEST(Win32Foreground, TitleThatGrewAfterItsLengthWasTakenIsReadAgain)
{
    Win32Foreground source;
    const std::string title = PatternText(300);
    TestWindow window(title.c_str(), GrowingTitleClass());
    ASSERT_NE(window.handle, nullptr);

    understatedLengths = 1;
    EXPECT_EQ(source.TitleOf(Ref(window.handle)), title);

    // A title that seems to grow on every read still gives an answer: the last read.
    understatedLengths = 1000;
    const std::string read = source.TitleOf(Ref(window.handle));
    EXPECT_FALSE(read.empty());
    EXPECT_EQ(title.compare(0, read.size(), read), 0);
    understatedLengths = 0;
}

TEST(Win32Foreground, VanishedWindowGivesNoTitleAndNoProcess)
{
    Win32Foreground source;
    HWND gone = TestWindow("soon gone").handle;
    EXPECT_EQ(source.TitleOf(Ref(gone)), "");
    EXPECT_EQ(source.ProcessIdOf(Ref(gone)), 0u);
    EXPECT_EQ(source.TitleOf(0), "");
    EXPECT_EQ(source.ProcessIdOf(0), 0u);
}

TEST(ImageListIcons, FileIconIsAppendedAndTheExtractedHandleReleased)
{
    ImageList list;
    WatchedExtractor watched;
    ImageListIcons icons(list.handle, watched.Extractor());

    const std::optional<int> index = icons.AppendFileIcon(SystemFile("shell32.dll"));
    ASSERT_TRUE(index.has_value());
    EXPECT_EQ(*index, 0);
    EXPECT_EQ(list.Count(), 1);
    ASSERT_EQ(watched.handedOut.size(), 1u);
    ASSERT_NE(watched.handedOut[0], nullptr);
    EXPECT_FALSE(IsLiveIcon(watched.handedOut[0]));

    // The image list keeps a copy of its own.
    const HICON copy = ImageList_GetIcon(list.handle, *index, ILD_NORMAL);
    EXPECT_TRUE(IsLiveIcon(copy));
    DestroyIcon(copy);

    EXPECT_EQ(icons.AppendFileIcon(SystemFile("notepad.exe")), std::optional<int>(1));
    EXPECT_EQ(list.Count(), 2);
}

TEST(ImageListIcons, FileWithoutIconsAddsNothing)
{
    ImageList list;
    ImageListIcons icons(list.handle, GetModuleHandleA(nullptr));
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);

    EXPECT_EQ(icons.AppendFileIcon(""), std::nullopt);
    EXPECT_EQ(icons.AppendFileIcon(SystemFile("kernel32.dll")), std::nullopt);
    EXPECT_EQ(icons.AppendFileIcon(std::string(windows) + "\\win.ini"), std::nullopt);
    EXPECT_EQ(icons.AppendFileIcon("C:\\no such folder\\missing.exe"), std::nullopt);
    EXPECT_EQ(icons.AppendFileIcon(std::string(5000, 'x') + ".exe"), std::nullopt);
    EXPECT_EQ(list.Count(), 0);

    // ExtractIconA's "not an icon file" answer is 1, which is no handle.
    ImageListIcons notIconFile(list.handle, [](const char*) { return reinterpret_cast<HICON>(1); });
    EXPECT_EQ(notIconFile.AppendFileIcon("C:\\readme.txt"), std::nullopt);
    EXPECT_EQ(list.Count(), 0);
}

TEST(ImageListIcons, IconRefusedByTheImageListIsStillReleased)
{
    WatchedExtractor watched;
    ImageListIcons icons(nullptr, watched.Extractor());
    EXPECT_EQ(icons.AppendFileIcon(SystemFile("shell32.dll")), std::optional<int>(-1));
    ASSERT_EQ(watched.handedOut.size(), 1u);
    ASSERT_NE(watched.handedOut[0], nullptr);
    EXPECT_FALSE(IsLiveIcon(watched.handedOut[0]));
}

TEST(ImageListIcons, WindowSmallIconIsAppendedAndLeftToTheWindow)
{
    ImageList list;
    ImageListIcons icons(list.handle, GetModuleHandleA(nullptr));
    TestWindow window("with icon", "STATIC", WS_OVERLAPPEDWINDOW);
    TestWindow bare("without icon", "STATIC", WS_OVERLAPPEDWINDOW);
    const HICON smallIcon = CopyIcon(LoadIconA(nullptr, IDI_APPLICATION));
    const HICON bigIcon = CopyIcon(LoadIconA(nullptr, IDI_WARNING));
    SendMessageA(window.handle, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
    SendMessageA(bare.handle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon));

    EXPECT_EQ(icons.AppendWindowIcon(Ref(window.handle)), std::optional<int>(0));
    EXPECT_EQ(list.Count(), 1);
    EXPECT_TRUE(IsLiveIcon(smallIcon));

    // Only the small icon counts: no fall-back to the big one.
    EXPECT_EQ(icons.AppendWindowIcon(Ref(bare.handle)), std::nullopt);
    HWND gone = TestWindow("soon gone").handle;
    EXPECT_EQ(icons.AppendWindowIcon(Ref(gone)), std::nullopt);
    EXPECT_EQ(list.Count(), 1);

    DestroyIcon(smallIcon);
    DestroyIcon(bigIcon);
}

TEST(ImageListIcons, HungWindowGivesNoIconInsteadOfBlocking)
{
    struct HungThread {
        HWND window = nullptr;
        HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        HICON icon = CopyIcon(LoadIconA(nullptr, IDI_APPLICATION));

        static DWORD WINAPI Run(void* parameter)
        {
            auto* self = static_cast<HungThread*>(parameter);
            self->window = CreateWindowExA(0, "STATIC", "hung", WS_POPUP, 0, 0, 10, 10, nullptr,
                                           nullptr, GetModuleHandleA(nullptr), nullptr);
            SendMessageA(self->window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(self->icon));
            SetEvent(self->ready);
            // Stops reading its queue until the test lets it go.
            WaitForSingleObject(self->release, INFINITE);
            DestroyWindow(self->window);
            return 0;
        }
    } hung;

    const HANDLE thread = CreateThread(nullptr, 0, &HungThread::Run, &hung, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    ASSERT_EQ(WaitForSingleObject(hung.ready, 10000), WAIT_OBJECT_0);
    ASSERT_NE(hung.window, nullptr);

    ImageList list;
    ImageListIcons icons(list.handle, GetModuleHandleA(nullptr));
    EXPECT_EQ(icons.AppendWindowIcon(Ref(hung.window)), std::nullopt);
    EXPECT_EQ(list.Count(), 0);

    SetEvent(hung.release);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    CloseHandle(hung.ready);
    CloseHandle(hung.release);
    DestroyIcon(hung.icon);
}
