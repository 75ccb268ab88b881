// Foreground time per application and per window title, for the life of the main window.
#pragma once

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

    struct TickResult {
        bool created;           // the application had no record before this tick
        std::uint32_t ticks;    // the record's ticks after this tick
    };

    std::uint32_t IncrementTotal();
    TickResult AddTick(const std::string& appName, const std::string& title);
    void SetIconIndex(const std::string& appName, std::int32_t iconIndex);
    const AppRecord* Find(const std::string& appName) const;    // nullptr when unknown
    void Clear();

    const AppMap& apps() const { return m_apps; }
    std::uint32_t totalTicks() const { return m_totalTicks; }

private:
    AppMap m_apps;
    std::uint32_t m_totalTicks = 0;
};
