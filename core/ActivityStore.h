// Foreground time per application and per window title, for the life of the main window.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>

struct AppRecord {
    std::int32_t iconIndex = 0;     // index in the main list's small image list
    std::uint32_t ticks = 0;        // always the sum of the documents' counts
    std::map<std::string, std::uint32_t> documents;   // window title -> ticks
};

// Keys are std::string, whose ordering compares characters as unsigned bytes (char_traits<char>),
// the shorter of two strings first when one begins the other.
class ActivityStore {
public:
    using AppMap = std::map<std::string, AppRecord>;
    using App = AppMap::value_type;
    // The three applications with the most ticks, most first; of equal counts the smaller name
    // comes first. nullptr for places not taken yet.
    using Leaders = std::array<const App*, 3>;

    struct TickResult {
        bool created;           // the application had no record before this tick
        std::uint32_t ticks;    // the record's ticks after this tick
    };

    // The leaders point into the records, so a store is neither copied nor moved.
    ActivityStore() = default;
    ActivityStore(const ActivityStore&) = delete;
    ActivityStore& operator=(const ActivityStore&) = delete;

    std::uint32_t IncrementTotal();
    TickResult AddTick(const std::string& appName, const std::string& title);
    void SetIconIndex(const std::string& appName, std::int32_t iconIndex);
    const AppRecord* Find(const std::string& appName) const;    // nullptr when unknown
    void Clear();

    const AppMap& apps() const { return m_apps; }
    std::uint32_t totalTicks() const { return m_totalTicks; }
    // Kept up to date by AddTick, so that the tray tooltip need not walk every record.
    const Leaders& leaders() const { return m_leaders; }

private:
    void Promote(const App& app);

    AppMap m_apps;
    std::uint32_t m_totalTicks = 0;
    Leaders m_leaders{};
};
