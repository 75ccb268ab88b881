#include "core/TrayTip.h"

#include "core/ActivityStore.h"

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

TEST(BuildTrayTip, CutsAfterTheHundredTwentySeventhCharacter)
{
    ActivityStore store;
    const std::string first(40, 'x'), second(30, 'y'), third(20, 'z');
    Give(store, first, 3);
    Give(store, second, 2);
    Give(store, third, 1);
    const std::string full = "Total time: 0:00:06\nTop 3:\n" + first + "  0:00:03  50%\n" + second +
                             std::string(17, ' ') + "  0:00:02  33%\n" + third +
                             std::string(34, ' ') + "  0:00:01  16%\n";
    EXPECT_EQ(full.substr(0, 127), BuildTrayTip(store));

    // Exactly 127 characters stay whole.
    ActivityStore exact;
    const std::string name(127 - 27 - 16, 'n');   // headings 27, "  0:00:01  100%\n" 16
    Give(exact, name, 1);
    EXPECT_EQ("Total time: 0:00:01\nTop 3:\n" + name + "  0:00:01  100%\n", BuildTrayTip(exact));
}

} // namespace
