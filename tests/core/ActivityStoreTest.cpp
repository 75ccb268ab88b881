#include "core/ActivityStore.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

TEST(ActivityStore, CountsRecordsAndDocumentsKeepsIconsAndClearsToFreshRecords)
{
    ActivityStore store;
    EXPECT_EQ(nullptr, store.Find("notepad.exe"));
    EXPECT_TRUE(store.AddTick("notepad.exe", "a.txt").created);
    store.AddTick("notepad.exe", "a.txt");
    const ActivityStore::TickResult third = store.AddTick("notepad.exe", "b.txt");
    EXPECT_FALSE(third.created);
    EXPECT_EQ(3u, third.ticks);
    const AppRecord* record = store.Find("notepad.exe");
    ASSERT_NE(nullptr, record);
    EXPECT_EQ(3u, record->ticks);
    EXPECT_EQ(2u, record->documents.at("a.txt"));
    EXPECT_EQ(1u, record->documents.at("b.txt"));
    // AddTick leaves the total to IncrementTotal.
    EXPECT_EQ(0u, store.totalTicks());
    EXPECT_EQ(1u, store.IncrementTotal());

    store.SetIconIndex("notepad.exe", -1);   // kept as given
    EXPECT_EQ(-1, store.Find("notepad.exe")->iconIndex);
    store.SetIconIndex("missing.exe", 3);
    EXPECT_EQ(nullptr, store.Find("missing.exe"));

    store.Clear();
    EXPECT_TRUE(store.apps().empty());
    EXPECT_EQ(0u, store.totalTicks());
    const ActivityStore::TickResult fresh = store.AddTick("notepad.exe", "c.txt");
    EXPECT_TRUE(fresh.created);
    EXPECT_EQ(1u, fresh.ticks);
    EXPECT_EQ(0, store.Find("notepad.exe")->iconIndex);
    EXPECT_EQ(1u, store.Find("notepad.exe")->documents.size());
}

TEST(ActivityStore, KeysAreCaseSensitiveAndOrderedByUnsignedBytes)
{
    ActivityStore store;
    for (const char* name : {"alpha.exe", "Zeta.exe", "\xE9t\xE9.exe", "a", "ab", "\x7F", "\x80",
                             "\xFF", "A", ""})
        store.AddTick(name, "");
    std::vector<std::string> names;
    for (const auto& [name, record] : store.apps())
        names.push_back(name);
    EXPECT_EQ((std::vector<std::string>{"", "A", "Zeta.exe", "a", "ab", "alpha.exe", "\x7F", "\x80",
                                        "\xE9t\xE9.exe", "\xFF"}),
              names);
    EXPECT_EQ(nullptr, store.Find("ALPHA.EXE"));

    for (const char* title : {"b", "\xC4", "B", "ba", "B"})
        store.AddTick("a", title);
    std::vector<std::string> titles;
    for (const auto& [title, ticks] : store.Find("a")->documents)
        titles.push_back(title);
    EXPECT_EQ((std::vector<std::string>{"", "B", "b", "ba", "\xC4"}), titles);
}

using Places = std::vector<std::pair<std::uint32_t, std::string>>;

// The three places as a walk over every record in key order picks them with strict comparisons.
Places WalkLeaders(const ActivityStore& store)
{
    Places places(3, {0, ""});
    for (const auto& [name, record] : store.apps()) {
        const std::pair<std::uint32_t, std::string> entry{record.ticks, name};
        if (entry.first > places[0].first)
            places = {entry, places[0], places[1]};
        else if (entry.first > places[1].first)
            places = {places[0], entry, places[1]};
        else if (entry.first > places[2].first)
            places[2] = entry;
    }
    return places;
}

Places StoredLeaders(const ActivityStore& store)
{
    Places places;
    for (const ActivityStore::App* app : store.leaders())
        places.push_back(app ? std::make_pair(app->second.ticks, app->first)
                             : std::make_pair(0u, std::string()));
    return places;
}

// Random ticks: sums stay consistent and the kept leaders match a full walk after every tick.
TEST(ActivityStore, SumsAndLeadersStayConsistentOverRandomTicks)
{
    std::mt19937 random(7);
    ActivityStore store;
    // Few applications and skewed picks, so that counts tie often and places change hands.
    std::uniform_int_distribution<int> appPick(0, 6), skew(0, 3), titlePick(0, 5);
    for (int tick = 0; tick < 5000; ++tick) {
        const int app = skew(random) == 0 ? appPick(random) : appPick(random) % 3 + 4;
        store.IncrementTotal();
        store.AddTick(std::string(1, static_cast<char>('a' + app)), std::to_string(titlePick(random)));
        ASSERT_EQ(WalkLeaders(store), StoredLeaders(store)) << "tick " << tick;
        if (tick == 2500) {
            store.Clear();
            ASSERT_EQ(WalkLeaders(store), StoredLeaders(store));
        }
    }
    std::uint32_t sumOfApps = 0;
    for (const auto& [name, record] : store.apps()) {
        std::uint32_t sumOfDocuments = 0;
        for (const auto& [title, ticks] : record.documents)
            sumOfDocuments += ticks;
        EXPECT_EQ(record.ticks, sumOfDocuments) << name;
        sumOfApps += record.ticks;
    }
    EXPECT_EQ(2499u, store.totalTicks());
    EXPECT_EQ(store.totalTicks(), sumOfApps);
}

} // namespace
