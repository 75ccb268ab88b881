// A stand-in for the platform's date parser in list-sorting tests and benchmarks: reads
// "h:mm:ss" or "hh:mm:ss" below 24 hours, as the platform does for durations, and rejects
// everything else (so "24:00:01" and "100:00:00" fail, as they do there).
#pragma once

#include <cstdlib>
#include <string>

inline bool ParseTimeOfDay(const std::string& text, double& when)
{
    const std::size_t colon = text.find(':');
    if ((colon != 1 && colon != 2) || text.size() != colon + 6)
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool separator = i == colon || i == colon + 3;
        if (separator ? text[i] != ':' : text[i] < '0' || text[i] > '9')
            return false;
    }
    // atoi stops at the next colon.
    const int hours = std::atoi(text.c_str()), minutes = std::atoi(text.c_str() + colon + 1),
              seconds = std::atoi(text.c_str() + colon + 4);
    if (hours > 23 || minutes > 59 || seconds > 59)
        return false;
    when = (hours * 3600 + minutes * 60 + seconds) / 86400.0;
    return true;
}
