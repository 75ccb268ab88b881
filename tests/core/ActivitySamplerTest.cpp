#include "core/ActivitySampler.h"

#include "core/ActivityStore.h"
#include "core/Duration.h"
#include "core/ProcessNameCache.h"
#include "core/TrayTip.h"
#include "Fakes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class ActivitySamplerTest : public ::testing::Test {
protected:
    ActivitySamplerTest()
    {
        processes.processes = {{10, "notepad.exe"}, {11, "NOTEPAD.EXE"}, {20, "calc.exe"},
                               {30, "word.exe"}};
        processes.paths = {{10, "C:\\Windows\\notepad.exe"}, {11, "D:\\OLD\\NOTEPAD.EXE"},
                           {20, "C:\\Windows\\calc.exe"}, {30, "C:\\Office\\word.exe"}};
    }

    void Tick() { sampler.OnTimer(ActivitySampler::kSamplingTimerId); }

    void TickIn(WindowRef window, std::uint32_t processId, const std::string& title)
    {
        foreground.Show(window, processId, title);
        Tick();
    }

    const FakeRows::Row& RowOf(const std::string& label)
    {
        return rows.rows.at(rows.FindRow(label));
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

TEST_F(ActivitySamplerTest, ReturnTimerOnlyRemovesTheTrayEntry)
{
    TickIn(0x100, 10, "a.txt");
    const std::vector<std::string> labels = rows.Labels();
    const int writes = rows.timeWrites;
    const std::size_t tips = tray.tips.size();

    sampler.OnTimer(ActivitySampler::kReturnTimerId);

    EXPECT_EQ(1, tray.killCount);
    EXPECT_EQ(1, tray.removeCount);
    EXPECT_EQ(1u, store.totalTicks());
    EXPECT_EQ(1u, store.Find("notepad.exe")->ticks);
    EXPECT_EQ(labels, rows.Labels());
    EXPECT_EQ(writes, rows.timeWrites);
    EXPECT_EQ(tips, tray.tips.size());
}

TEST_F(ActivitySamplerTest, NoForegroundWindowAndDesktopAreFixedApplications)
{
    for (int i = 0; i < 3; ++i)
        Tick();
    const AppRecord* none = store.Find("No active windows");
    ASSERT_NE(nullptr, none);
    EXPECT_EQ(3u, none->ticks);
    ASSERT_EQ(1u, none->documents.size());
    EXPECT_EQ(3u, none->documents.at("No active windows"));
    EXPECT_EQ("0:00:03", RowOf("No active windows").time);
    EXPECT_EQ(0, RowOf("No active windows").image);
    EXPECT_TRUE(icons.windowQueries.empty());

    foreground.foreground = FakeForeground::kDesktop;
    icons.windowIcons[FakeForeground::kDesktop] = 5;
    Tick();
    const AppRecord* desktop = store.Find("Desktop");
    ASSERT_NE(nullptr, desktop);
    EXPECT_EQ(1u, desktop->documents.at(""));
    EXPECT_EQ(5, desktop->iconIndex);
    // Neither asks for a process name, and both look for a path only of process 0.
    EXPECT_EQ(0, processes.snapshotCount);
    EXPECT_EQ((std::vector<std::uint32_t>{0, 0}), processes.pathQueries);
    EXPECT_EQ("0:00:04", rows.rows.back().time);
}

TEST_F(ActivitySamplerTest, NewApplicationsGoAboveTheBlankRowInOrderOfFirstTick)
{
    TickIn(0x100, 20, "Calculator");
    TickIn(0x200, 10, "a.txt - Notepad");
    TickIn(0x100, 20, "Calculator");
    TickIn(0x300, 30, "Document1");
    EXPECT_EQ((std::vector<std::string>{"calc.exe", "notepad.exe", "word.exe", "", "Total:"}),
              rows.Labels());
    EXPECT_EQ(3, rows.recolorCount);
    EXPECT_EQ("0:00:02", RowOf("calc.exe").time);
    EXPECT_EQ("0:00:01", RowOf("notepad.exe").time);
    EXPECT_EQ("", rows.rows[3].time);
    EXPECT_EQ("0:00:04", rows.rows[4].time);
    // One snapshot for the first miss; the other identifiers were in it.
    EXPECT_EQ(1, processes.snapshotCount);
}

TEST_F(ActivitySamplerTest, TooltipIsRefreshedWhenTheTotalIsNotAMultipleOfThree)
{
    std::vector<std::size_t> tipsAfterTick;
    for (int i = 0; i < 7; ++i) {
        TickIn(0x100, 10, "a.txt");
        tipsAfterTick.push_back(tray.tips.size());
    }
    EXPECT_EQ((std::vector<std::size_t>{1, 2, 2, 3, 4, 4, 5}), tipsAfterTick);
    EXPECT_EQ(BuildTrayTip(store), tray.tips.back());
    EXPECT_EQ("Total time: 0:00:07\nTop 3:\nnotepad.exe  0:00:07  100%\n", tray.tips.back());
}

TEST_F(ActivitySamplerTest, NamesDifferingOnlyInCaseEachKeepTheirOwnRowUpToDate)
{
    TickIn(0x100, 10, "a.txt");
    TickIn(0x200, 11, "A.TXT");
    TickIn(0x200, 11, "A.TXT");
    TickIn(0x100, 10, "a.txt");
    TickIn(0x100, 10, "a.txt");
    TickIn(0x200, 11, "A.TXT");
    TickIn(0x200, 11, "A.TXT");

    EXPECT_EQ(3u, store.Find("notepad.exe")->ticks);
    EXPECT_EQ(4u, store.Find("NOTEPAD.EXE")->ticks);
    ASSERT_EQ((std::vector<std::string>{"notepad.exe", "NOTEPAD.EXE", "", "Total:"}), rows.Labels());
    EXPECT_EQ("0:00:03", rows.rows[0].time);
    EXPECT_EQ("0:00:04", rows.rows[1].time);
}

TEST_F(ActivitySamplerTest, IconComesFromTheFileThenTheWindowThenImageZero)
{
    icons.fileIcons["C:\\Windows\\notepad.exe"] = 3;
    icons.windowIcons[0x100] = 9;
    TickIn(0x100, 10, "a.txt");
    EXPECT_EQ(3, store.Find("notepad.exe")->iconIndex);
    EXPECT_EQ(3, RowOf("notepad.exe").image);
    EXPECT_TRUE(icons.windowQueries.empty());

    icons.windowIcons[0x200] = 4;   // calc.exe's file yields no icon
    TickIn(0x200, 20, "Calculator");
    EXPECT_EQ(4, store.Find("calc.exe")->iconIndex);
    EXPECT_EQ(4, RowOf("calc.exe").image);

    TickIn(0x300, 30, "Document1");   // neither yields one
    EXPECT_EQ(0, store.Find("word.exe")->iconIndex);
    EXPECT_EQ(0, RowOf("word.exe").image);

    // A refused append is kept as the image list returned it.
    icons.fileIcons["D:\\OLD\\NOTEPAD.EXE"] = -1;
    TickIn(0x400, 11, "x");
    EXPECT_EQ(-1, store.Find("NOTEPAD.EXE")->iconIndex);
    EXPECT_EQ(-1, RowOf("NOTEPAD.EXE").image);

    // Icons are looked for once per application only.
    TickIn(0x100, 10, "a.txt");
    TickIn(0x300, 30, "Document1");
    EXPECT_EQ(4u, icons.fileQueries.size());
    EXPECT_EQ(4u, processes.pathQueries.size());
}

TEST_F(ActivitySamplerTest, ProcessThatCannotBeAskedTakesTheWindowIconWithoutAFileLookup)
{
    processes.paths.erase(20);
    icons.windowIcons[0x200] = 6;
    TickIn(0x200, 20, "Calculator");
    EXPECT_TRUE(icons.fileQueries.empty());
    EXPECT_EQ(6, store.Find("calc.exe")->iconIndex);
}

TEST_F(ActivitySamplerTest, TitleChangesAreDocumentsOfOneApplication)
{
    TickIn(0x100, 10, "a.txt - Notepad");
    TickIn(0x100, 10, "b.txt - Notepad");
    TickIn(0x100, 10, "b.txt - Notepad");
    const AppRecord* record = store.Find("notepad.exe");
    ASSERT_NE(nullptr, record);
    EXPECT_EQ(3u, record->ticks);
    EXPECT_EQ(1u, record->documents.at("a.txt - Notepad"));
    EXPECT_EQ(2u, record->documents.at("b.txt - Notepad"));
    EXPECT_EQ(1u, store.apps().size());
}

TEST_F(ActivitySamplerTest, ProcessMissingFromTheSnapshotIsTheUnknownApplication)
{
    TickIn(0x900, 999, "Ghost");
    TickIn(0x900, 999, "Ghost");
    EXPECT_EQ(2u, store.Find(kUnknownApplicationName)->ticks);
    EXPECT_EQ("0:00:02", RowOf(kUnknownApplicationName).time);
    EXPECT_EQ(2, processes.snapshotCount);
}

TEST_F(ActivitySamplerTest, MissingRowStillCountsTheTick)
{
    TickIn(0x100, 10, "a.txt");
    rows.rows = {{"", "", 0}, {"Total:", "", 0}};   // the list was emptied behind the store's back
    TickIn(0x100, 10, "a.txt");
    EXPECT_EQ(2u, store.Find("notepad.exe")->ticks);
    EXPECT_EQ((std::vector<std::string>{"", "Total:"}), rows.Labels());
    EXPECT_EQ("", rows.rows[0].time);
    EXPECT_EQ("0:00:02", rows.rows[1].time);
}

TEST_F(ActivitySamplerTest, AfterClearTheFirstTickCreatesRowAndIconAgain)
{
    icons.fileIcons["C:\\Windows\\notepad.exe"] = 1;
    TickIn(0x100, 10, "a.txt");
    store.Clear();
    rows.rows = {{"", "", 0}, {"Total:", "", 0}};
    icons.fileIcons["C:\\Windows\\notepad.exe"] = 2;   // the image list grew meanwhile
    TickIn(0x100, 10, "a.txt");

    EXPECT_EQ(1u, store.totalTicks());
    EXPECT_EQ(2, store.Find("notepad.exe")->iconIndex);
    EXPECT_EQ((std::vector<std::string>{"notepad.exe", "", "Total:"}), rows.Labels());
    EXPECT_EQ("0:00:01", rows.rows[0].time);
    EXPECT_EQ(2u, icons.fileQueries.size());
}

TEST_F(ActivitySamplerTest, StoreStaysConsistentOverManyMixedTicks)
{
    const WindowRef windows[] = {0, FakeForeground::kDesktop, 0x100, 0x200, 0x300, 0x900};
    const std::uint32_t owners[] = {0, 0, 10, 11, 20, 999};
    for (int i = 0; i < 3000; ++i) {
        const int pick = (i * 7 + i / 5) % 6;
        if (windows[pick] == 0 || windows[pick] == FakeForeground::kDesktop) {
            foreground.foreground = windows[pick];
            Tick();
        } else {
            TickIn(windows[pick], owners[pick], "title " + std::to_string(i % 13));
        }
        if (i == 1500)
            sampler.OnTimer(ActivitySampler::kReturnTimerId);
    }
    std::uint32_t sum = 0;
    for (const auto& [name, record] : store.apps()) {
        sum += record.ticks;
        EXPECT_EQ(FormatDuration(record.ticks), RowOf(name).time) << name;
    }
    EXPECT_EQ(3000u, store.totalTicks());
    EXPECT_EQ(sum, store.totalTicks());
    EXPECT_EQ(store.apps().size() + 2, rows.rows.size());
    EXPECT_EQ("0:50:00", rows.rows.back().time);
    EXPECT_EQ(2000u, tray.tips.size());
}

} // namespace
