#include "core/ActivityStore.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Names(const ActivityStore& store)
{
    std::vector<std::string> names;
    for (const auto& [name, record] : store.apps())
        names.push_back(name);
    return names;
}

std::vector<std::string> Titles(const AppRecord& record)
{
    std::vector<std::string> titles;
    for (const auto& [title, ticks] : record.documents)
        titles.push_back(title);
    return titles;
}

TEST(ActivityStore, FreshStoreIsEmpty)
{
    ActivityStore store;
    EXPECT_TRUE(store.apps().empty());
    EXPECT_EQ(0u, store.totalTicks());
    EXPECT_EQ(nullptr, store.Find("notepad.exe"));
}

TEST(ActivityStore, AddTickCreatesThenCountsRecordAndDocuments)
{
    ActivityStore store;
    ActivityStore::TickResult first = store.AddTick("notepad.exe", "a.txt");
    EXPECT_TRUE(first.created);
    EXPECT_EQ(1u, first.ticks);

    ActivityStore::TickResult second = store.AddTick("notepad.exe", "a.txt");
    EXPECT_FALSE(second.created);
    EXPECT_EQ(2u, second.ticks);

    ActivityStore::TickResult third = store.AddTick("notepad.exe", "b.txt");
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
    EXPECT_EQ(2u, store.IncrementTotal());
}

TEST(ActivityStore, KeysAreCaseSensitiveAndTitlesBelongToTheirApplication)
{
    ActivityStore store;
    store.AddTick("notepad.exe", "Untitled");
    store.AddTick("NOTEPAD.EXE", "Untitled");
    store.AddTick("NOTEPAD.EXE", "untitled");
    store.AddTick("calc.exe", "Untitled");
    store.AddTick("calc.exe", "");
    store.AddTick("calc.exe", "");

    ASSERT_EQ(3u, store.apps().size());
    EXPECT_EQ(1u, store.Find("notepad.exe")->ticks);
    EXPECT_EQ(2u, store.Find("NOTEPAD.EXE")->ticks);
    EXPECT_EQ(2u, store.Find("NOTEPAD.EXE")->documents.size());
    EXPECT_EQ(1u, store.Find("calc.exe")->documents.at("Untitled"));
    EXPECT_EQ(2u, store.Find("calc.exe")->documents.at(""));
    EXPECT_EQ(nullptr, store.Find("Notepad.exe"));
}

TEST(ActivityStore, OrdersKeysByUnsignedBytesShorterPrefixFirst)
{
    ActivityStore store;
    for (const char* name : {"alpha.exe", "Zeta.exe", "\xE9t\xE9.exe", "a", "ab", "\x7F", "\x80",
                             "\xFF", "A", ""})
        store.AddTick(name, "");
    const std::vector<std::string> expected{"", "A", "Zeta.exe", "a", "ab", "alpha.exe", "\x7F",
                                            "\x80", "\xE9t\xE9.exe", "\xFF"};
    EXPECT_EQ(expected, Names(store));

    for (const char* title : {"b", "\xC4", "B", "ba", "\x01"})
        store.AddTick("a", title);
    const std::vector<std::string> titles{"", "\x01", "B", "b", "ba", "\xC4"};
    EXPECT_EQ(titles, Titles(*store.Find("a")));
}

TEST(ActivityStore, SetIconIndexKeepsValueAsGivenAndIgnoresUnknownNames)
{
    ActivityStore store;
    store.AddTick("a.exe", "");
    store.SetIconIndex("a.exe", -1);
    EXPECT_EQ(-1, store.Find("a.exe")->iconIndex);
    store.SetIconIndex("a.exe", 7);
    store.SetIconIndex("missing.exe", 3);
    EXPECT_EQ(7, store.Find("a.exe")->iconIndex);
    EXPECT_EQ(nullptr, store.Find("missing.exe"));
}

TEST(ActivityStore, ClearEmptiesAndNextTickStartsAFreshRecord)
{
    ActivityStore store;
    store.IncrementTotal();
    store.AddTick("a.exe", "one");
    store.IncrementTotal();
    store.AddTick("a.exe", "two");
    store.SetIconIndex("a.exe", 4);

    store.Clear();
    EXPECT_TRUE(store.apps().empty());
    EXPECT_EQ(0u, store.totalTicks());

    ActivityStore::TickResult tick = store.AddTick("a.exe", "three");
    EXPECT_TRUE(tick.created);
    EXPECT_EQ(1u, tick.ticks);
    EXPECT_EQ(0, store.Find("a.exe")->iconIndex);
    EXPECT_EQ(1u, store.Find("a.exe")->documents.size());
}

TEST(ActivityStore, TotalsEqualSumsAfterLongRandomTickSequences)
{
    std::mt19937 random(20261206);
    for (int round = 0; round < 5; ++round) {
        ActivityStore store;
        std::uniform_int_distribution<int> appPick(0, 30), titlePick(0, 50);
        for (int tick = 0; tick < 20000; ++tick) {
            store.IncrementTotal();
            store.AddTick("app" + std::to_string(appPick(random)),
                          "title" + std::to_string(titlePick(random)));
            if (round == 4 && tick == 10000)
                store.Clear();
        }
        std::uint64_t sumOfApps = 0;
        for (const auto& [name, record] : store.apps()) {
            std::uint64_t sumOfDocuments = 0;
            for (const auto& [title, ticks] : record.documents)
                sumOfDocuments += ticks;
            EXPECT_FALSE(record.documents.empty()) << name;
            EXPECT_EQ(record.ticks, sumOfDocuments) << name;
            sumOfApps += record.ticks;
        }
        EXPECT_EQ(store.totalTicks(), sumOfApps);
        EXPECT_EQ(round == 4 ? 9999u : 20000u, store.totalTicks());
    }
}

// The three places as a walk over every record in key order picks them with strict comparisons.
std::vector<std::pair<std::uint32_t, std::string>> WalkLeaders(const ActivityStore& store)
{
    std::vector<std::pair<std::uint32_t, std::string>> places(3, {0, ""});
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

std::vector<std::pair<std::uint32_t, std::string>> StoredLeaders(const ActivityStore& store)
{
    std::vector<std::pair<std::uint32_t, std::string>> places;
    for (const ActivityStore::App* app : store.leaders())
        places.push_back(app ? std::make_pair(app->second.ticks, app->first)
                             : std::make_pair(0u, std::string()));
    return places;
}

TEST(ActivityStore, LeadersMatchAStrictWalkInKeyOrderAfterEveryTick)
{
    std::mt19937 random(7);
    ActivityStore store;
    EXPECT_EQ(WalkLeaders(store), StoredLeaders(store));
    // Few applications and skewed picks, so that counts tie often and places change hands.
    std::uniform_int_distribution<int> appPick(0, 6), skew(0, 3);
    for (int tick = 0; tick < 5000; ++tick) {
        const int app = skew(random) == 0 ? appPick(random) : appPick(random) % 3 + 4;
        store.IncrementTotal();
        store.AddTick(std::string(1, static_cast<char>('a' + app)), "");
        ASSERT_EQ(WalkLeaders(store), StoredLeaders(store)) << "tick " << tick;
        if (tick == 2500) {
            store.Clear();
            ASSERT_EQ(WalkLeaders(store), StoredLeaders(store));
        }
    }
}

} // namespace
