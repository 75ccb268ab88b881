#include "core/TrayTip.h"

#include "core/ActivityStore.h"
#include "core/Duration.h"

#include <algorithm>
#include <cstdio>

std::string BuildTrayTip(const ActivityStore& store)
{
    const std::uint32_t total = store.totalTicks();
    std::string text = "Total time: " + FormatDuration(total) + "\nTop 3:\n";

    // The store keeps its three leaders ranked as a walk over all records in key order would
    // pick them with strict comparisons: most ticks first, of equal counts the smaller name.
    TopEntry places[3];
    const ActivityStore::Leaders& leaders = store.leaders();
    for (std::size_t i = 0; i < leaders.size(); ++i) {
        if (const ActivityStore::App* app = leaders[i])
            places[i] = {app->second.ticks, PercentTruncated(app->second.ticks, total), app->first};
    }

    std::size_t width = 0;
    for (const TopEntry& place : places)
        width = std::max(width, place.name.size());
    for (const TopEntry& place : places) {
        if (place.ticks == 0)
            continue;
        // 1.7 blanks per missing character, fraction dropped. Integer arithmetic gives what
        // double arithmetic gives (pad 10 -> 17), also on x87, where pad * 1.7 in extended
        // precision stays just below 17 and would truncate to 16.
        const std::size_t blanks = (width - place.name.size()) * 17 / 10;
        char percent[16];
        std::snprintf(percent, sizeof percent, "  %d%%\n", place.percent);
        text.append(place.name);
        text.append(blanks, ' ');
        text.append("  ");
        text.append(FormatDuration(place.ticks));
        text.append(percent);
    }

    if (text.size() > kTrayTipMaxLength)
        text.resize(kTrayTipMaxLength);
    return text;
}
