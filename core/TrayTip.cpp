#include "core/TrayTip.h"

#include "core/ActivityStore.h"
#include "core/Duration.h"

#include <algorithm>
#include <cstdio>

std::string BuildTrayTip(const ActivityStore& store)
{
    const std::uint32_t total = store.totalTicks();
    std::string text = "Total time: " + FormatDuration(total) + "\nTop 3:\n";

    // Strict comparisons over the records in key order: of equal counts the smaller name keeps
    // the higher place.
    TopEntry first, second, third;
    for (const auto& [name, record] : store.apps()) {
        const std::uint32_t t = record.ticks;
        if (t > first.ticks) {
            third = second;
            second = first;
            first = {t, PercentTruncated(t, total), name};
        } else if (t > second.ticks) {
            third = second;
            second = {t, PercentTruncated(t, total), name};
        } else if (t > third.ticks) {
            third = {t, PercentTruncated(t, total), name};
        }
    }

    const std::size_t width = std::max({first.name.size(), second.name.size(), third.name.size()});
    for (const TopEntry* entry : {&first, &second, &third}) {
        if (entry->ticks == 0)
            continue;
        // 1.7 blanks per missing character, fraction dropped. Integer arithmetic gives what
        // double arithmetic gives (pad 10 -> 17), also on x87, where pad * 1.7 in extended
        // precision stays just below 17 and would truncate to 16.
        const std::size_t blanks = (width - entry->name.size()) * 17 / 10;
        char percent[16];
        std::snprintf(percent, sizeof percent, "  %d%%\n", entry->percent);
        text.append(entry->name);
        text.append(blanks, ' ');
        text.append("  ");
        text.append(FormatDuration(entry->ticks));
        text.append(percent);
    }

    if (text.size() > kTrayTipMaxLength)
        text.resize(kTrayTipMaxLength);
    return text;
}
