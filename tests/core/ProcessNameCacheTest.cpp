#include "core/ProcessNameCache.h"

#include "Fakes.h"

#include <gtest/gtest.h>

namespace {

TEST(ProcessNameCache, MissRebuildsOnceThenAnswersFromTheCache)
{
    FakeProcessSource source;
    source.processes = {{4, "System"}, {100, "Explorer.EXE"}, {200, "notepad.exe"}};
    ProcessNameCache cache(source);

    EXPECT_EQ("notepad.exe", cache.NameOf(200));
    EXPECT_EQ(1, source.snapshotCount);
    EXPECT_EQ("Explorer.EXE", cache.NameOf(100));
    EXPECT_EQ("notepad.exe", cache.NameOf(200));
    EXPECT_EQ(1, source.snapshotCount);

    // A process started after the last snapshot costs exactly one more.
    source.processes.push_back({300, "calc.exe"});
    EXPECT_EQ("calc.exe", cache.NameOf(300));
    EXPECT_EQ(2, source.snapshotCount);
}

TEST(ProcessNameCache, UnknownIdentifierTakesASnapshotOnEveryLookup)
{
    FakeProcessSource source;
    source.processes = {{100, "a.exe"}};
    ProcessNameCache cache(source);
    cache.Rebuild();
    ASSERT_EQ(1, source.snapshotCount);

    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ("??? Unknown Application name ???", cache.NameOf(999));
        EXPECT_EQ(1 + i, source.snapshotCount);
    }
    EXPECT_EQ(32u, std::string(kUnknownApplicationName).size());
}

TEST(ProcessNameCache, FailedSnapshotGivesUnknownAndIsRetried)
{
    FakeProcessSource source;
    source.processes = {{100, "a.exe"}};
    source.snapshotFails = true;
    ProcessNameCache cache(source);

    EXPECT_EQ(kUnknownApplicationName, cache.NameOf(100));
    EXPECT_EQ(kUnknownApplicationName, cache.NameOf(100));
    EXPECT_EQ(2, source.snapshotCount);

    source.snapshotFails = false;
    EXPECT_EQ("a.exe", cache.NameOf(100));
    EXPECT_EQ(3, source.snapshotCount);
}

TEST(ProcessNameCache, FailedRebuildDropsEveryEntry)
{
    FakeProcessSource source;
    source.processes = {{100, "a.exe"}};
    ProcessNameCache cache(source);
    cache.Rebuild();
    source.snapshotFails = true;
    cache.Rebuild();
    EXPECT_EQ(kUnknownApplicationName, cache.NameOf(100));
}

TEST(ProcessNameCache, StaleIdentifierKeepsItsOldNameUntilARebuild)
{
    FakeProcessSource source;
    source.processes = {{100, "old.exe"}, {200, "b.exe"}};
    ProcessNameCache cache(source);
    cache.Rebuild();

    source.processes = {{100, "new.exe"}, {200, "b.exe"}, {300, "c.exe"}};
    EXPECT_EQ("old.exe", cache.NameOf(100));
    EXPECT_EQ(1, source.snapshotCount);

    EXPECT_EQ("c.exe", cache.NameOf(300));   // a miss of another identifier refills everything
    EXPECT_EQ("new.exe", cache.NameOf(100));
    EXPECT_EQ(2, source.snapshotCount);
}

TEST(ProcessNameCache, NamesAreKeptAsReportedAndLaterEntriesWin)
{
    FakeProcessSource source;
    source.processes = {{10, "NOTEPAD.EXE"}, {11, "notepad.exe"}, {12, "notepad.exe"},
                        {13, "x.exe"}, {13, "y.exe"}};
    ProcessNameCache cache(source);
    EXPECT_EQ("NOTEPAD.EXE", cache.NameOf(10));
    EXPECT_EQ("notepad.exe", cache.NameOf(11));
    EXPECT_EQ("notepad.exe", cache.NameOf(12));
    EXPECT_EQ("y.exe", cache.NameOf(13));
    EXPECT_EQ(1, source.snapshotCount);
}

} // namespace
