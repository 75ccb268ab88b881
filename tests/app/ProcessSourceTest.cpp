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

std::string FolderOf(const std::string& path)
{
    return path.substr(0, path.find_last_of('\\') + 1);
}

std::string LongPath(const std::string& path)
{
    char longPath[MAX_PATH];
    const DWORD length = ::GetLongPathNameA(path.c_str(), longPath, sizeof longPath);
    return length == 0 || length >= sizeof longPath ? path : std::string(longPath, length);
}

// The waiting helper built beside this test, copied to a fresh folder under the given file name.
class ChildProgram {
public:
    ChildProgram(const std::string& subfolder, const std::string& fileName)
    {
        char temp[MAX_PATH];
        ::GetTempPathA(sizeof temp, temp);
        m_folder = LongPath(temp) + "vantel-process-test-" + std::to_string(::GetCurrentProcessId()) +
                   "-" + subfolder;
        ::CreateDirectoryA(m_folder.c_str(), nullptr);
        m_path = m_folder + "\\" + fileName;
        const std::string helper = FolderOf(ModulePath()) + "process_test_child.exe";
        m_copied = ::CopyFileA(helper.c_str(), m_path.c_str(), FALSE) != FALSE;
    }
    ~ChildProgram()
    {
        ::DeleteFileA(m_path.c_str());
        ::RemoveDirectoryA(m_folder.c_str());
    }
    bool copied() const { return m_copied; }
    const std::string& path() const { return m_path; }

private:
    std::string m_folder;
    std::string m_path;
    bool m_copied = false;
};

// A running copy of a ChildProgram; ended when the object goes.
class ChildProcess {
public:
    explicit ChildProcess(const ChildProgram& program)
    {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        std::string commandLine = "\"" + program.path() + "\"";
        if (::CreateProcessA(program.path().c_str(), &commandLine[0], nullptr, nullptr, FALSE,
                             CREATE_NO_WINDOW, nullptr, nullptr, &startup, &m_info)) {
            ::CloseHandle(m_info.hThread);
            m_info.hThread = nullptr;
        }
    }
    ~ChildProcess() { End(); }

    bool running() const { return m_info.hProcess != nullptr; }
    DWORD id() const { return m_info.dwProcessId; }

    // Ends the process and lets go of it, so that its identifier names no process any more.
    void End()
    {
        if (!m_info.hProcess)
            return;
        ::TerminateProcess(m_info.hProcess, 0);
        ::WaitForSingleObject(m_info.hProcess, 5000);
        ::CloseHandle(m_info.hProcess);
        m_info.hProcess = nullptr;
    }

private:
    PROCESS_INFORMATION m_info{};
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

TEST(ProcessNameCacheOnWin32, NewProcessResolvesAfterOneNewSnapshot)
{
    CountingProcessSource source;
    ProcessNameCache cache(source);
    cache.Rebuild();
    ASSERT_EQ(1, source.snapshots);
    EXPECT_EQ("app_process_tests.exe", cache.NameOf(::GetCurrentProcessId()));
    EXPECT_EQ(1, source.snapshots);

    ChildProgram program("new", "Vantel_Probe.exe");
    ASSERT_TRUE(program.copied());
    ChildProcess child(program);
    ASSERT_TRUE(child.running());

    EXPECT_EQ("Vantel_Probe.exe", cache.NameOf(child.id()));   // letter case as on disk
    EXPECT_EQ(2, source.snapshots);
    EXPECT_EQ("Vantel_Probe.exe", cache.NameOf(child.id()));
    EXPECT_EQ(2, source.snapshots);
}

TEST(ProcessNameCacheOnWin32, EndedProcessIsUnknownAndEveryLookupTakesASnapshot)
{
    ChildProgram program("ended", "ended_probe.exe");
    ASSERT_TRUE(program.copied());
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
}

TEST(ProcessNameCacheOnWin32, CopiesOfOneProgramShareTheirName)
{
    ChildProgram first("one", "twin_probe.exe");
    ChildProgram second("two", "twin_probe.exe");
    ASSERT_TRUE(first.copied());
    ASSERT_TRUE(second.copied());
    ChildProcess a(first), b(first), c(second);
    ASSERT_TRUE(a.running() && b.running() && c.running());

    CountingProcessSource source;
    ProcessNameCache cache(source);
    EXPECT_EQ("twin_probe.exe", cache.NameOf(a.id()));
    EXPECT_EQ("twin_probe.exe", cache.NameOf(b.id()));
    EXPECT_EQ("twin_probe.exe", cache.NameOf(c.id()));
    EXPECT_EQ(1, source.snapshots);

    // The paths tell the two folders apart.
    Win32ProcessSource processes;
    EXPECT_STRCASEEQ(first.path().c_str(), processes.ExecutablePathOf(a.id()).c_str());
    EXPECT_STRCASEEQ(second.path().c_str(), processes.ExecutablePathOf(c.id()).c_str());
}

TEST(Win32ProcessSource, ExecutablePathIsFullOrEmpty)
{
    Win32ProcessSource processes;
    EXPECT_STRCASEEQ(ModulePath().c_str(),
                     processes.ExecutablePathOf(::GetCurrentProcessId()).c_str());

    ChildProgram program("path", "path_probe.exe");
    ASSERT_TRUE(program.copied());
    ChildProcess child(program);
    ASSERT_TRUE(child.running());
    EXPECT_STRCASEEQ(program.path().c_str(), processes.ExecutablePathOf(child.id()).c_str());

    const DWORD id = child.id();
    child.End();
    EXPECT_EQ("", processes.ExecutablePathOf(id));
    EXPECT_EQ("", processes.ExecutablePathOf(0));
}

} // namespace
