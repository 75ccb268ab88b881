// Text forms of tick counts (one tick is one second) and of a count's share of a total.
#pragma once

#include <cstdint>
#include <string>

// "h:mm:ss"; hours are never wrapped into days (86400 -> "24:00:00").
std::string FormatDuration(std::uint32_t seconds);

// part * 100 / total in double precision, fraction dropped / rounded half up.
// A total of 0 gives 0.
int PercentTruncated(std::uint32_t part, std::uint32_t total);
int PercentRounded(std::uint32_t part, std::uint32_t total);
