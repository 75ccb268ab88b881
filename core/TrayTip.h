// The notification-area tooltip: total time and the three applications with the most time.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class ActivityStore;

// One of the three places of the tooltip. name points into the store's keys and is valid only
// while BuildTrayTip runs.
struct TopEntry {
    std::uint32_t ticks = 0;
    int percent = 0;
    std::string_view name;
};

// At most 127 characters (the tray's tooltip field holds 128 with the terminating NUL).
constexpr std::size_t kTrayTipMaxLength = 127;

std::string BuildTrayTip(const ActivityStore& store);
