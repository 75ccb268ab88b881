// What process identification needs from the system, so that the name cache runs anywhere.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

class ProcessSource {
public:
    using Visitor = std::function<void(std::uint32_t processId, const std::string& exeFile)>;

    virtual ~ProcessSource() = default;

    // Takes a new snapshot of every process and calls visit for each entry in the order the system
    // reports them (exeFile is the bare file name, letter case as reported). Returns false, having
    // visited nothing, when no snapshot could be taken.
    virtual bool VisitSnapshot(const Visitor& visit) = 0;

    // Full path of the process's main executable, or "" when the process cannot be asked.
    virtual std::string ExecutablePathOf(std::uint32_t processId) = 0;
};
