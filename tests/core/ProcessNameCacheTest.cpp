#include "core/ProcessNameCache.h"

#include "tests/support/FakePorts.h"

#include <gtest/gtest.h>

namespace {

TEST(ProcessNameCache, MissRebuildsOnceThenAnswersFromTheCache)
{
    FakeProcessSource source;
    // Names are kept as reported; of two entries for one identifier the later wins.
    source.processes = {{4, "System"}, {100, "Explorer.EXE"}, {200, "notepad.exe"}, {13, "x.exe"},
                        {13, "y.exe"}};
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

    // An identifier in no snapshot costs a new one on every lookup.
    for (int i = 1; i <= 2; ++i) {
        EXPECT_EQ("??? Unknown Application name ???", cache.NameOf(999));
        EXPECT_EQ(2 + i, source.snapshotCount);
    }
}

TEST(ProcessNameCache, FailedSnapshotDropsEveryEntryAndIsRetried)
{
    FakeProcessSource source;
    source.processes = {{100, "a.exe"}};
    ProcessNameCache cache(source);
    cache.Rebuild();
    source.snapshotFails = true;
    cache.Rebuild();
    EXPECT_EQ(kUnknownApplicationName, cache.NameOf(100));
    EXPECT_EQ(kUnknownApplicationName, cache.NameOf(100));
    EXPECT_EQ(4, source.snapshotCount);

    source.snapshotFails = false;
    EXPECT_EQ("a.exe", cache.NameOf(100));
    EXPECT_EQ(5, source.snapshotCount);
}

} // namespace
