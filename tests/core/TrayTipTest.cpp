#include "core/TrayTip.h"

#include "core/ActivityStore.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

// Adds ticks to one application and as many to the total.
void Give(ActivityStore& store, const std::string& name, std::uint32_t ticks)
{
    for (std::uint32_t i = 0; i < ticks; ++i) {
        store.IncrementTotal();
        store.AddTick(name, "");
    }
}

TEST(BuildTrayTip, WorkedExampleAlignsNamesByOnePointSevenBlanksPerCharacter)
{
    ActivityStore store;
    EXPECT_EQ("Total time: 0:00:00\nTop 3:\n", BuildTrayTip(store));
    Give(store, "a.exe", 1800);
    Give(store, "bb.exe", 1200);
    Give(store, "c.exe", 600);
    EXPECT_EQ("Total time: 1:00:00\nTop 3:\n"
              "a.exe   0:30:00  50%\n"
              "bb.exe  0:20:00  33%\n"
              "c.exe   0:10:00  16%\n",
              BuildTrayTip(store));

    // pad -> blanks, fraction dropped (10 -> 17 also where x87 would give 16).
    const struct {
        std::size_t pad;
        std::size_t blanks;
    } cases[] = {{2, 3}, {4, 6}, {5, 8}, {10, 17}, {20, 34}};
    for (const auto& c : cases) {
        ActivityStore padded;
        const std::string longName(21, 'L');
        const std::string shortName(21 - c.pad, 's');
        Give(padded, longName, 2);
        Give(padded, shortName, 1);
        EXPECT_EQ("Total time: 0:00:03\nTop 3:\n" + longName + "  0:00:02  66%\n" + shortName +
                      std::string(c.blanks, ' ') + "  0:00:01  33%\n",
                  BuildTrayTip(padded))
            << "pad " << c.pad;
    }
}

TEST(BuildTrayTip, RanksStrictlySoEqualTicksKeepByteOrder)
{
    ActivityStore store;
    for (const char* name : {"b.exe", "a.exe", "c.exe", "d.exe"})   // d.exe ties the third: out
        Give(store, name, 5);
    EXPECT_EQ("Total time: 0:00:20\nTop 3:\n"
              "a.exe  0:00:05  25%\n"
              "b.exe  0:00:05  25%\n"
              "c.exe  0:00:05  25%\n",
              BuildTrayTip(store));

    Give(store, "d.exe", 1);   // one tick more: first place now, the others move down
    EXPECT_EQ("Total time: 0:00:21\nTop 3:\n"
              "d.exe  0:00:06  28%\n"
              "a.exe  0:00:05  23%\n"
              "b.exe  0:00:05  23%\n",
              BuildTrayTip(store));
}

// The lines under "Top 3:", each checked to end in its own whole time and share.
std::vector<std::string> PlaceLines(const std::string& tip)
{
    std::vector<std::string> lines;
    std::size_t start = tip.find("Top 3:\n") + 7;
    for (std::size_t end; (end = tip.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(tip.substr(start, end - start));
    EXPECT_EQ(start, tip.size()) << "the last line is cut: " << tip;
    return lines;
}

TEST(BuildTrayTip, LongNamesGiveUpPaddingThenTheirEndsButNeverATimeOrShare)
{
    const std::string longName = "quarterly_budget_spreadsheet_editor.exe";
    ActivityStore store;
    Give(store, longName, 3);
    Give(store, "chrome.exe", 2);
    Give(store, "explorer.exe", 1);
    const std::string tip = BuildTrayTip(store);
    EXPECT_LE(tip.size(), 127u);
    EXPECT_EQ(PlaceLines(tip), (std::vector<std::string>{
                                   longName.substr(0, 33 - 3) + "...  0:00:03  50%",
                                   "chrome.exe  0:00:02  33%", "explorer.exe  0:00:01  16%"}))
        << tip;

    // When only the padding is too wide, it narrows and every name stays whole.
    ActivityStore padded;
    const std::string first(36, 'f');
    Give(padded, first, 3);
    Give(padded, "b.exe", 2);
    Give(padded, "c.exe", 1);
    const std::string narrowed = BuildTrayTip(padded);
    // 31 missing characters: 52 blanks at 1.7 a character, 3 at 0.1, the widest that fits.
    EXPECT_EQ(PlaceLines(narrowed), (std::vector<std::string>{
                                        first + "  0:00:03  50%", "b.exe     0:00:02  33%",
                                        "c.exe     0:00:01  16%"}))
        << narrowed;
}

TEST(BuildTrayTip, CountsCharactersNotBytesAndNeverCutsOneInTwo)
{
    ActivityStore store;
    Give(store, "bb.exe", 2);
    Give(store, "\xD0\xB6.exe", 1);   // one Cyrillic letter: 5 characters in 6 bytes
    EXPECT_EQ("Total time: 0:00:03\nTop 3:\n"
              "bb.exe  0:00:02  66%\n"
              "\xD0\xB6.exe   0:00:01  33%\n",
              BuildTrayTip(store));

    // Names of two-, three- and four-byte characters, long enough to be shortened.
    for (const std::string letter : {"\xD0\xB6", "\xE4\xB8\xAD", "\xF0\x9F\x98\x80"}) {
        ActivityStore wide;
        std::string name;
        for (int i = 0; i < 60; ++i)
            name += letter;
        Give(wide, name, 2);
        Give(wide, "other.exe", 1);
        const std::string tip = BuildTrayTip(wide);
        EXPECT_LE(tip.size(), 127u);
        const std::vector<std::string> lines = PlaceLines(tip);
        ASSERT_EQ(lines.size(), 2u);
        const std::size_t kept = lines[0].find("...");
        ASSERT_NE(kept, std::string::npos) << tip;
        EXPECT_EQ(kept % letter.size(), 0u) << "a character cut in two: " << tip;
        EXPECT_EQ(lines[0].substr(0, kept), name.substr(0, kept));
        EXPECT_EQ(lines[1], "other.exe  0:00:01  33%");
    }
}

} // namespace
