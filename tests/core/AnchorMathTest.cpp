#include "core/AnchorMath.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

auto Edges(const AnchorRect& r)
{
    return std::make_tuple(r.left, r.top, r.right, r.bottom);
}

auto Edges(const AnchorPercents& p)
{
    return std::make_tuple(int{p.left}, int{p.top}, int{p.right}, int{p.bottom});
}

TEST(AnchorMath, ModesGiveEdgePercentagesAndUnknownModesAreFixed)
{
    EXPECT_EQ(std::make_tuple(0, 100, 100, 100), Edges(AnchorPercentsFor(AnchorStretch, AnchorFollow)));
    EXPECT_EQ(std::make_tuple(50, 0, 50, 0), Edges(AnchorPercentsFor(AnchorCenter, AnchorFixed)));
    EXPECT_TRUE(AnchorPercentsFor(AnchorFixed, AnchorStretch).MovesAnything());
    EXPECT_FALSE(AnchorPercentsFor(AnchorFixed, AnchorFixed).MovesAnything());
    for (int mode : {-1, 4, 255}) {
        EXPECT_FALSE(AnchorPercentsFor(mode, mode).MovesAnything()) << mode;
        EXPECT_EQ(std::make_tuple(0, 100, 0, 100), Edges(AnchorPercentsFor(mode, AnchorFollow)));
    }
}

TEST(AnchorMath, GrowthMovesEdgesByTruncatedSharesFromTheOrigin)
{
    const AnchorRect origin{10, 20, 110, 45};
    // 15 * 50 / 100 = 7.5: a centred control moves by 7 on both edges.
    EXPECT_EQ(std::make_tuple(17, 27, 117, 52),
              Edges(AnchoredRect(origin, AnchorPercentsFor(AnchorCenter, AnchorCenter), 15, 15)));
    EXPECT_EQ(std::make_tuple(10, 20, 125, 76),
              Edges(AnchoredRect(origin, AnchorPercentsFor(AnchorStretch, AnchorStretch), 15, 31)));
    EXPECT_EQ(std::make_tuple(25, 51, 125, 76),
              Edges(AnchoredRect(origin, AnchorPercentsFor(AnchorFollow, AnchorFollow), 15, 31)));
    // Odd percentages truncate each edge on its own: 33 * 33 / 100 = 10.89, 33 * 67 / 100 = 22.11.
    AnchorPercents odd;
    odd.left = 33;
    odd.right = 67;
    EXPECT_EQ(std::make_tuple(20, 20, 132, 45), Edges(AnchoredRect(origin, odd, 33, 0)));
}

TEST(AnchorMath, ShrinkingCountsAsNoGrowth)
{
    EXPECT_EQ(15, LayoutGrowth(415, 400));
    EXPECT_EQ(0, LayoutGrowth(380, 400));
    EXPECT_EQ(0, LayoutGrowth(0, 400));  // a minimised dialog's client area
}

}  // namespace
