#include "core/TrayTip.h"

#include "core/ActivityStore.h"
#include "core/Duration.h"
#include "core/Utf8.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr std::string_view kEllipsis = "...";
constexpr std::size_t kNoLimit = static_cast<std::size_t>(-1);

// The lines of the tooltip before they are laid out: how long names may be and how wide the
// padding is decide the text, and its length can be worked out without writing it.
class TipLines {
public:
    struct Layout {
        std::size_t nameLimit;   // characters a name may keep, "..." included
        std::size_t tenthsPerPad;   // blanks per missing character, in tenths
    };

    explicit TipLines(std::string heading) : m_heading(std::move(heading)) {}

    void Add(const TopEntry& place)
    {
        char tail[48];
        std::snprintf(tail, sizeof tail, "  %s  %d%%\n", FormatDuration(place.ticks).c_str(),
                      place.percent);
        m_lines.push_back({place.name, Utf8Length(place.name), tail});
    }

    std::size_t LongestName() const
    {
        std::size_t longest = 0;
        for (const Line& line : m_lines)
            longest = std::max(longest, line.characters);
        return longest;
    }

    std::size_t Length(const Layout& layout) const
    {
        std::size_t length = m_heading.size();
        const std::size_t width = Width(layout);
        for (const Line& line : m_lines)
            length += NameBytes(line, layout) + Blanks(line, width, layout) + line.tail.size();
        return length;
    }

    std::string Text(const Layout& layout) const
    {
        std::string text = m_heading;
        const std::size_t width = Width(layout);
        for (const Line& line : m_lines) {
            if (line.characters <= layout.nameLimit) {
                text.append(line.name);
            } else {
                text.append(line.name.substr(0, Utf8PrefixBytes(line.name, ShortenedKeeps(layout))));
                text.append(kEllipsis);
            }
            text.append(Blanks(line, width, layout), ' ');
            text.append(line.tail);
        }
        return text;
    }

private:
    struct Line {
        std::string_view name;
        std::size_t characters;
        std::string tail;   // "  0:30:00  50%\n"
    };

    static std::size_t ShortenedKeeps(const Layout& layout)
    {
        return layout.nameLimit - kEllipsis.size();
    }

    static std::size_t Shown(const Line& line, const Layout& layout)
    {
        return std::min(line.characters, layout.nameLimit);
    }

    std::size_t Width(const Layout& layout) const
    {
        std::size_t width = 0;
        for (const Line& line : m_lines)
            width = std::max(width, Shown(line, layout));
        return width;
    }

    static std::size_t NameBytes(const Line& line, const Layout& layout)
    {
        if (line.characters <= layout.nameLimit)
            return line.name.size();
        return Utf8PrefixBytes(line.name, ShortenedKeeps(layout)) + kEllipsis.size();
    }

    // Integer arithmetic gives what double arithmetic gives for 1.7 (pad 10 -> 17), also on x87,
    // where pad * 1.7 in extended precision stays just below 17 and would truncate to 16.
    static std::size_t Blanks(const Line& line, std::size_t width, const Layout& layout)
    {
        return (width - Shown(line, layout)) * layout.tenthsPerPad / 10;
    }

    std::string m_heading;
    std::vector<Line> m_lines;
};

} // namespace

std::string BuildTrayTip(const ActivityStore& store)
{
    const std::uint32_t total = store.totalTicks();
    TipLines lines("Total time: " + FormatDuration(total) + "\nTop 3:\n");

    // The store keeps its three leaders ranked as a walk over all records in key order would
    // pick them with strict comparisons: most ticks first, of equal counts the smaller name.
    for (const ActivityStore::App* app : store.leaders()) {
        if (app != nullptr)
            lines.Add({app->second.ticks, PercentTruncated(app->second.ticks, total), app->first});
    }

    // Whole names with the widest padding that fits: 1.7 blanks per character, then less.
    for (std::size_t tenths = 17;; --tenths) {
        const TipLines::Layout layout{kNoLimit, tenths};
        if (lines.Length(layout) <= kTrayTipMaxLength)
            return lines.Text(layout);
        if (tenths == 0)
            break;
    }

    // No padding, and the longest names shortened as little as it takes.
    std::size_t fits = kEllipsis.size();
    std::size_t tooLong = lines.LongestName();
    while (tooLong > fits + 1) {
        const std::size_t limit = fits + (tooLong - fits) / 2;
        if (lines.Length({limit, 0}) <= kTrayTipMaxLength)
            fits = limit;
        else
            tooLong = limit;
    }
    std::string text = lines.Text({fits, 0});
    // Three lines of "..." always fit; the cut only guards the field.
    text.resize(Utf8FitBytes(text, kTrayTipMaxLength));
    return text;
}
