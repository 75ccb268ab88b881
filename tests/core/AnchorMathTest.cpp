#include "core/AnchorMath.h"

#include <gtest/gtest.h>

namespace {

AnchorRect Rect(int left, int top, int right, int bottom)
{
    AnchorRect r;
    r.left = left;
    r.top = top;
    r.right = right;
    r.bottom = bottom;
    return r;
}

void ExpectRect(const AnchorRect& actual, int left, int top, int right, int bottom)
{
    EXPECT_EQ(actual.left, left);
    EXPECT_EQ(actual.top, top);
    EXPECT_EQ(actual.right, right);
    EXPECT_EQ(actual.bottom, bottom);
}

TEST(AnchorMath, ModesGiveEdgePercentages)
{
    const AnchorPercents stretchFollow = AnchorPercentsFor(AnchorStretch, AnchorFollow);
    EXPECT_EQ(stretchFollow.left, 0);
    EXPECT_EQ(stretchFollow.right, 100);
    EXPECT_EQ(stretchFollow.top, 100);
    EXPECT_EQ(stretchFollow.bottom, 100);

    const AnchorPercents centerFixed = AnchorPercentsFor(AnchorCenter, AnchorFixed);
    EXPECT_EQ(centerFixed.left, 50);
    EXPECT_EQ(centerFixed.right, 50);
    EXPECT_EQ(centerFixed.top, 0);
    EXPECT_EQ(centerFixed.bottom, 0);
    EXPECT_TRUE(centerFixed.MovesAnything());

    const AnchorPercents fixedStretch = AnchorPercentsFor(AnchorFixed, AnchorStretch);
    EXPECT_EQ(fixedStretch.left, 0);
    EXPECT_EQ(fixedStretch.right, 0);
    EXPECT_EQ(fixedStretch.top, 0);
    EXPECT_EQ(fixedStretch.bottom, 100);
    EXPECT_TRUE(fixedStretch.MovesAnything());
}

TEST(AnchorMath, FixedAndUnknownModesMoveNothing)
{
    EXPECT_FALSE(AnchorPercentsFor(AnchorFixed, AnchorFixed).MovesAnything());
    for (int mode : {-1, 4, 7, 255, 1000}) {
        EXPECT_FALSE(AnchorPercentsFor(mode, mode).MovesAnything()) << mode;
        const AnchorPercents mixed = AnchorPercentsFor(mode, AnchorFollow);
        EXPECT_EQ(mixed.left, 0) << mode;
        EXPECT_EQ(mixed.right, 0) << mode;
        EXPECT_EQ(mixed.top, 100) << mode;
    }
}

TEST(AnchorMath, GrowthMovesEdgesByTruncatedShares)
{
    const AnchorRect origin = Rect(10, 20, 110, 45);

    // 15 * 50 / 100 = 7.5: a centred control moves by 7 on both edges.
    ExpectRect(AnchoredRect(origin, AnchorPercentsFor(AnchorCenter, AnchorCenter), 15, 15),
               17, 27, 117, 52);
    // A stretched control grows by the whole growth, its top-left corner stays.
    ExpectRect(AnchoredRect(origin, AnchorPercentsFor(AnchorStretch, AnchorStretch), 15, 31),
               10, 20, 125, 76);
    // Following moves the control, keeping its size.
    ExpectRect(AnchoredRect(origin, AnchorPercentsFor(AnchorFollow, AnchorFollow), 15, 31),
               25, 51, 125, 76);
    // Each direction takes only its own growth.
    ExpectRect(AnchoredRect(origin, AnchorPercentsFor(AnchorFixed, AnchorStretch), 40, 3),
               10, 20, 110, 48);
    // Odd percentages truncate each edge on its own: 33 * 33 / 100 = 10.89, 33 * 67 / 100 = 22.11.
    AnchorPercents odd;
    odd.left = 33;
    odd.right = 67;
    ExpectRect(AnchoredRect(origin, odd, 33, 0), 20, 20, 132, 45);
}

TEST(AnchorMath, PositionsComeFromOriginNotFromTheLastPlace)
{
    const AnchorRect origin = Rect(0, 0, 50, 50);
    const AnchorPercents center = AnchorPercentsFor(AnchorCenter, AnchorCenter);
    // Growing by 1 pixel at a time many times lands exactly where one big step lands.
    AnchorRect placed = origin;
    for (int dx = 1; dx <= 101; ++dx)
        placed = AnchoredRect(origin, center, dx, dx);
    ExpectRect(placed, 50, 50, 100, 100);
    // Back to no growth: back at origin.
    ExpectRect(AnchoredRect(origin, center, 0, 0), 0, 0, 50, 50);
}

TEST(AnchorMath, ShrinkingCountsAsNoGrowth)
{
    EXPECT_EQ(LayoutGrowth(415, 400), 15);
    EXPECT_EQ(LayoutGrowth(400, 400), 0);
    EXPECT_EQ(LayoutGrowth(380, 400), 0);
    EXPECT_EQ(LayoutGrowth(0, 400), 0);  // a minimised dialog's client area
    const AnchorRect origin = Rect(5, 6, 30, 40);
    ExpectRect(AnchoredRect(origin, AnchorPercentsFor(AnchorFollow, AnchorStretch),
                            LayoutGrowth(300, 400), LayoutGrowth(10, 200)),
               5, 6, 30, 40);
}

}  // namespace
