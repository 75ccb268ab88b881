#include "core/ActivitySampler.h"

#include "core/ActivityStore.h"
#include "core/Duration.h"
#include "core/ProcessNameCache.h"
#include "tests/support/FakePorts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Labels = std::vector<std::string>;

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

    const FakeRows::Row& RowOf(const std::string& label) { return rows.rows.at(rows.FindRow(label)); }

    ActivityStore store;
    FakeProcessSource processes;
    ProcessNameCache names{processes};
    FakeForeground foreground;
    FakeIcons icons;
    FakeRows rows;
    FakeTray tray;
    ActivitySampler sampler{store, names, processes, foreground, icons, rows, tray};
};

TEST_F(ActivitySamplerTest, NoForegroundWindowAndDesktopAreFixedApplications)
{
    for (int i = 0; i < 3; ++i)
        Tick();
    const AppRecord* none = store.Find("No active windows");
    ASSERT_NE(nullptr, none);
    EXPECT_EQ(3u, none->documents.at("No active windows"));
    EXPECT_EQ("0:00:03", RowOf("No active windows").time);
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
    EXPECT_EQ((Labels{"calc.exe", "notepad.exe", "word.exe", "", "Total:"}), rows.Labels());
    EXPECT_EQ("0:00:02", RowOf("calc.exe").time);
    EXPECT_EQ(2u, store.Find("calc.exe")->documents.at("Calculator"));
    EXPECT_EQ("", rows.rows[3].time);
    EXPECT_EQ("0:00:04", rows.rows[4].time);
    // One snapshot for the first miss; the other identifiers were in it.
    EXPECT_EQ(1, processes.snapshotCount);
}

TEST_F(ActivitySamplerTest, TooltipIsRefreshedWhenTheTotalIsNotAMultipleOfThreeAndOnlyWithAnEntry)
{
    std::vector<std::size_t> tipsAfterTick;
    for (int i = 0; i < 7; ++i) {
        TickIn(0x100, 10, "a.txt");
        tipsAfterTick.push_back(tray.tips.size());
    }
    // Ticks 1, 2, 4, 5 and 7 show a tip; 3 and 6 do not.
    EXPECT_EQ((std::vector<std::size_t>{1, 2, 2, 3, 4, 4, 5}), tipsAfterTick);
    EXPECT_EQ("Total time: 0:00:07\nTop 3:\nnotepad.exe  0:00:07  100%\n", tray.tips.back());
    tray.entry = false;   // the window shown: no entry, nothing built or sent
    TickIn(0x100, 10, "a.txt");
    EXPECT_EQ(5u, tray.tips.size());

    // Timer 2 only removes the entry: no tick.
    sampler.OnTimer(ActivitySampler::kReturnTimerId);
    EXPECT_EQ(1, tray.killCount);
    EXPECT_EQ(1, tray.removeCount);
    EXPECT_EQ(8u, store.totalTicks());
}

TEST_F(ActivitySamplerTest, NamesDifferingOnlyInCaseEachKeepTheirOwnRowUpToDate)
{
    for (std::uint32_t process : {10, 11, 11, 10, 10, 11, 11})
        TickIn(0x100 + process, process, "a.txt");
    EXPECT_EQ(3u, store.Find("notepad.exe")->ticks);
    EXPECT_EQ(4u, store.Find("NOTEPAD.EXE")->ticks);
    ASSERT_EQ((Labels{"notepad.exe", "NOTEPAD.EXE", "", "Total:"}), rows.Labels());
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
    EXPECT_EQ(4, RowOf("calc.exe").image);

    TickIn(0x300, 30, "Document1");   // neither yields one
    EXPECT_EQ(0, store.Find("word.exe")->iconIndex);
    EXPECT_EQ(0, RowOf("word.exe").image);

    // A refused append is kept as the image list returned it.
    icons.fileIcons["D:\\OLD\\NOTEPAD.EXE"] = -1;
    TickIn(0x400, 11, "x");
    EXPECT_EQ(-1, store.Find("NOTEPAD.EXE")->iconIndex);
    EXPECT_EQ(-1, RowOf("NOTEPAD.EXE").image);

    // A process that cannot be asked gives its window's icon without a file lookup.
    processes.paths.erase(20);
    processes.processes.push_back({21, "calc2.exe"});
    icons.windowIcons[0x500] = 6;
    TickIn(0x500, 21, "Calculator");
    EXPECT_EQ(6, store.Find("calc2.exe")->iconIndex);

    // Icons are looked for once per application only.
    TickIn(0x100, 10, "a.txt");
    TickIn(0x300, 30, "Document1");
    EXPECT_EQ(4u, icons.fileQueries.size());
    EXPECT_EQ(5u, processes.pathQueries.size());
}

TEST_F(ActivitySamplerTest, StoreAppCountsUnderTheProcessOfItsCoreWindowWithTheFramesTitle)
{
    processes.processes.insert(processes.processes.end(),
                               {{40, "ApplicationFrameHost.exe"}, {41, "CalculatorApp.exe"},
                                {42, "applicationframehost.EXE"}, {43, "PhotosApp.exe"}});
    processes.paths[40] = "C:\\Windows\\System32\\ApplicationFrameHost.exe";
    processes.paths[41] = "C:\\Apps\\CalculatorApp.exe";
    icons.fileIcons[processes.paths[40]] = 7;
    icons.fileIcons[processes.paths[41]] = 8;
    foreground.coreWindowProcesses = {{0x700, 41}, {0x701, 43}, {0x100, 20}};

    struct Case {
        WindowRef window;
        std::uint32_t process;
        const char* title;
        const char* application;
    } const cases[] = {
        {0x700, 40, "Calculator", "CalculatorApp.exe"},
        {0x701, 42, "Photos - a.jpg", "PhotosApp.exe"},   // the host's name in another case
        {0x702, 40, "Settings", "ApplicationFrameHost.exe"},   // no core window of another process
        {0x100, 10, "a.txt", "notepad.exe"},   // only the frame host's windows are looked into
    };
    for (const Case& c : cases) {
        TickIn(c.window, c.process, c.title);
        const AppRecord* record = store.Find(c.application);
        ASSERT_NE(nullptr, record) << c.title;
        EXPECT_EQ(1u, record->documents.count(c.title)) << c.title;
        EXPECT_EQ("0:00:01", RowOf(c.application).time) << c.title;
    }
    // The icon comes from the app's executable; the frame host keeps its own.
    EXPECT_EQ(8, store.Find("CalculatorApp.exe")->iconIndex);
    EXPECT_EQ(7, store.Find("ApplicationFrameHost.exe")->iconIndex);
    EXPECT_EQ(nullptr, store.Find("calc.exe"));
}

TEST_F(ActivitySamplerTest, ProcessMissingFromTheSnapshotIsTheUnknownApplication)
{
    TickIn(0x900, 999, "Ghost");
    TickIn(0x900, 999, "Ghost");
    EXPECT_EQ(2u, store.Find(kUnknownApplicationName)->ticks);
    EXPECT_EQ("0:00:02", RowOf(kUnknownApplicationName).time);
    EXPECT_EQ(2, processes.snapshotCount);
}

TEST_F(ActivitySamplerTest, EmptiedListGetsARowOnlyForAnApplicationNewToTheStore)
{
    icons.fileIcons["C:\\Windows\\notepad.exe"] = 1;
    TickIn(0x100, 10, "a.txt");
    rows.rows = {{"", "", 0}, {"Total:", "", 0}};   // emptied behind the store's back
    TickIn(0x100, 10, "a.txt");
    EXPECT_EQ(2u, store.Find("notepad.exe")->ticks);
    EXPECT_EQ((Labels{"", "Total:"}), rows.Labels());
    EXPECT_EQ("", rows.rows[0].time);

    store.Clear();   // emptied with the store: the next tick creates row and icon again
    icons.fileIcons["C:\\Windows\\notepad.exe"] = 2;   // the image list grew meanwhile
    TickIn(0x100, 10, "a.txt");
    EXPECT_EQ((Labels{"notepad.exe", "", "Total:"}), rows.Labels());
    EXPECT_EQ(2, RowOf("notepad.exe").image);
    EXPECT_EQ("0:00:01", rows.rows[0].time);
}

} // namespace
