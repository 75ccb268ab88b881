#include "app/ProcessSnapshot.h"
#include "app/Win32ProcessSource.h"
#include "core/ProcessNameCache.h"

#include <gtest/gtest.h>

#include <windows.h>

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

    explicit ChildProcess(const ChildProgram& program)
    {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        std::string commandLine = "\"" + program.path + "\"";
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

// The real source, counting the snapshots taken through it.
class CountingProcessSource : public ProcessSource {
public:
    int snapshots = 0;

    bool VisitSnapshot(const Visitor& visit) override
    {
        ++snapshots;
        return m_real.VisitSnapshot(visit);
    }
    std::string ExecutablePathOf(std::uint32_t processId) override
    {
        return m_real.ExecutablePathOf(processId);
    }

private:
    Win32ProcessSource m_real;
};

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

TEST(ProcessNameCacheOnWin32, EndedProcessIsUnknownAndEveryLookupTakesASnapshot)
{
    ChildProgram program("ended", "ended_probe.exe");
    ASSERT_TRUE(program.copied);
    ChildProcess child(program);
    ASSERT_TRUE(child.running());
    const DWORD id = child.id();
    child.End();

    CountingProcessSource source;
    ProcessNameCache cache(source);
    cache.Rebuild();
    for (int lookup = 1; lookup <= 3; ++lookup) {
        EXPECT_EQ("??? Unknown Application name ???", cache.NameOf(id));
        EXPECT_EQ(1 + lookup, source.snapshots);
    }
    Win32ProcessSource processes;
    EXPECT_EQ("", processes.ExecutablePathOf(id));
    EXPECT_EQ("", processes.ExecutablePathOf(0));
}

// Copies of one program in two folders, started after the cache was filled: the first lookup
// takes one new snapshot that names them all, with the letter case of the file on disk.
TEST(ProcessNameCacheOnWin32, NewProcessesResolveAfterOneNewSnapshotAndCopiesShareTheirName)
{
    CountingProcessSource source;
    ProcessNameCache cache(source);
    cache.Rebuild();
    EXPECT_EQ("app_process_tests.exe", cache.NameOf(::GetCurrentProcessId()));
    EXPECT_EQ(1, source.snapshots);

    ChildProgram first("one", "Twin_Probe.exe");
    ChildProgram second("two", "Twin_Probe.exe");
    ASSERT_TRUE(first.copied && second.copied);
    ChildProcess a(first), b(first), c(second);
    ASSERT_TRUE(a.running() && b.running() && c.running());
    for (const ChildProcess* child : { &a, &b, &c })
        EXPECT_EQ("Twin_Probe.exe", cache.NameOf(child->id()));
    EXPECT_EQ(2, source.snapshots);

    // The paths tell the two folders apart.
    Win32ProcessSource processes;
    EXPECT_STRCASEEQ(first.path.c_str(), processes.ExecutablePathOf(a.id()).c_str());
    EXPECT_STRCASEEQ(second.path.c_str(), processes.ExecutablePathOf(c.id()).c_str());
    EXPECT_STRCASEEQ(ModulePath().c_str(),
                     processes.ExecutablePathOf(::GetCurrentProcessId()).c_str());
}

} // namespace
