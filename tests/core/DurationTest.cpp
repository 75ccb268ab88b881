#include "core/Duration.h"

#include <gtest/gtest.h>

namespace {

TEST(FormatDuration, PadsMinutesAndSecondsButNeverWrapsHours)
{
    EXPECT_EQ("0:00:00", FormatDuration(0));
    EXPECT_EQ("0:00:59", FormatDuration(59));
    EXPECT_EQ("0:01:00", FormatDuration(60));
    EXPECT_EQ("0:59:59", FormatDuration(3599));
    EXPECT_EQ("1:00:00", FormatDuration(3600));
    EXPECT_EQ("1:01:01", FormatDuration(3661));
    EXPECT_EQ("24:00:00", FormatDuration(86400));
    EXPECT_EQ("100:00:00", FormatDuration(360000));
    EXPECT_EQ("1193046:28:15", FormatDuration(4294967295u));
}

TEST(Percent, TruncatesOrRoundsHalfUp)
{
    EXPECT_EQ(33, PercentTruncated(1, 3));
    EXPECT_EQ(33, PercentRounded(1, 3));
    EXPECT_EQ(66, PercentTruncated(2, 3));
    EXPECT_EQ(67, PercentRounded(2, 3));
    EXPECT_EQ(12, PercentTruncated(1, 8));
    EXPECT_EQ(13, PercentRounded(1, 8));
    EXPECT_EQ(37, PercentTruncated(3, 8));
    EXPECT_EQ(38, PercentRounded(3, 8));
    EXPECT_EQ(99, PercentTruncated(199, 200));
    EXPECT_EQ(100, PercentRounded(199, 200));
    EXPECT_EQ(0, PercentTruncated(1, 200));
    EXPECT_EQ(1, PercentRounded(1, 200));
    EXPECT_EQ(0, PercentTruncated(1, 201));
    EXPECT_EQ(0, PercentRounded(1, 201));
    EXPECT_EQ(100, PercentTruncated(7, 7));
    EXPECT_EQ(100, PercentRounded(7, 7));
}

TEST(Percent, StaysExactForTheLargestCounts)
{
    // part * 100 overflows 32 bits here; the arithmetic must be done in double.
    EXPECT_EQ(100, PercentTruncated(4294967295u, 4294967295u));
    EXPECT_EQ(50, PercentTruncated(2147483648u, 4294967295u));
    EXPECT_EQ(49, PercentTruncated(2147483647u, 4294967295u));
    EXPECT_EQ(50, PercentRounded(2147483647u, 4294967295u));
}

TEST(Percent, ZeroTotalGivesZero)
{
    EXPECT_EQ(0, PercentTruncated(0, 0));
    EXPECT_EQ(0, PercentRounded(5, 0));
}

} // namespace
