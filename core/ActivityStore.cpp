#include "core/ActivityStore.h"

std::uint32_t ActivityStore::IncrementTotal()
{
    return ++m_totalTicks;
}

ActivityStore::TickResult ActivityStore::AddTick(const std::string& appName, const std::string& title)
{
    auto app = m_apps.find(appName);
    if (app == m_apps.end()) {
        AppRecord& record = m_apps[appName];
        record.ticks = 1;
        record.documents.emplace(title, 1);
        return {true, 1};
    }
    AppRecord& record = app->second;
    ++record.ticks;
    ++record.documents[title];
    return {false, record.ticks};
}

void ActivityStore::SetIconIndex(const std::string& appName, std::int32_t iconIndex)
{
    auto app = m_apps.find(appName);
    if (app != m_apps.end())
        app->second.iconIndex = iconIndex;
}

const AppRecord* ActivityStore::Find(const std::string& appName) const
{
    auto app = m_apps.find(appName);
    return app == m_apps.end() ? nullptr : &app->second;
}

void ActivityStore::Clear()
{
    m_apps.clear();
    m_totalTicks = 0;
}
