#include "core/Duration.h"

#include <gtest/gtest.h>

namespace {

TEST(FormatDuration, PadsMinutesAndSecondsButNeverWrapsHours)
{
    EXPECT_EQ("0:00:00", FormatDuration(0));
    EXPECT_EQ("0:59:59", FormatDuration(3599));
    EXPECT_EQ("1:01:01", FormatDuration(3661));
    EXPECT_EQ("24:00:00", FormatDuration(86400));
    EXPECT_EQ("1193046:28:15", FormatDuration(4294967295u));
}

TEST(Percent, TruncatesOrRoundsHalfUpInDoublePrecision)
{
    const struct {
        std::uint32_t part, total;
        int truncated, rounded;
    } cases[] = {
        {2, 3, 66, 67}, {3, 8, 37, 38}, {199, 200, 99, 100}, {1, 200, 0, 1}, {1, 201, 0, 0},
        {7, 7, 100, 100}, {5, 0, 0, 0},
        // part * 100 overflows 32 bits here.
        {4294967295u, 4294967295u, 100, 100}, {2147483647u, 4294967295u, 49, 50},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.truncated, PercentTruncated(c.part, c.total)) << c.part << "/" << c.total;
        EXPECT_EQ(c.rounded, PercentRounded(c.part, c.total)) << c.part << "/" << c.total;
    }
}

} // namespace
