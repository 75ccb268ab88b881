#include "core/ListSort.h"

#include "tests/core/TimeOfDayParser.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

const CellDateParser kTimes = ParseTimeOfDay;
using Texts = std::vector<std::string>;

Texts Sorted(const Texts& texts, bool ascending, const std::optional<std::string>& separator)
{
    Texts result;
    for (int row : SortedRowOrder(texts, separator, ascending, kTimes))
        result.push_back(texts.at(static_cast<std::size_t>(row)));
    return result;
}

TEST(CellParsers, ReadTextsAsTheRuntimesThirtyTwoBitStrtoulAndItsStrtodDo)
{
    const std::pair<const char*, std::uint32_t> hexTexts[] = {
        {"A", 10u}, {"0X1f", 31u}, {"\t+ff", 0xFFu}, {"1e3", 0x1E3u}, {"-0", 0u},
        {"-1", 0xFFFFFFFFu}, {"-0x10", 0xFFFFFFF0u}, {"00000000FFFFFFFE", 0xFFFFFFFEu},
        {"-FFFFFFFF", 1u},
        // Beyond 32 bits the value saturates before a minus sign negates it.
        {"100000000", 0xFFFFFFFFu}, {"123456789ABCDEF0123", 0xFFFFFFFFu}, {"-100000000", 1u},
    };
    for (const auto& [text, expected] : hexTexts)
        EXPECT_EQ(expected, ParseHexCell(text)) << text;
    for (const char* notHex : {"", " ", "+", "0x", "0xg", "12 ", "1.5", "10%", "--1", "9:59:59",
                               "\xA0" "1"})
        EXPECT_EQ(std::nullopt, ParseHexCell(notHex)) << notHex;

    // Decimals and percentages as strtod reads them with a full stop.
    const std::pair<std::string, double> numbers[] = {
        {"10%", 10.0}, {" -2.5e1", -25.0}, {"+.5", 0.5}, {"5.", 5.0}, {"1E-3%", 1e-3}, {"0.1", 0.1},
        {"123456789012345678901234567890", 123456789012345678901234567890.0},
        {"2.2250738585072011e-308", 2.2250738585072011e-308},
        {"%", 0.0},  // nothing converts, so all that is left is one "%"
        // Out of range: infinity or zero, as the runtime saturates.
        {"-1e999", -HUGE_VAL}, {std::string(400, '9'), HUGE_VAL}, {"1e-999", 0.0},
        {"0." + std::string(400, '0') + "1", 0.0}, {"0." + std::string(400, '0') + "1e701", 1e300},
        {"1e99999999999999999999999", HUGE_VAL},
    };
    for (const auto& [text, expected] : numbers)
        EXPECT_EQ(expected, ParseNumberCell(text)) << text;
    for (const char* notANumber : {"", ".", "-", "+%", " %", "10%%", "10 %", "%10", "1e", "1e%",
                                   "1e+", "1,5", "inf", "nan", "0x1p3", "0x1F", "1d2", "12:00:00",
                                   "1.5.2", "5 "})
        EXPECT_EQ(std::nullopt, ParseNumberCell(notANumber)) << notANumber;
}

TEST(CompareCellTexts, TakesTheFirstRuleThatAcceptsBothTexts)
{
    const struct {
        const char* first;
        const char* second;
        int expected;
    } cases[] = {
        {"A", "10", -1}, {"0x1F", "31", -1}, {"-1", "FFFFFFFF", 0},  // hexadecimal
        {"1e3", "500", -1}, {"1e3", "999.5", 1},  // 1e3 is 0x1E3 only next to another hex text
        {"10%", "10", 0}, {"2.5", "10%", -1},      // numbers and percentages
        // Durations, however many hours, ahead of the date rule: no day wraps them.
        {"9:59:59", "10:00:00", -1}, {"1:00:00", "01:00:00", 0}, {"25:13:02", "3:00:00", 1},
        {"24:00:01", "23:59:59", 1}, {"0100:00:00", "99:59:59", 1}, {"0:00:00", "000:00:00", 0},
        {"1193046:28:15", "1193046:28:14", 1},
        {"123456789012345678901234:00:00", "99999999999999999999999:59:59", 1},
        // Not durations (minutes or seconds of 60 and more, other forms): the later rules.
        {"10:61:00", "9:00:00", -1}, {"10:00:60", "9:00:00", -1}, {"10:0:00", "9:00:00", -1},
        {" 10:00:00", "9:00:00", -1}, {"+10:00:00", "9:00:00", -1}, {"10:00:00 ", "9:00:00", -1},
        {"10:00", "9:00:00", -1}, {"1:00:00:00", "9:00:00", -1}, {":00:00", "0:00:01", 1},
        {"\xC9" "diteur", "zip", 1}, {"Notepad", "notepad", -1}, {"note", "notepad", -1},
        {"", "0", -1}, {"", "%", -1}, {"", "", 0},  // an empty text is never a number
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, CompareCellTexts(c.first, c.second, kTimes)) << c.first << " " << c.second;
    EXPECT_EQ(-1, CompareCellTexts("9:59:59", "10:00:00", CellDateParser()));
    const CellDateParser acceptsAll = [](const std::string&, double& when) {
        when = 1.0;
        return true;
    };
    EXPECT_EQ(0, CompareCellTexts("x", "y", acceptsAll));
    EXPECT_EQ(1, CompareCellTexts("25:00:00", "3:00:00", acceptsAll));
    EXPECT_EQ(-1, CompareCellTexts("", "y", acceptsAll));
}

TEST(SortedRowOrder, SortsSegmentsBetweenSeparatorsInEitherDirection)
{
    const std::string blank;
    EXPECT_EQ((Texts{"10:00:00", "9:59:59", "0:00:01"}),
              Sorted({"9:59:59", "0:00:01", "10:00:00"}, false, std::nullopt));
    // The three texts compare in a circle (hexadecimal 1e3 < 500, numbers 500 < 999.5 < 1e3).
    EXPECT_EQ((Texts{"999.5", "1e3", "500"}), Sorted({"500", "1e3", "999.5"}, true, std::nullopt));
    // Equal rows are not kept in their order: the middle row is the pivot and the outer two swap.
    EXPECT_EQ((std::vector<int>{2, 1, 0}),
              SortedRowOrder({"10%", "10", "10.0"}, std::nullopt, true, kTimes));
    EXPECT_EQ((Texts{"a", "c", "", "b", "d", "", "Total:"}),
              Sorted({"c", "a", "", "d", "b", "", "Total:"}, true, blank));
    EXPECT_EQ((Texts{"--", "x", "y", "--", "--", "1", "2", "3", "--"}),
              Sorted({"--", "y", "x", "--", "--", "3", "1", "2", "--"}, true, std::string("--")));
    // Empty lists and one-row segments stay; without a separator text "" is an ordinary row.
    EXPECT_EQ(std::vector<int>{}, SortedRowOrder({}, blank, true, kTimes));
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3}), SortedRowOrder({"", "", "b", ""}, blank, true, kTimes));
    EXPECT_EQ((std::vector<int>{1, 0, 2}), SortedRowOrder({"b", "", "c"}, std::nullopt, true, kTimes));
}

}  // namespace
