#include "core/TrayTip.h"

#include "core/ActivityStore.h"
#include "core/Utf8.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

// Adds ticks to one application and as many to the total.
void Give(ActivityStore& store, const std::string& name, std::uint32_t ticks)
{
    for (std::uint32_t i = 0; i < ticks; ++i) {
        store.IncrementTotal();
        store.AddTick(name, "");
    }
}

TEST(BuildTrayTip, AlignsNamesByOnePointSevenBlanksPerMissingCharacter)
{
    ActivityStore store;
    EXPECT_EQ("Total time: 0:00:00\nTop 3:\n", BuildTrayTip(store));
    Give(store, "a.exe", 1800);
    Give(store, "bb.exe", 1200);
    Give(store, "c.exe", 600);
    EXPECT_EQ("Total time: 1:00:00\nTop 3:\na.exe   0:30:00  50%\nbb.exe  0:20:00  33%\n"
              "c.exe   0:10:00  16%\n",
              BuildTrayTip(store));

    // Missing characters -> blanks, fraction dropped (10 -> 17 also where x87 would give 16).
    const std::pair<std::size_t, std::size_t> paddings[] = {{2, 3}, {5, 8}, {10, 17}, {20, 34}};
    for (auto [missing, blanks] : paddings) {
        ActivityStore padded;
        const std::string longName(21, 'L'), shortName(21 - missing, 's');
        Give(padded, longName, 2);
        Give(padded, shortName, 1);
        EXPECT_EQ("Total time: 0:00:03\nTop 3:\n" + longName + "  0:00:02  66%\n" + shortName +
                      std::string(blanks, ' ') + "  0:00:01  33%\n",
                  BuildTrayTip(padded))
            << missing;
    }
}

TEST(BuildTrayTip, RanksStrictlySoEqualTicksKeepByteOrder)
{
    ActivityStore store;
    for (const char* name : {"b.exe", "a.exe", "c.exe", "d.exe"})   // d.exe ties the third: out
        Give(store, name, 5);
    EXPECT_EQ("Total time: 0:00:20\nTop 3:\na.exe  0:00:05  25%\nb.exe  0:00:05  25%\n"
              "c.exe  0:00:05  25%\n",
              BuildTrayTip(store));
    Give(store, "d.exe", 1);   // one tick more: first place now, the others move down
    EXPECT_EQ("Total time: 0:00:21\nTop 3:\nd.exe  0:00:06  28%\na.exe  0:00:05  23%\n"
              "b.exe  0:00:05  23%\n",
              BuildTrayTip(store));
}

TEST(BuildTrayTip, LongNamesGiveUpPaddingThenTheirEndsButNeverATimeOrShare)
{
    // Whole names would take 141 bytes. Shortened to 25 characters the longest fills the 127
    // exactly, and the name of 25 characters stays whole.
    const std::string longName = "quarterly_budget_spreadsheet_editor.exe", limitName(25, 'b');
    ActivityStore store;
    Give(store, longName, 3);
    Give(store, limitName, 2);
    Give(store, "c.exe", 1);
    EXPECT_EQ("Total time: 0:00:06\nTop 3:\n" + longName.substr(0, 22) + "...  0:00:03  50%\n" +
                  limitName + "  0:00:02  33%\nc.exe  0:00:01  16%\n",
              BuildTrayTip(store));

    // When only the padding is too wide it narrows, and every name stays whole: 31 missing
    // characters take 52 blanks at 1.7, 3 at 0.1, the widest that fits.
    ActivityStore padded;
    const std::string first(36, 'f');
    Give(padded, first, 3);
    Give(padded, "b.exe", 2);
    Give(padded, "c.exe", 1);
    EXPECT_EQ("Total time: 0:00:06\nTop 3:\n" + first +
                  "  0:00:03  50%\nb.exe     0:00:02  33%\nc.exe     0:00:01  16%\n",
              BuildTrayTip(padded));
}

TEST(BuildTrayTip, CountsCharactersNotBytesAndNeverCutsOneInTwo)
{
    ActivityStore store;
    Give(store, "bb.exe", 2);
    Give(store, "\xD0\xB6.exe", 1);   // one Cyrillic letter: 5 characters in 6 bytes
    EXPECT_EQ("Total time: 0:00:03\nTop 3:\nbb.exe  0:00:02  66%\n\xD0\xB6.exe   0:00:01  33%\n",
              BuildTrayTip(store));

    // Names of 60 two-, three- and four-byte characters keep as many whole ones as fit.
    const std::pair<std::string, std::size_t> letters[] = {
        {"\xD0\xB6", 29}, {"\xE4\xB8\xAD", 19}, {"\xF0\x9F\x98\x80", 14}};
    for (const auto& [letter, kept] : letters) {
        ActivityStore wide;
        std::string name;
        for (int i = 0; i < 60; ++i)
            name += letter;
        Give(wide, name, 2);
        Give(wide, "other.exe", 1);
        EXPECT_EQ("Total time: 0:00:03\nTop 3:\n" + name.substr(0, kept * letter.size()) +
                      "...  0:00:02  66%\nother.exe  0:00:01  33%\n",
                  BuildTrayTip(wide))
            << kept;
    }
}

TEST(Utf8, CutsFallBetweenCharactersAndOnlyAReadWellShortOfItsBufferIsWhole)
{
    const std::string text = "a\xD0\xB6\xE4\xB8\xAD";   // characters of 1, 2 and 3 bytes
    EXPECT_EQ(3u, Utf8Length(text));
    const std::pair<std::size_t, std::size_t> fits[] = {{0, 0}, {1, 1}, {2, 1}, {3, 3},
                                                         {5, 3}, {6, 6}, {9, 6}};
    for (auto [maxBytes, bytes] : fits)
        EXPECT_EQ(bytes, Utf8FitBytes(text, maxBytes)) << maxBytes;
    EXPECT_EQ(3u, Utf8PrefixBytes(text, 2));
    EXPECT_EQ(6u, Utf8PrefixBytes(text, 5));
    EXPECT_TRUE(ReadIsWhole(3, 8));
    EXPECT_FALSE(ReadIsWhole(4, 8));
}

} // namespace
