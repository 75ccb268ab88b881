// A stand-in for the platform's date parser in list-sorting tests and benchmarks: reads
// "h:mm:ss" or "hh:mm:ss" below 24 hours, as the platform does for durations, and rejects
// everything else (so "24:00:01" and "100:00:00" fail, as they do there).
#pragma once

#include <string>

inline bool ParseTimeOfDay(const std::string& text, double& when)
{
    const std::size_t firstColon = text.find(':');
    if ((firstColon != 1 && firstColon != 2) || text.size() != firstColon + 6 ||
        text[firstColon + 3] != ':')
        return false;
    int fields[3] = {0, 0, 0};
    int field = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i == firstColon || i == firstColon + 3)
            ++field;
        else if (text[i] >= '0' && text[i] <= '9')
            fields[field] = fields[field] * 10 + (text[i] - '0');
        else
            return false;
    }
    if (fields[0] > 23 || fields[1] > 59 || fields[2] > 59)
        return false;
    when = (fields[0] * 3600 + fields[1] * 60 + fields[2]) / 86400.0;
    return true;
}
