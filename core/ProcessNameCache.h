// Executable file names of processes, from the last process snapshot; refilled on a miss.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

class ProcessSource;

inline constexpr char kUnknownApplicationName[] = "??? Unknown Application name ???";

class ProcessNameCache {
public:
    explicit ProcessNameCache(ProcessSource& source) : m_source(source) {}

    // The executable file name as the process list reports it, or kUnknownApplicationName.
    // An identifier that is not cached takes a new snapshot, every time it is asked for.
    std::string NameOf(std::uint32_t processId);

    // Replaces every entry by those of a new snapshot (none when no snapshot can be taken).
    void Rebuild();

private:
    ProcessSource& m_source;
    std::unordered_map<std::uint32_t, std::string> m_entries;
};
