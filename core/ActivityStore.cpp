#include "core/ActivityStore.h"

#include <algorithm>

std::uint32_t ActivityStore::IncrementTotal()
{
    return ++m_totalTicks;
}

ActivityStore::TickResult ActivityStore::AddTick(const std::string& appName, const std::string& title)
{
    auto app = m_apps.lower_bound(appName);
    if (app == m_apps.end() || app->first != appName) {
        app = m_apps.emplace_hint(app, appName, AppRecord{});
        app->second.ticks = 1;
        app->second.documents.emplace(title, 1);
        Promote(*app);
        return {true, 1};
    }
    AppRecord& record = app->second;
    ++record.ticks;
    ++record.documents[title];
    Promote(*app);
    return {false, record.ticks};
}

// Only the record that just gained a tick can change the leaders: it may enter in place of the
// third, then it climbs past every leader it now outranks.
void ActivityStore::Promote(const App& app)
{
    auto outranks = [](const App* a, const App* b) {
        if (b == nullptr)
            return true;
        if (a->second.ticks != b->second.ticks)
            return a->second.ticks > b->second.ticks;
        return a->first < b->first;
    };
    auto place = std::find(m_leaders.begin(), m_leaders.end(), &app);
    if (place == m_leaders.end()) {
        if (!outranks(&app, m_leaders.back()))
            return;
        place = m_leaders.end() - 1;
        *place = &app;
    }
    for (; place != m_leaders.begin() && outranks(*place, *(place - 1)); --place)
        std::iter_swap(place, place - 1);
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
    m_leaders.fill(nullptr);
}
