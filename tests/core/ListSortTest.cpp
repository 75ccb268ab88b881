#include "core/ListSort.h"

#include "tests/core/TimeOfDayParser.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>

namespace {

const CellDateParser kTimes = ParseTimeOfDay;

std::vector<std::string> Reordered(const std::vector<std::string>& texts,
                                   const std::vector<int>& order)
{
    std::vector<std::string> result;
    for (int row : order)
        result.push_back(texts.at(static_cast<std::size_t>(row)));
    return result;
}

std::vector<std::string> Sorted(const std::vector<std::string>& texts, bool ascending,
                                const std::optional<std::string>& separator = std::nullopt)
{
    return Reordered(texts, SortedRowOrder(texts, separator, ascending, kTimes));
}

struct HexCase {
    const char* text;
    std::optional<std::uint32_t> expected;
    bool saturates;  // only a 32-bit unsigned long gives this value
};

TEST(ParseHexCell, ReadsTextsAsTheThirtyTwoBitRuntimeStrtoulDoes)
{
    const HexCase cases[] = {
        {"A", 10u, false},
        {"10", 16u, false},
        {"0x1F", 31u, false},
        {"0X1f", 31u, false},
        {" 12", 0x12u, false},
        {"\t+ff", 0xFFu, false},
        {"1e3", 0x1E3u, false},
        {"0", 0u, false},
        {"-0", 0u, false},
        {"-1", 0xFFFFFFFFu, false},
        {"-0x10", 0xFFFFFFF0u, false},
        {"FFFFFFFF", 0xFFFFFFFFu, false},
        {"00000000FFFFFFFF", 0xFFFFFFFFu, false},
        {"100000000", 0xFFFFFFFFu, true},
        {"123456789ABCDEF0123", 0xFFFFFFFFu, true},
        {"-FFFFFFFF", 1u, false},
        {"-100000000", 1u, true},
        {"", std::nullopt, false},
        {" ", std::nullopt, false},
        {"+", std::nullopt, false},
        {"0x", std::nullopt, false},
        {"0xg", std::nullopt, false},
        {"x1", std::nullopt, false},
        {"12 ", std::nullopt, false},
        {"1.5", std::nullopt, false},
        {"10%", std::nullopt, false},
        {"G", std::nullopt, false},
        {"9:59:59", std::nullopt, false},
        {"--1", std::nullopt, false},
        {"\xA0" "1", std::nullopt, false},
    };
    for (const HexCase& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.expected, ParseHexCell(c.text));

        // The runtime agrees wherever its unsigned long gives the 32-bit result.
        if (sizeof(unsigned long) > 4 && c.saturates)
            continue;
        char* end = nullptr;
        const unsigned long value = std::strtoul(c.text, &end, 16);
        const bool whole = c.text[0] != '\0' && *end == '\0';
        EXPECT_EQ(c.expected.has_value(), whole);
        if (whole) {
            EXPECT_EQ(*c.expected, static_cast<std::uint32_t>(value));
        }
    }
}

TEST(ParseNumberCell, ReadsDecimalsAndPercentagesWithAFullStop)
{
    EXPECT_EQ(10.0, ParseNumberCell("10"));
    EXPECT_EQ(10.0, ParseNumberCell("10%"));
    EXPECT_EQ(45.0, ParseNumberCell("45%"));
    EXPECT_EQ(1.5, ParseNumberCell("1.5"));
    EXPECT_EQ(-25.0, ParseNumberCell(" -2.5e1"));
    EXPECT_EQ(0.5, ParseNumberCell("+.5"));
    EXPECT_EQ(5.0, ParseNumberCell("5."));
    EXPECT_EQ(0.0, ParseNumberCell("0.000"));
    EXPECT_EQ(1000.0, ParseNumberCell("1e3"));
    EXPECT_EQ(1e-3, ParseNumberCell("1E-3%"));
    // Out of range: infinity or zero, as the runtime saturates.
    EXPECT_EQ(HUGE_VAL, ParseNumberCell("1e999"));
    EXPECT_EQ(-HUGE_VAL, ParseNumberCell("-1e999"));
    EXPECT_EQ(HUGE_VAL, ParseNumberCell(std::string(400, '9')));
    EXPECT_EQ(0.0, ParseNumberCell("1e-999"));
    EXPECT_EQ(0.0, ParseNumberCell("0." + std::string(400, '0') + "1"));
    EXPECT_EQ(1e300, ParseNumberCell("0." + std::string(400, '0') + "1e701"));
    EXPECT_EQ(HUGE_VAL, ParseNumberCell("1e99999999999999999999999"));
    // Nothing converts in "%", so all that is left is one "%".
    EXPECT_EQ(0.0, ParseNumberCell("%"));

    for (const char* rejected : {"", " ", ".", "-", "+%", " %", "10%%", "10 %", "%10", "1e", "1e%",
                                 "1e+", "1,5", "abc", "inf", "nan", "INFINITY", "0x1p3", "0x1F",
                                 "1d2", "12:00:00", "1.5.2", "5 "}) {
        SCOPED_TRACE(rejected);
        EXPECT_EQ(std::nullopt, ParseNumberCell(rejected));
    }
}

TEST(ParseNumberCell, AgreesWithTheRuntimeOnDecimalTexts)
{
    for (const char* text : {"10", "10%", "1.5", " -2.5e1", "+.5", "5.", "1e3", "1E-3%", "1e999",
                             "1e-999", "%", "1e", "1e%", "1d2", "1,5", "12:00:00", "10 %",
                             "0.1", "123456789012345678901234567890", "2.2250738585072011e-308"}) {
        SCOPED_TRACE(text);
        char* end = nullptr;
        const double value = std::strtod(text, &end);
        const bool accepted = std::strcmp(end, "") == 0 || std::strcmp(end, "%") == 0;
        const std::optional<double> parsed = ParseNumberCell(text);
        EXPECT_EQ(accepted, parsed.has_value());
        if (accepted && parsed) {
            EXPECT_EQ(value, *parsed);
        }
    }
}

TEST(ParseNumberCell, IgnoresTheDecimalPointOfTheCurrentLocale)
{
    const char* const commaLocales[] = {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "German_Germany.1252",
                                        "German"};
    const char* chosen = nullptr;
    for (const char* name : commaLocales) {
        if (std::setlocale(LC_NUMERIC, name) != nullptr) {
            chosen = name;
            break;
        }
    }
    if (chosen == nullptr)
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    const std::optional<double> point = ParseNumberCell("1.5");
    const std::optional<double> comma = ParseNumberCell("1,5");
    std::setlocale(LC_NUMERIC, "C");
    EXPECT_EQ(1.5, point) << chosen;
    EXPECT_EQ(std::nullopt, comma) << chosen;
}

TEST(CompareCellTexts, TakesTheFirstRuleThatAcceptsBothTexts)
{
    // Hexadecimal: A is 10 and 10 is 16; 0x1F is 31 and 31 is 0x31.
    EXPECT_EQ(-1, CompareCellTexts("A", "10", kTimes));
    EXPECT_EQ(1, CompareCellTexts("10", "A", kTimes));
    EXPECT_EQ(-1, CompareCellTexts("0x1F", "31", kTimes));
    EXPECT_EQ(0, CompareCellTexts("-1", "FFFFFFFF", kTimes));
    EXPECT_EQ(0, CompareCellTexts(" 12", "12", kTimes));
    // 1e3 is hexadecimal 0x1E3 next to another hexadecimal text, the number 1000 otherwise.
    EXPECT_EQ(-1, CompareCellTexts("1e3", "500", kTimes));
    EXPECT_EQ(1, CompareCellTexts("1e3", "999.5", kTimes));
    // Numbers and percentages.
    EXPECT_EQ(0, CompareCellTexts("10%", "10", kTimes));
    EXPECT_EQ(-1, CompareCellTexts("9%", "10%", kTimes));
    EXPECT_EQ(-1, CompareCellTexts("2.5", "10%", kTimes));
    // Times, through the date parser: as text 9:59:59 would come after 10:00:00.
    EXPECT_EQ(-1, CompareCellTexts("9:59:59", "10:00:00", kTimes));
    EXPECT_EQ(1, CompareCellTexts("9:59:59", "10:00:00", CellDateParser()));
    EXPECT_EQ(0, CompareCellTexts("1:00:00", "01:00:00", kTimes));
    // A time the parser rejects compares as text.
    EXPECT_EQ(-1, CompareCellTexts("24:00:01", "3:00:00", kTimes));
    // Text: unsigned bytes, case-sensitive, a prefix first.
    EXPECT_EQ(1, CompareCellTexts("\xC9" "diteur", "zip", kTimes));
    EXPECT_EQ(-1, CompareCellTexts("Notepad", "notepad", kTimes));
    EXPECT_EQ(-1, CompareCellTexts("note", "notepad", kTimes));
    EXPECT_EQ(0, CompareCellTexts("Total:", "Total:", kTimes));
    // An empty text is never a number or a date, even for a parser that accepts anything.
    const CellDateParser acceptsAll = [](const std::string&, double& when) {
        when = 1.0;
        return true;
    };
    EXPECT_EQ(0, CompareCellTexts("x", "y", acceptsAll));
    EXPECT_EQ(-1, CompareCellTexts("", "y", acceptsAll));
    EXPECT_EQ(-1, CompareCellTexts("", "0", kTimes));
    EXPECT_EQ(-1, CompareCellTexts("", "%", kTimes));
    EXPECT_EQ(0, CompareCellTexts("", "", kTimes));
}

TEST(SortedRowOrder, SortsByTheRulesInEitherDirection)
{
    EXPECT_EQ((std::vector<std::string>{"A", "10"}), Sorted({"10", "A"}, true));
    EXPECT_EQ((std::vector<std::string>{"24:00:01", "3:00:00"}), Sorted({"3:00:00", "24:00:01"}, true));
    EXPECT_EQ((std::vector<std::string>{"9:59:59", "10:00:00"}), Sorted({"10:00:00", "9:59:59"}, true));
    EXPECT_EQ((std::vector<std::string>{"10:00:00", "9:59:59", "0:00:01"}),
              Sorted({"9:59:59", "0:00:01", "10:00:00"}, false));
    // The three texts compare in a circle (hexadecimal 1e3 < 500, numbers 500 < 999.5 < 1e3);
    // the partition-exchange sort settles them in this order.
    EXPECT_EQ((std::vector<std::string>{"999.5", "1e3", "500"}), Sorted({"500", "1e3", "999.5"}, true));
    // Equal rows are not kept in their order: the middle row is the pivot and the outer two swap.
    EXPECT_EQ((std::vector<int>{2, 1, 0}),
              SortedRowOrder({"10%", "10", "10.0"}, std::nullopt, true, kTimes));
}

TEST(SortedRowOrder, LeavesListsAndSegmentsOfOneRowAlone)
{
    EXPECT_EQ(std::vector<int>{}, SortedRowOrder({}, std::string(), true, kTimes));
    EXPECT_EQ(std::vector<int>{0}, SortedRowOrder({"b"}, std::nullopt, false, kTimes));
    EXPECT_EQ((std::vector<int>{0, 1, 2}), SortedRowOrder({"b", "", "a"}, std::string(), true, kTimes));
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3}),
              SortedRowOrder({"", "", "b", ""}, std::string(), true, kTimes));
    // Without a separator text the empty texts are ordinary rows.
    EXPECT_EQ((std::vector<int>{1, 0, 2}), SortedRowOrder({"b", "", "c"}, std::nullopt, true, kTimes));
}

TEST(SortedRowOrder, SortsEachSegmentBetweenSeparatorsOnItsOwn)
{
    // A data row with an empty text splits the rows above it from those below.
    EXPECT_EQ((std::vector<std::string>{"a", "c", "", "b", "d", "", "Total:"}),
              Sorted({"c", "a", "", "d", "b", "", "Total:"}, true, std::string()));
    EXPECT_EQ((std::vector<std::string>{"c", "a", "", "d", "b", "", "Total:"}),
              Sorted({"a", "c", "", "b", "d", "", "Total:"}, false, std::string()));
    // Separators first, last and next to each other; another separator text.
    EXPECT_EQ((std::vector<std::string>{"--", "x", "y", "--", "--", "1", "2", "3", "--"}),
              Sorted({"--", "y", "x", "--", "--", "3", "1", "2", "--"}, true, std::string("--")));
    EXPECT_EQ((std::vector<std::string>{"--", "", "b", "c"}),
              Sorted({"--", "c", "", "b"}, true, std::string("--")));
}

struct StatsRow {
    const char* name;
    const char* time;
    const char* percent;
};

TEST(SortedRowOrder, KeepsTheBlankAndTotalRowsOfAStatisticsListLast)
{
    const std::vector<StatsRow> rows = {
        {"notepad.exe", "0:59:59", "9%"},
        {"Explorer.EXE", "10:00:00", "91%"},
        {"??? Unknown Application name ???", "0:00:05", "0%"},
        {"Desktop", "9:59:59", "90%"},
        {"No active windows", "1:02:03", "10%"},
        {"", "", ""},
        {"Total:", "22:02:07", "100%"},
    };
    struct Expected {
        int column;
        bool ascending;
        std::vector<int> order;
    };
    const Expected expectations[] = {
        {0, true, {2, 3, 1, 4, 0, 5, 6}},
        {0, false, {0, 4, 1, 3, 2, 5, 6}},
        {1, true, {2, 0, 4, 3, 1, 5, 6}},
        {1, false, {1, 3, 4, 0, 2, 5, 6}},
        {2, true, {2, 0, 4, 3, 1, 5, 6}},
        {2, false, {1, 3, 4, 0, 2, 5, 6}},
    };
    for (const Expected& e : expectations) {
        SCOPED_TRACE(testing::Message() << "column " << e.column << (e.ascending ? " up" : " down"));
        std::vector<std::string> texts;
        for (const StatsRow& row : rows)
            texts.push_back(e.column == 0 ? row.name : e.column == 1 ? row.time : row.percent);
        EXPECT_EQ(e.order, SortedRowOrder(texts, std::string(), e.ascending, kTimes));
    }
}

// The list's sort as it has always worked: the rows themselves move, every comparison reads
// both texts where the rows stand and converts them with the C runtime. Used on texts where the
// host's runtime reads them as the 32-bit Windows one does (no saturation, no 0x or d in a
// number, no inf or nan).
class ReferenceList {
public:
    struct Row {
        int id;
        std::string text;
    };

    ReferenceList(const std::vector<std::string>& texts, std::optional<std::string> separator)
        : m_separator(std::move(separator))
    {
        for (std::size_t i = 0; i < texts.size(); ++i)
            m_rows.push_back({static_cast<int>(i), texts[i]});
    }

    std::vector<int> SortItems(bool ascending)
    {
        m_ascending = ascending;
        int b = FindSeparatorRow(-1);
        int c = -1;
        bool last = false;
        for (;;) {
            if (b < 0) {
                b = RowCount();
                last = true;
            }
            SortRange(c + 1, b - 1);
            c = FindSeparatorRow(b - 1);
            b = FindSeparatorRow(c);
            if (last || c < 0)
                break;
        }
        std::vector<int> ids;
        for (const Row& row : m_rows)
            ids.push_back(row.id);
        return ids;
    }

private:
    int RowCount() const { return static_cast<int>(m_rows.size()); }

    int FindSeparatorRow(int after) const
    {
        if (!m_separator)
            return -1;
        for (int r = after + 1; r < RowCount(); ++r) {
            if (m_rows[r].text == *m_separator)
                return r;
        }
        return -1;
    }

    void SortRange(int first, int last)
    {
        if (!(0 <= first && first < last && last < RowCount()))
            return;
        std::vector<int> p;
        for (int r = first; r <= last; ++r)
            p.push_back(r);
        Sort(p, 0, static_cast<int>(p.size()) - 1);
        std::vector<Row> snapshot;
        for (int r : p)
            snapshot.push_back(m_rows[r]);
        for (std::size_t k = 0; k < snapshot.size(); ++k)
            m_rows[first + static_cast<int>(k)] = snapshot[k];
    }

    void Sort(std::vector<int>& p, int lo, int hi)
    {
        const int pivot = p[(lo + hi) / 2];
        int i = lo;
        int j = hi;
        for (;;) {
            if (m_ascending) {
                while (CompareRows(p[i], pivot) < 0)
                    ++i;
                while (CompareRows(p[j], pivot) > 0)
                    --j;
            } else {
                while (CompareRows(p[i], pivot) > 0)
                    ++i;
                while (CompareRows(p[j], pivot) < 0)
                    --j;
            }
            if (j < i)
                break;
            if (i != j)
                std::swap(p[i], p[j]);
            ++i;
            --j;
            if (!(i <= j))
                break;
        }
        if (lo < j)
            Sort(p, lo, j);
        if (i < hi)
            Sort(p, i, hi);
    }

    static bool AsHex(const std::string& text, std::uint32_t& value)
    {
        char* end = nullptr;
        const unsigned long converted = std::strtoul(text.c_str(), &end, 16);
        value = static_cast<std::uint32_t>(converted);
        return !text.empty() && *end == '\0';
    }

    static bool AsNumber(const std::string& text, double& value)
    {
        char* end = nullptr;
        value = std::strtod(text.c_str(), &end);
        return !text.empty() && (std::strcmp(end, "") == 0 || std::strcmp(end, "%") == 0);
    }

    template <typename Value>
    static int Sign(Value a, Value b)
    {
        return a < b ? -1 : (a > b ? 1 : 0);
    }

    int CompareRows(int r1, int r2) const
    {
        const std::string& t1 = m_rows[r1].text;
        const std::string& t2 = m_rows[r2].text;
        std::uint32_t h1 = 0, h2 = 0;
        if (AsHex(t1, h1) && AsHex(t2, h2))
            return Sign(h1, h2);
        double n1 = 0, n2 = 0;
        if (AsNumber(t1, n1) && AsNumber(t2, n2))
            return Sign(n1, n2);
        double d1 = 0, d2 = 0;
        if (!t1.empty() && !t2.empty() && ParseTimeOfDay(t1, d1) && ParseTimeOfDay(t2, d2))
            return Sign(d1, d2);
        return std::strcmp(t1.c_str(), t2.c_str());
    }

    std::vector<Row> m_rows;
    std::optional<std::string> m_separator;
    bool m_ascending = true;
};

// Texts of every kind a list column holds, with the runtimes' corner cases mixed in.
std::string RandomCellText(std::mt19937& random)
{
    auto pick = [&random](int count) { return static_cast<int>(random() % static_cast<unsigned>(count)); };
    auto digits = [&](const char* alphabet, int count) {
        std::string s;
        const int length = static_cast<int>(std::strlen(alphabet));
        for (int i = 0; i < count; ++i)
            s += alphabet[pick(length)];
        return s;
    };
    static const char* const words[] = {
        "", "", "", "Total:", "notepad.exe", "Explorer.EXE", "\xC9" "diteur", "zz", "ABC", "abc",
        " ", "%", "-", "+1", "1.", ".5", "1e", "1e%", "12:00", "-0", "1e999", "Face", "beef",
        "24:00:01", "100:00:00", "10%", "10", "A", "a b",
    };
    char buffer[64];
    switch (pick(6)) {
    case 0:  // hexadecimal digits, sometimes with a blank or a sign
        return std::string(pick(4) == 0 ? " " : "") + (pick(4) == 0 ? "-" : "") +
               digits("0123456789ABCEFabcef", 1 + pick(8));
    case 1:  // decimals
        return digits("0123456789", 1 + pick(3)) + "." + digits("0123456789", pick(3)) +
               (pick(3) == 0 ? "e-1" : "");
    case 2:  // percentages
        std::snprintf(buffer, sizeof buffer, "%d%%", pick(101));
        return buffer;
    case 3:  // durations, some beyond a day
        std::snprintf(buffer, sizeof buffer, "%d:%02d:%02d", pick(30), pick(60), pick(60));
        return buffer;
    default:
        return words[pick(static_cast<int>(sizeof words / sizeof words[0]))];
    }
}

TEST(SortedRowOrder, GivesTheSameOrderAsSortingWithTextComparisonsAtEveryStep)
{
    std::mt19937 random(20261206);
    const std::optional<std::string> separators[] = {std::nullopt, std::string(), std::string("Total:")};
    for (int list = 0; list < 3000; ++list) {
        // A small pool per list, so equal texts are common.
        std::vector<std::string> pool;
        const int poolSize = 1 + static_cast<int>(random() % 12);
        for (int i = 0; i < poolSize; ++i)
            pool.push_back(RandomCellText(random));
        std::vector<std::string> texts;
        const int rowCount = static_cast<int>(random() % 40);
        for (int i = 0; i < rowCount; ++i)
            texts.push_back(pool[random() % pool.size()]);

        for (const auto& separator : separators) {
            for (bool ascending : {true, false}) {
                const std::vector<int> expected = ReferenceList(texts, separator).SortItems(ascending);
                const std::vector<int> actual = SortedRowOrder(texts, separator, ascending, kTimes);
                ASSERT_EQ(expected, actual) << "list " << list << (ascending ? " up" : " down");
            }
        }
    }
}

TEST(SortedRowOrder, GivesTheSameOrderAsTheReferenceOnALongList)
{
    std::mt19937 random(7);
    std::vector<std::string> texts;
    for (int i = 0; i < 3000; ++i)
        texts.push_back(RandomCellText(random));
    for (bool ascending : {true, false}) {
        EXPECT_EQ(ReferenceList(texts, std::string()).SortItems(ascending),
                  SortedRowOrder(texts, std::string(), ascending, kTimes));
    }
}

}  // namespace
