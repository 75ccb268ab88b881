#include "app/Win32ProcessSource.h"

#include "app/ProcessSnapshot.h"

#include <psapi.h>

#include <cstring>

bool Win32ProcessSource::VisitSnapshot(const Visitor& visit)
{
    ProcessSnapshot snapshot;
    PROCESSENTRY32 entry{};
    bool visited = false;
    while (snapshot.Next(entry)) {
        const std::size_t length = ::strnlen(entry.szExeFile, sizeof entry.szExeFile);
        visit(entry.th32ProcessID, std::string(entry.szExeFile, length));
        visited = true;
    }
    return visited;
}

// Asks with the least access that yields the path: limited query access is granted for elevated
// and protected processes too, and QueryFullProcessImageNameA also answers for a 64-bit process,
// which GetModuleFileNameExA from this 32-bit process cannot read.
std::string Win32ProcessSource::ExecutablePathOf(std::uint32_t processId)
{
    char path[1024];
    UniqueKernelHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (process) {
        // An ended process that someone still holds a handle to keeps its image name; like
        // GetModuleFileNameExA, answer nothing for it.
        DWORD exitCode = 0;
        if (!::GetExitCodeProcess(process.get(), &exitCode) || exitCode != STILL_ACTIVE)
            return std::string();
        DWORD length = sizeof path;
        if (::QueryFullProcessImageNameA(process.get(), 0, path, &length) && length > 0)
            return std::string(path, length);
    }

    process.reset(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    if (!process)
        return std::string();
    const DWORD length = ::GetModuleFileNameExA(process.get(), nullptr, path, sizeof path);
    // A full buffer means the path was cut; a cut path names the wrong file.
    if (length == 0 || length >= sizeof path)
        return std::string();
    return std::string(path, length);
}
