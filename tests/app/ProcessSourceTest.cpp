#include "app/ProcessSnapshot.h"
#include "app/Win32Foreground.h"
#include "app/Win32ProcessSource.h"
#include "core/ActivitySampler.h"
#include "core/ActivityStore.h"
#include "core/ProcessNameCache.h"
#include "tests/app/ProcessTestChild.h"
#include "tests/support/FakePorts.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace {

std::string ModulePath()
{
    char path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameA(nullptr, path, sizeof path);
    return std::string(path, length);
}

// The waiting helper built beside this test, copied to a fresh folder under the given file name.
struct ChildProgram {
    std::string folder;
    std::string path;
    bool copied = false;

    ChildProgram(const std::string& subfolder, const std::string& fileName)
    {
        char temp[MAX_PATH];
        ::GetLongPathNameA(std::string(temp, ::GetTempPathA(sizeof temp, temp)).c_str(), temp,
                           sizeof temp);
        folder = std::string(temp) + "vantel-process-test-" +
                 std::to_string(::GetCurrentProcessId()) + "-" + subfolder;
        ::CreateDirectoryA(folder.c_str(), nullptr);
        path = folder + "\\" + fileName;
        const std::string self = ModulePath();
        const std::string helper = self.substr(0, self.find_last_of('\\') + 1) + "process_test_child.exe";
        copied = ::CopyFileA(helper.c_str(), path.c_str(), FALSE) != FALSE;
    }
    ~ChildProgram()
    {
        ::DeleteFileA(path.c_str());
        ::RemoveDirectoryA(folder.c_str());
    }
};

// A running copy of a ChildProgram; ended when the object goes.
struct ChildProcess {
    PROCESS_INFORMATION info{};

    explicit ChildProcess(const ChildProgram& program, const std::string& argument = "")
    {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        std::string commandLine = "\"" + program.path + "\" " + argument;
        if (::CreateProcessA(program.path.c_str(), &commandLine[0], nullptr, nullptr, FALSE,
                             CREATE_NO_WINDOW, nullptr, nullptr, &startup, &info))
            ::CloseHandle(info.hThread);
    }
    ~ChildProcess() { End(); }
    bool running() const { return info.hProcess != nullptr; }
    DWORD id() const { return info.dwProcessId; }

    // Ends the process and lets go of it, so that its identifier names no process any more.
    void End()
    {
        if (!info.hProcess)
            return;
        ::TerminateProcess(info.hProcess, 0);
        ::WaitForSingleObject(info.hProcess, 5000);
        ::CloseHandle(info.hProcess);
        info.hProcess = nullptr;
    }
};

// The names of one new snapshot, by process identifier.
std::map<std::uint32_t, std::string> SnapshotNames()
{
    std::map<std::uint32_t, std::string> names;
    Win32ProcessSource processes;
    EXPECT_TRUE(processes.VisitSnapshot([&](std::uint32_t id, const std::string& name) { names[id] = name; }));
    return names;
}

TEST(ProcessSnapshot, DeliversEveryProcessIncludingThisOne)
{
    ProcessSnapshot snapshot;
    PROCESSENTRY32 entry{};
    std::vector<DWORD> ids;
    std::string ownName;
    // Next sets the size itself, whatever the caller left in it.
    entry.dwSize = 0;
    while (snapshot.Next(entry)) {
        ids.push_back(entry.th32ProcessID);
        if (entry.th32ProcessID == ::GetCurrentProcessId())
            ownName = entry.szExeFile;
        entry.dwSize = 12345;
    }
    EXPECT_GT(ids.size(), 1u);
    EXPECT_EQ("app_process_tests.exe", ownName);
}

// How the cache uses these answers is tested on the host with a scripted source.
TEST(Win32ProcessSource, NamesCopiesOfOneProgramAsOnDiskAndTellsTheirFoldersApart)
{
    ChildProgram first("one", "Twin_Probe.exe");
    ChildProgram second("two", "Twin_Probe.exe");
    ASSERT_TRUE(first.copied && second.copied);
    ChildProcess a(first), b(first), c(second);
    ASSERT_TRUE(a.running() && b.running() && c.running());

    const std::map<std::uint32_t, std::string> names = SnapshotNames();
    for (const ChildProcess* child : { &a, &b, &c }) {
        ASSERT_EQ(names.count(child->id()), 1u);
        EXPECT_EQ(names.at(child->id()), "Twin_Probe.exe");
    }
    EXPECT_EQ(names.at(::GetCurrentProcessId()), "app_process_tests.exe");
    // A process started after the cache was filled is found by the snapshot its lookup takes.
    Win32ProcessSource processes;
    ProcessNameCache cache(processes);
    cache.Rebuild();
    ChildProcess later(second);
    EXPECT_EQ(cache.NameOf(later.id()), "Twin_Probe.exe");

    EXPECT_STRCASEEQ(first.path.c_str(), processes.ExecutablePathOf(a.id()).c_str());
    EXPECT_STRCASEEQ(second.path.c_str(), processes.ExecutablePathOf(c.id()).c_str());
    EXPECT_STRCASEEQ(ModulePath().c_str(), processes.ExecutablePathOf(::GetCurrentProcessId()).c_str());
}

TEST(Win32ProcessSource, EndedProcessIsInNoSnapshotAndHasNoPath)
{
    ChildProgram program("ended", "ended_probe.exe");
    ASSERT_TRUE(program.copied);
    ChildProcess child(program);
    ASSERT_TRUE(child.running());
    const DWORD id = child.id();
    child.End();

    EXPECT_EQ(SnapshotNames().count(id), 0u);
    Win32ProcessSource processes;
    EXPECT_EQ("", processes.ExecutablePathOf(id));
    EXPECT_EQ("", processes.ExecutablePathOf(0));
}

// The sampler sees the frame in front.
struct FrameInFront : Win32Foreground {
    HWND frame;
    explicit FrameInFront(HWND window) : frame(window) {}
    WindowRef ForegroundWindow() override { return reinterpret_cast<WindowRef>(frame); }
};

// A Store app's frame belongs to ApplicationFrameHost.exe, its core window to the app: here the
// frame host is a copy of the helper, and this test process is the app.
TEST(Win32Foreground, StoreAppIsTheProcessOfTheCoreWindowInItsFrame)
{
    ChildProgram program("frame", "ApplicationFrameHost.exe");
    ASSERT_TRUE(program.copied);
    ChildProcess host(program, "frame");
    ASSERT_TRUE(host.running());
    const std::string readyName = FrameReadyEventName(host.id());
    const UniqueKernelHandle ready(::CreateEventA(nullptr, TRUE, FALSE, readyName.c_str()));
    ASSERT_EQ(::WaitForSingleObject(ready.get(), 10000), WAIT_OBJECT_0);
    const HWND frame = ::FindWindowA("ApplicationFrameWindow", "Calculator");
    DWORD frameProcess = 0;
    ::GetWindowThreadProcessId(frame, &frameProcess);
    ASSERT_EQ(frameProcess, host.id());

    FrameInFront foreground(frame);
    const WindowRef frameRef = foreground.ForegroundWindow();
    // The frame host's own core window and this process's window of another class do not count.
    const HWND other = ::CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, frame, nullptr,
                                         ::GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(foreground.CoreWindowProcessOf(frameRef), 0u);

    WNDCLASSA coreClass = {};
    coreClass.lpfnWndProc = DefWindowProcA;
    coreClass.hInstance = ::GetModuleHandleA(nullptr);
    coreClass.lpszClassName = "Windows.UI.Core.CoreWindow";
    ::RegisterClassA(&coreClass);
    const HWND core = ::CreateWindowExA(0, coreClass.lpszClassName, "", WS_CHILD, 0, 0, 10, 10,
                                        frame, nullptr, coreClass.hInstance, nullptr);
    ASSERT_NE(core, nullptr);
    EXPECT_EQ(foreground.CoreWindowProcessOf(frameRef), ::GetCurrentProcessId());
    EXPECT_EQ(foreground.CoreWindowProcessOf(reinterpret_cast<WindowRef>(other)), 0u);

    // A tick counts this program, under the frame's title, with this program's icon.
    ActivityStore store;
    Win32ProcessSource processes;
    ProcessNameCache names(processes);
    FakeIcons icons;
    FakeRows rows;
    FakeTray tray;
    ActivitySampler(store, names, processes, foreground, icons, rows, tray)
        .OnTimer(ActivitySampler::kSamplingTimerId);
    const AppRecord* app = store.Find("app_process_tests.exe");
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(app->documents.count("Calculator"), 1u);
    ASSERT_EQ(icons.fileQueries.size(), 1u);
    EXPECT_STRCASEEQ(icons.fileQueries[0].c_str(), ModulePath().c_str());

    ::DestroyWindow(core);
    ::DestroyWindow(other);
}

} // namespace
