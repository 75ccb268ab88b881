#include "core/ProcessNameCache.h"

#include "core/ProcessSource.h"

std::string ProcessNameCache::NameOf(std::uint32_t processId)
{
    auto entry = m_entries.find(processId);
    if (entry == m_entries.end()) {
        Rebuild();
        entry = m_entries.find(processId);
        if (entry == m_entries.end())
            return kUnknownApplicationName;
    }
    return entry->second;
}

void ProcessNameCache::Rebuild()
{
    m_entries.clear();
    m_source.VisitSnapshot([this](std::uint32_t processId, const std::string& exeFile) {
        m_entries[processId] = exeFile;
    });
}
