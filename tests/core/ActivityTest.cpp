#include "core/ActivitySampler.h"
#include "core/ActivityStore.h"
#include "core/ProcessNameCache.h"
#include "tests/support/FakePorts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace {

using Places = std::vector<std::pair<std::uint32_t, std::string>>;

// Random ticks over few applications, so that counts tie often and places change hands: the kept
// leaders are always the first three of all records by most ticks, then smaller name.
TEST(ActivityStore, RecordsOnlyTickedApplicationsAndLeadersAreTheFirstThreeAfterEveryTick)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int> appPick(0, 6), skew(0, 3);
    ActivityStore store;
    store.SetIconIndex("missing.exe", 3);   // an unknown application gets no record
    EXPECT_EQ(nullptr, store.Find("missing.exe"));
    for (int tick = 0; tick < 5000; ++tick) {
        if (tick == 2500) {
            store.Clear();
            ASSERT_EQ(ActivityStore::Leaders{}, store.leaders());
            ASSERT_TRUE(store.apps().empty());
        }
        const int app = skew(random) == 0 ? appPick(random) : appPick(random) % 3 + 4;
        store.AddTick(std::string(1, static_cast<char>('a' + app)), "");

        Places expected(3, {0, ""}), kept;
        for (const auto& [name, record] : store.apps())
            expected.push_back({record.ticks, name});
        std::sort(expected.begin(), expected.end(), [](const auto& a, const auto& b) {
            return std::tie(b.first, a.second) < std::tie(a.first, b.second);
        });
        expected.resize(3);
        for (const ActivityStore::App* app : store.leaders())
            kept.push_back(app ? Places::value_type{app->second.ticks, app->first}
                               : Places::value_type{0, ""});
        ASSERT_EQ(expected, kept) << "tick " << tick;
    }
}

TEST(ProcessNameCache, MissRefillsFromANewSnapshotAndAFailedOneLeavesNothing)
{
    FakeProcessSource source;
    // Names are kept as reported; of two entries for one identifier the later wins.
    source.processes = {{100, "Explorer.EXE"}, {200, "notepad.exe"}, {13, "x.exe"}, {13, "y.exe"}};
    ProcessNameCache cache(source);
    EXPECT_EQ("notepad.exe", cache.NameOf(200));
    EXPECT_EQ("Explorer.EXE", cache.NameOf(100));
    EXPECT_EQ("y.exe", cache.NameOf(13));
    EXPECT_EQ(1, source.snapshotCount);

    // A stale identifier keeps its old name until a miss of another one refills everything.
    source.processes = {{100, "new.exe"}, {300, "calc.exe"}};
    EXPECT_EQ("Explorer.EXE", cache.NameOf(100));
    EXPECT_EQ("calc.exe", cache.NameOf(300));
    EXPECT_EQ("new.exe", cache.NameOf(100));
    EXPECT_EQ(2, source.snapshotCount);

    source.snapshotFails = true;
    cache.Rebuild();
    for (int lookup = 0; lookup < 2; ++lookup)   // every lookup tries again
        EXPECT_EQ(kUnknownApplicationName, cache.NameOf(100));
    EXPECT_EQ(5, source.snapshotCount);
    source.snapshotFails = false;
    EXPECT_EQ("new.exe", cache.NameOf(100));
    EXPECT_EQ(6, source.snapshotCount);
}

class ActivitySamplerTest : public ::testing::Test {
protected:
    ActivitySamplerTest()
    {
        // 40 and 42 are the frame host of Store apps, 41 and 43 such apps.
        processes.processes = {{10, "notepad.exe"}, {11, "NOTEPAD.EXE"}, {20, "calc.exe"},
                               {30, "word.exe"}, {40, "ApplicationFrameHost.exe"},
                               {41, "CalculatorApp.exe"}, {42, "applicationframehost.EXE"},
                               {43, "PhotosApp.exe"}};
        processes.paths = {{10, "C:\\Windows\\notepad.exe"}, {11, "D:\\OLD\\NOTEPAD.EXE"},
                           {20, "C:\\Windows\\calc.exe"}, {30, "C:\\Office\\word.exe"},
                           {40, "C:\\Windows\\FrameHost.exe"}, {41, "C:\\Apps\\Calc.exe"}};
    }

    void TickIn(WindowRef window, std::uint32_t processId, const std::string& title = "t")
    {
        foreground.Show(window, processId, title);
        sampler.OnTimer(ActivitySampler::kSamplingTimerId);
    }

    // The main list, a "label time image" line per row.
    std::string List() const
    {
        std::string list;
        for (const FakeRows::Row& row : rows.rows)
            list += row.label + " " + row.time + " " + std::to_string(row.image) + "\n";
        return list;
    }

    ActivityStore store;
    FakeProcessSource processes;
    ProcessNameCache names{processes};
    FakeForeground foreground;
    FakeIcons icons;
    FakeRows rows;
    FakeTray tray;
    ActivitySampler sampler{store, names, processes, foreground, icons, rows, tray};
};

TEST_F(ActivitySamplerTest, NoForegroundWindowAndDesktopAreApplicationsOfNoProcess)
{
    icons.windowIcons[FakeForeground::kDesktop] = 5;
    for (WindowRef window : {WindowRef{0}, WindowRef{0}, FakeForeground::kDesktop})
        TickIn(window, 0);
    ASSERT_EQ("No active windows 0:00:02 0\nDesktop 0:00:01 5\n  0\nTotal: 0:00:03 0\n", List());
    EXPECT_EQ(2u, store.Find(kNoActiveWindowsName)->documents.at(kNoActiveWindowsName));
    EXPECT_EQ(1u, store.Find(kDesktopName)->documents.at(""));
    // Neither asks for a process name, and only the desktop, being a window, for a window icon.
    EXPECT_EQ(0, processes.snapshotCount);
    EXPECT_EQ(std::vector<WindowRef>{FakeForeground::kDesktop}, icons.windowQueries);
}

TEST_F(ActivitySamplerTest, NewApplicationsGoAboveTheBlankRowAndNamesDifferingInCaseKeepTheirOwn)
{
    for (std::uint32_t process : {20, 10, 20, 11, 10, 999, 11, 11, 999})
        TickIn(0x100 + process, process);
    EXPECT_EQ("calc.exe 0:00:02 0\nnotepad.exe 0:00:02 0\nNOTEPAD.EXE 0:00:03 0\n" +
                  std::string(kUnknownApplicationName) + " 0:00:02 0\n  0\nTotal: 0:00:09 0\n",
              List());
    // One snapshot for the first miss, which held the known identifiers; one per unknown lookup.
    EXPECT_EQ(3, processes.snapshotCount);
}

TEST_F(ActivitySamplerTest, TooltipIsRefreshedWhenTheTotalIsNotAMultipleOfThreeAndOnlyWithAnEntry)
{
    std::vector<std::size_t> tipsAfterTick;
    for (int i = 0; i < 8; ++i) {
        tray.entry = i < 7;   // the last tick comes while the window is shown
        TickIn(0x100, 10);
        tipsAfterTick.push_back(tray.tips.size());
    }
    EXPECT_EQ((std::vector<std::size_t>{1, 2, 2, 3, 4, 4, 5, 5}), tipsAfterTick);
    EXPECT_EQ("Total time: 0:00:07\nTop 3:\nnotepad.exe  0:00:07  100%\n", tray.tips.back());

    // Timer 2 only removes the entry: no tick.
    sampler.OnTimer(ActivitySampler::kReturnTimerId);
    EXPECT_EQ(1, tray.killCount);
    EXPECT_EQ(1, tray.removeCount);
    EXPECT_EQ(8u, store.totalTicks());
}

TEST_F(ActivitySamplerTest, IconComesOncePerApplicationFromTheFileThenTheWindowThenImageZero)
{
    processes.processes.push_back({21, "calc2.exe"});   // a process that cannot be asked its path
    icons.fileIcons = {{"C:\\Windows\\notepad.exe", 3}, {"D:\\OLD\\NOTEPAD.EXE", -1}};
    icons.windowIcons = {{0x100, 9}, {0x200, 4}, {0x500, 6}};
    for (auto [window, process] : {std::pair<WindowRef, std::uint32_t>{0x100, 10}, {0x200, 20},
                                   {0x300, 30}, {0x400, 11}, {0x500, 21}, {0x100, 10}, {0x300, 30}})
        TickIn(window, process);
    // A refused append (-1) is kept as the image list returned it.
    ASSERT_EQ("notepad.exe 0:00:02 3\ncalc.exe 0:00:01 4\nword.exe 0:00:02 0\n"
              "NOTEPAD.EXE 0:00:01 -1\ncalc2.exe 0:00:01 6\n  0\nTotal: 0:00:07 0\n",
              List());
    EXPECT_EQ(-1, store.Find("NOTEPAD.EXE")->iconIndex);
    EXPECT_EQ((std::vector<WindowRef>{0x200, 0x300, 0x500}), icons.windowQueries);
}

TEST_F(ActivitySamplerTest, StoreAppCountsUnderTheProcessOfItsCoreWindowWithTheFramesTitle)
{
    icons.fileIcons = {{processes.paths[40], 7}, {processes.paths[41], 8}};
    foreground.coreWindowProcesses = {{0x700, 41}, {0x701, 43}, {0x100, 20}};
    TickIn(0x700, 40, "Calculator");
    TickIn(0x701, 42, "Photos - a.jpg");   // the host's name in another case
    TickIn(0x702, 40, "Settings");         // no core window of another process
    TickIn(0x100, 10, "a.txt");            // only the frame host's windows are looked into
    ASSERT_EQ("CalculatorApp.exe 0:00:01 8\nPhotosApp.exe 0:00:01 0\n"
              "ApplicationFrameHost.exe 0:00:01 7\nnotepad.exe 0:00:01 0\n  0\nTotal: 0:00:04 0\n",
              List());
    EXPECT_EQ(1u, store.Find("CalculatorApp.exe")->documents.count("Calculator"));
}

TEST_F(ActivitySamplerTest, EmptiedListGetsARowOnlyForAnApplicationNewToTheStore)
{
    icons.fileIcons["C:\\Windows\\notepad.exe"] = 1;
    TickIn(0x100, 10);
    rows.rows = {{"", "", 0}, {"Total:", "", 0}};   // emptied behind the store's back
    TickIn(0x100, 10);
    ASSERT_EQ("  0\nTotal: 0:00:02 0\n", List());
    EXPECT_EQ(2u, store.Find("notepad.exe")->ticks);

    store.Clear();   // emptied with the store: the next tick creates row and icon again
    icons.fileIcons["C:\\Windows\\notepad.exe"] = 2;
    TickIn(0x100, 10);
    EXPECT_EQ("notepad.exe 0:00:01 2\n  0\nTotal: 0:00:01 0\n", List());
}

} // namespace
