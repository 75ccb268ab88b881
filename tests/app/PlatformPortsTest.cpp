#include "app/ImageListIcons.h"
#include "app/Win32Foreground.h"

#include <shellapi.h>

#include <gtest/gtest.h>

#include "tests/support/ImportPatch.h"

#include <string>
#include <vector>

namespace {

WindowRef Ref(HWND window)
{
    return reinterpret_cast<WindowRef>(window);
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

HWND DestroyedWindow()
{
    return TestWindow("soon gone").handle;
}

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

// While it lives, the product's ExtractIconA calls extract as usual and every handle they hand out
// is kept; with notAnIconFile set they answer 1, ExtractIconA's "not an icon file".
struct WatchedExtractor {
    using Extractor = HICON(WINAPI*)(HINSTANCE, LPCSTR, UINT);
    static inline std::vector<HICON> handedOut;
    static inline bool notAnIconFile = false;
    static inline Extractor original = nullptr;
    static HICON WINAPI Extract(HINSTANCE instance, LPCSTR path, UINT index)
    {
        if (notAnIconFile)
            return reinterpret_cast<HICON>(1);
        handedOut.push_back(original(instance, path, index));
        return handedOut.back();
    }
    WatchedExtractor()
    {
        handedOut.clear();
        notAnIconFile = false;
        original = patch.Original<Extractor>();
    }
    const ImportPatch patch{"shell32.dll", "ExtractIconA", &Extract};
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

} // namespace

// Long titles and titles with control characters are read whole in tests/soak, which also
// checks that a hung window in front costs a tick no more than the icon request's time-out.
TEST(Win32Foreground, ReadsTheWindowInFrontItsProcessAndTitleAndNothingOfAVanishedOne)
{
    Win32Foreground source;
    TestWindow window("Vantel foreground test", "STATIC", WS_OVERLAPPEDWINDOW);
    ShowWindow(window.handle, SW_SHOW);
    SetForegroundWindow(window.handle);
    for (int i = 0; i < 200 && GetForegroundWindow() != window.handle; ++i) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        Sleep(10);
    }
    EXPECT_EQ(source.ForegroundWindow(), Ref(window.handle));
    EXPECT_EQ(source.ProcessIdOf(Ref(window.handle)), GetCurrentProcessId());
    EXPECT_EQ(source.TitleOf(Ref(window.handle)), "Vantel foreground test");
    SetWindowTextA(window.handle, "");
    EXPECT_EQ(source.TitleOf(Ref(window.handle)), "");
    EXPECT_EQ(source.DesktopWindow(), Ref(GetDesktopWindow()));
    EXPECT_NE(source.ProcessIdOf(source.DesktopWindow()), 0u);

    for (WindowRef gone : { Ref(DestroyedWindow()), WindowRef{} }) {
        EXPECT_EQ(source.TitleOf(gone), "");
        EXPECT_EQ(source.ProcessIdOf(gone), 0u);
    }
}

TEST(Win32Foreground, TitleThatGrewAfterItsLengthWasTakenIsReadAgain)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = GrowingTitleProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "VantelGrowingTitleTest";
    RegisterClassA(&wc);
    std::string title;
    for (int i = 0; i < 300; ++i)
        title += static_cast<char>('A' + i % 26);
    TestWindow window(title.c_str(), wc.lpszClassName);
    ASSERT_NE(window.handle, nullptr);
    Win32Foreground source;

    understatedLengths = 1;
    EXPECT_EQ(source.TitleOf(Ref(window.handle)), title);

    // A title that seems to grow on every read still gives an answer: the last read.
    understatedLengths = 1000;
    const std::string read = source.TitleOf(Ref(window.handle));
    EXPECT_FALSE(read.empty());
    EXPECT_EQ(title.compare(0, read.size(), read), 0);
    understatedLengths = 0;

    // In UTF-8 a read with too little room stops before the character that does not fit, short
    // of filling the buffer: here an emoji (4 bytes) after a length taken without it.
    ASSERT_EQ(GetACP(), static_cast<UINT>(CP_UTF8));
    SetWindowTextW(window.handle, L"abcde\U0001F600");
    understatedLengths = 1;
    EXPECT_EQ(source.TitleOf(Ref(window.handle)), "abcde\xF0\x9F\x98\x80");
}

TEST(ImageListIcons, FileIconIsAppendedAndTheExtractedHandleReleasedEvenWhenRefused)
{
    ImageList list;
    WatchedExtractor watched;
    ImageListIcons icons(list.handle, GetModuleHandleA(nullptr));
    EXPECT_EQ(icons.AppendFileIcon(SystemFile("shell32.dll")), std::optional<int>(0));
    EXPECT_EQ(icons.AppendFileIcon(SystemFile("notepad.exe")), std::optional<int>(1));
    EXPECT_EQ(list.Count(), 2);
    // The image list keeps a copy of its own.
    const HICON copy = ImageList_GetIcon(list.handle, 0, ILD_NORMAL);
    EXPECT_TRUE(IsLiveIcon(copy));
    DestroyIcon(copy);

    // An image list that refuses the icon answers -1.
    ImageListIcons refusing(nullptr, GetModuleHandleA(nullptr));
    EXPECT_EQ(refusing.AppendFileIcon(SystemFile("shell32.dll")), std::optional<int>(-1));

    ASSERT_EQ(watched.handedOut.size(), 3u);
    for (HICON icon : watched.handedOut) {
        ASSERT_NE(icon, nullptr);
        EXPECT_FALSE(IsLiveIcon(icon));
    }
}

TEST(ImageListIcons, FileWithoutIconsAddsNothing)
{
    ImageList list;
    ImageListIcons icons(list.handle, GetModuleHandleA(nullptr));
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    for (const std::string& path : { std::string(), SystemFile("kernel32.dll"),
                                     std::string(windows) + "\\win.ini",
                                     std::string("C:\\no such folder\\missing.exe"),
                                     std::string(5000, 'x') + ".exe" })
        EXPECT_EQ(icons.AppendFileIcon(path), std::nullopt) << path.substr(0, 40);

    // ExtractIconA's "not an icon file" answer is 1, which is no handle.
    WatchedExtractor watched;
    watched.notAnIconFile = true;
    EXPECT_EQ(icons.AppendFileIcon("C:\\readme.txt"), std::nullopt);
    EXPECT_EQ(list.Count(), 0);
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
    EXPECT_TRUE(IsLiveIcon(smallIcon));
    // Only the small icon counts: no fall-back to the big one.
    EXPECT_EQ(icons.AppendWindowIcon(Ref(bare.handle)), std::nullopt);
    EXPECT_EQ(icons.AppendWindowIcon(Ref(DestroyedWindow())), std::nullopt);
    EXPECT_EQ(list.Count(), 1);

    DestroyIcon(smallIcon);
    DestroyIcon(bigIcon);
}
