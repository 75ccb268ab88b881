#include "core/Duration.h"

#include <cstdio>

std::string FormatDuration(std::uint32_t seconds)
{
    const unsigned long hours = seconds / 3600;
    const unsigned long minutes = (seconds % 3600) / 60;
    const unsigned long rest = seconds % 60;
    char text[32];
    std::snprintf(text, sizeof text, "%lu:%02lu:%02lu", hours, minutes, rest);
    return text;
}

static double PercentOf(std::uint32_t part, std::uint32_t total)
{
    return static_cast<double>(part) * 100.0 / static_cast<double>(total);
}

int PercentTruncated(std::uint32_t part, std::uint32_t total)
{
    if (total == 0)
        return 0;
    return static_cast<int>(PercentOf(part, total));
}

int PercentRounded(std::uint32_t part, std::uint32_t total)
{
    if (total == 0)
        return 0;
    return static_cast<int>(PercentOf(part, total) + 0.5);
}
