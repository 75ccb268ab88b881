#include "core/ActivityStore.h"
#include "core/AnchorMath.h"
#include "core/Duration.h"
#include "core/TableText.h"
#include "core/TrayTip.h"
#include "core/Utf8.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

TEST(Duration, HoursNeverWrapAndPercentagesTruncateOrRoundHalfUpInDoublePrecision)
{
    EXPECT_EQ("0:59:59", FormatDuration(3599));
    EXPECT_EQ("1:01:01", FormatDuration(3661));
    EXPECT_EQ("1193046:28:15", FormatDuration(4294967295u));
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

TEST(TableText, HeadingsThenEveryRowButBlankOnesWithTabsAndCrLfAndNoCellBreaksTheTable)
{
    const struct {
        std::vector<std::string> headings;
        std::vector<std::vector<std::string>> rows;
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
        {{"Processes"}, {{""}, {}}, "Processes"},
        {{}, {}, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, TableText(c.headings, c.rows)) << c.expected;

    // Window titles are anyone's text: none may split a row or a cell, or become a formula.
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
    for (const auto& [cell, expected] : cells)
        EXPECT_EQ("Name\t'=x\r\n" + expected + "\tz", TableText({"Name", "=x"}, {{cell, "z"}}))
            << cell;
}

TEST(AnchorMath, EdgesMoveByTruncatedSharesOfTheGrowthFromTheOrigin)
{
    const auto edges = [](const AnchorRect& r) {
        return std::make_tuple(r.left, r.top, r.right, r.bottom);
    };
    const struct {
        AnchorPercents percents;
        std::tuple<int, int, int, int> edges;
    } cases[] = {
        // 15 * 50 / 100 = 7.5: a centred control moves by 7 on both edges.
        {AnchorPercentsFor(AnchorCenter, AnchorCenter), {17, 35, 117, 60}},
        {AnchorPercentsFor(AnchorStretch, AnchorFollow), {10, 51, 125, 76}},
        {AnchorPercentsFor(AnchorFollow, AnchorStretch), {25, 20, 125, 76}},
        {AnchorPercentsFor(4, -1), {10, 20, 110, 45}},   // unknown modes are fixed
        // Each edge truncates on its own: 15 * 33 / 100 = 4.95, 15 * 67 / 100 = 10.05.
        {{33, 67, 0, 0}, {14, 20, 120, 45}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.edges, edges(AnchoredRect({10, 20, 110, 45}, c.percents, 15, 31)));

    EXPECT_FALSE(AnchorPercentsFor(255, AnchorFixed).MovesAnything());
    for (const AnchorPercents one : {AnchorPercents{1, 0, 0, 0}, AnchorPercents{0, 1, 0, 0},
                                     AnchorPercents{0, 0, 1, 0}, AnchorPercents{0, 0, 0, 1}})
        EXPECT_TRUE(one.MovesAnything());
    EXPECT_EQ(15, LayoutGrowth(415, 400));
    EXPECT_EQ(0, LayoutGrowth(380, 400));
    EXPECT_EQ(0, LayoutGrowth(0, 400));  // a minimised dialog's client area
}

// The tooltip of a store whose applications get their ticks in this order, the total as many.
std::string Tip(const std::vector<std::pair<std::string, std::uint32_t>>& apps)
{
    ActivityStore store;
    for (const auto& [name, ticks] : apps) {
        for (std::uint32_t i = 0; i < ticks; ++i) {
            store.IncrementTotal();
            store.AddTick(name, "");
        }
    }
    return BuildTrayTip(store);
}

TEST(BuildTrayTip, RanksStrictlyAndPadsNamesByOnePointSevenBlanksPerMissingCharacter)
{
    EXPECT_EQ("Total time: 0:00:00\nTop 3:\n", Tip({}));
    EXPECT_EQ("Total time: 1:00:00\nTop 3:\na.exe   0:30:00  50%\nbb.exe  0:20:00  33%\n"
              "c.exe   0:10:00  16%\n",
              Tip({{"a.exe", 1800}, {"bb.exe", 1200}, {"c.exe", 600}}));
    // Equal ticks keep byte order and d.exe, tying the third, stays out until it has one more.
    EXPECT_EQ("Total time: 0:00:20\nTop 3:\na.exe  0:00:05  25%\nb.exe  0:00:05  25%\n"
              "c.exe  0:00:05  25%\n",
              Tip({{"b.exe", 5}, {"a.exe", 5}, {"c.exe", 5}, {"d.exe", 5}}));
    EXPECT_EQ("Total time: 0:00:21\nTop 3:\nd.exe  0:00:06  28%\na.exe  0:00:05  23%\n"
              "b.exe  0:00:05  23%\n",
              Tip({{"b.exe", 5}, {"a.exe", 5}, {"c.exe", 5}, {"d.exe", 6}}));
    // Characters count, not bytes: one Cyrillic letter makes 5 characters in 6 bytes.
    EXPECT_EQ("Total time: 0:00:03\nTop 3:\nbb.exe  0:00:02  66%\n\xD0\xB6.exe   0:00:01  33%\n",
              Tip({{"bb.exe", 2}, {"\xD0\xB6.exe", 1}}));

    // Missing characters -> blanks, fraction dropped (10 -> 17 also where x87 would give 16).
    const std::pair<std::size_t, std::size_t> paddings[] = {{2, 3}, {5, 8}, {10, 17}, {20, 34}};
    for (auto [missing, blanks] : paddings) {
        const std::string longName(21, 'L'), shortName(21 - missing, 's');
        EXPECT_EQ("Total time: 0:00:03\nTop 3:\n" + longName + "  0:00:02  66%\n" + shortName +
                      std::string(blanks, ' ') + "  0:00:01  33%\n",
                  Tip({{longName, 2}, {shortName, 1}}))
            << missing;
    }
}

TEST(BuildTrayTip, LongNamesGiveUpPaddingThenTheirEndsButNeverATimeOrAWholeCharacter)
{
    // Whole names would take 141 bytes. Shortened to 25 characters the longest fills the 127
    // exactly, and the name of 25 characters stays whole.
    const std::string longName = "quarterly_budget_spreadsheet_editor.exe", limitName(25, 'b');
    EXPECT_EQ("Total time: 0:00:06\nTop 3:\n" + longName.substr(0, 22) + "...  0:00:03  50%\n" +
                  limitName + "  0:00:02  33%\nc.exe  0:00:01  16%\n",
              Tip({{longName, 3}, {limitName, 2}, {"c.exe", 1}}));
    // When only the padding is too wide it narrows, and every name stays whole: 31 missing
    // characters take 52 blanks at 1.7, 3 at 0.1, the widest that fits.
    const std::string first(36, 'f');
    EXPECT_EQ("Total time: 0:00:06\nTop 3:\n" + first +
                  "  0:00:03  50%\nb.exe     0:00:02  33%\nc.exe     0:00:01  16%\n",
              Tip({{first, 3}, {"b.exe", 2}, {"c.exe", 1}}));

    // Names of 60 two-, three- and four-byte characters keep as many whole ones as fit.
    const std::pair<std::string, std::size_t> letters[] = {
        {"\xD0\xB6", 29}, {"\xE4\xB8\xAD", 19}, {"\xF0\x9F\x98\x80", 14}};
    for (const auto& [letter, kept] : letters) {
        std::string name;
        for (int i = 0; i < 60; ++i)
            name += letter;
        EXPECT_EQ("Total time: 0:00:03\nTop 3:\n" + name.substr(0, kept * letter.size()) +
                      "...  0:00:02  66%\nother.exe  0:00:01  33%\n",
                  Tip({{name, 2}, {"other.exe", 1}}))
            << kept;
    }
}

TEST(Utf8, CutsFallBetweenCharactersAndOnlyAReadWellShortOfItsBufferIsWhole)
{
    const std::string text = "a\xD0\xB6\xE4\xB8\xAD";   // characters of 1, 2 and 3 bytes
    const std::pair<std::size_t, std::size_t> fits[] = {{0, 0}, {1, 1}, {2, 1}, {3, 3},
                                                         {5, 3}, {6, 6}, {9, 6}};
    for (auto [maxBytes, bytes] : fits)
        EXPECT_EQ(bytes, Utf8FitBytes(text, maxBytes)) << maxBytes;
    EXPECT_EQ(3u, Utf8PrefixBytes(text, 2));
    EXPECT_EQ(6u, Utf8PrefixBytes(text, 5));
    EXPECT_TRUE(ReadIsWhole(3, 8));
    EXPECT_FALSE(ReadIsWhole(4, 8));
}

}  // namespace
