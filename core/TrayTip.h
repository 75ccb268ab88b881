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

// The tray's tooltip field holds 128 bytes with the terminating NUL.
constexpr std::size_t kTrayTipMaxLength = 127;

// "Total time: h:mm:ss", "Top 3:", then a line per place: name, padding of 1.7 blanks per
// character it is shorter than the longest name, its time and its share. When that would exceed
// kTrayTipMaxLength bytes, the padding shrinks first, then the longest names are shortened with
// "...", so that every line keeps its whole time and share. Lengths count UTF-8 characters.
std::string BuildTrayTip(const ActivityStore& store);
