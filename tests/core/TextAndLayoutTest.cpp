#include "core/AnchorMath.h"
#include "core/Duration.h"
#include "core/TableText.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

TEST(FormatDuration, PadsMinutesAndSecondsButNeverWrapsHours)
{
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

using Rows = std::vector<std::vector<std::string>>;

TEST(TableText, HeadingsThenEveryRowButBlankOnesWithTabsAndCrLf)
{
    const struct {
        std::vector<std::string> headings;
        Rows rows;
        const char* expected;
    } cases[] = {
        // A statistics list: the blank row goes, "Total:" stays.
        {{"Processes", "Time", "Percent"},
         {{"b.exe", "25:13:02", "44%"}, {"a.exe", "0:00:02", "22%"}, {"", "", ""},
          {"Total:", "25:13:04", "100%"}},
         "Processes\tTime\tPercent\r\nb.exe\t25:13:02\t44%\r\na.exe\t0:00:02\t22%\r\n"
         "Total:\t25:13:04\t100%"},
        // The desktop's document has no title but a time: not a blank row.
        {{"Documents", "Duration"}, {{"", "0:00:05"}, {"", ""}, {"Total:", "0:00:05"}},
         "Documents\tDuration\r\n\t0:00:05\r\nTotal:\t0:00:05"},
        {{"Processes", "Duration"}, {{"", ""}, {}}, "Processes\tDuration"},
        {{"Processes"}, {}, "Processes"},
        {{}, {}, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, TableText(c.headings, c.rows)) << c.expected;
}

// Window titles are anyone's text: none may split a row or a cell, or become a formula.
TEST(TableText, CellsNeverBreakTheTableNorStartAFormula)
{
    const std::pair<std::string, std::string> cells[] = {
        {"a\tb", "a b"}, {"one\r\ntwo\rthree\nfour", "one  two three four"},
        {"=HYPERLINK(\"http://x\")", "'=HYPERLINK(\"http://x\")"}, {"+1", "'+1"}, {"-2", "'-2"},
        {"@SUM(A1)", "'@SUM(A1)"}, {"\"unclosed", "'\"unclosed"},
        // A blank, or a tab or line end that becomes one, does not hide a formula.
        {"\t=cmd", "' =cmd"}, {"  -x", "'  -x"}, {"\r\n@x", "'  @x"},
        // Anywhere else these characters are plain text.
        {"a=b+c-d@e\"f\"", "a=b+c-d@e\"f\""}, {"'quoted'", "'quoted'"}, {"Total:", "Total:"},
        {"\xC3\x89" "diteur \xE2\x80\x93 \xD0\x96", "\xC3\x89" "diteur \xE2\x80\x93 \xD0\x96"},
        {" ", " "}, {"\t", " "},
    };
    for (const auto& [cell, expected] : cells) {
        EXPECT_EQ("Name\t'=x\r\n" + expected + "\tz", TableText({"Name", "=x"}, {{cell, "z"}}))
            << cell;
    }
}

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
    EXPECT_EQ(std::make_tuple(0, 50, 0, 50), Edges(AnchorPercentsFor(4, AnchorCenter)));
    EXPECT_EQ(std::make_tuple(0, 100, 0, 100), Edges(AnchorPercentsFor(-1, AnchorFollow)));
    EXPECT_FALSE(AnchorPercentsFor(255, AnchorFixed).MovesAnything());
    using Edge = std::uint8_t AnchorPercents::*;
    for (Edge edge : {&AnchorPercents::left, &AnchorPercents::right, &AnchorPercents::top,
                      &AnchorPercents::bottom}) {
        AnchorPercents one;
        one.*edge = 1;
        EXPECT_TRUE(one.MovesAnything());
    }
}

TEST(AnchorMath, GrowthMovesEdgesByTruncatedSharesFromTheOriginAndShrinkingIsNoGrowth)
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

    EXPECT_EQ(15, LayoutGrowth(415, 400));
    EXPECT_EQ(0, LayoutGrowth(380, 400));
    EXPECT_EQ(0, LayoutGrowth(0, 400));  // a minimised dialog's client area
}

}  // namespace
