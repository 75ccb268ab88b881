#include "core/TableText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Rows = std::vector<std::vector<std::string>>;

TEST(TableText, HeadingsThenEveryRowButBlankOnesWithTabsAndCrLf)
{
    const struct {
        std::vector<std::string> headings;
        Rows rows;
        const char* expected;
    } cases[] = {
        // A statistics list: the blank row goes, "Total:" stays.
        {{"Processes", "Time", "Percent"},
         {{"b.exe", "25:13:02", "44%"}, {"a.exe", "0:00:02", "22%"}, {"", "", ""},
          {"Total:", "25:13:04", "100%"}},
         "Processes\tTime\tPercent\r\nb.exe\t25:13:02\t44%\r\na.exe\t0:00:02\t22%\r\n"
         "Total:\t25:13:04\t100%"},
        // The desktop's document has no title but a time: not a blank row.
        {{"Documents", "Duration"}, {{"", "0:00:05"}, {"", ""}, {"Total:", "0:00:05"}},
         "Documents\tDuration\r\n\t0:00:05\r\nTotal:\t0:00:05"},
        {{"Processes", "Duration"}, {{"", ""}, {}}, "Processes\tDuration"},
        {{"Processes"}, {}, "Processes"},
        {{}, {}, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, TableText(c.headings, c.rows)) << c.expected;
}

// Window titles are anyone's text: none may split a row or a cell, or become a formula.
TEST(TableText, CellsNeverBreakTheTableNorStartAFormula)
{
    const std::pair<std::string, std::string> cells[] = {
        {"a\tb", "a b"}, {"one\r\ntwo\rthree\nfour", "one  two three four"},
        {"=HYPERLINK(\"http://x\")", "'=HYPERLINK(\"http://x\")"}, {"+1", "'+1"}, {"-2", "'-2"},
        {"@SUM(A1)", "'@SUM(A1)"}, {"\"unclosed", "'\"unclosed"},
        // A blank, or a tab or line end that becomes one, does not hide a formula.
        {"\t=cmd", "' =cmd"}, {"  -x", "'  -x"}, {"\r\n@x", "'  @x"},
        // Anywhere else these characters are plain text.
        {"a=b+c-d@e\"f\"", "a=b+c-d@e\"f\""}, {"'quoted'", "'quoted'"}, {"Total:", "Total:"},
        {"\xC3\x89" "diteur \xE2\x80\x93 \xD0\x96", "\xC3\x89" "diteur \xE2\x80\x93 \xD0\x96"},
        {" ", " "}, {"\t", " "},
    };
    for (const auto& [cell, expected] : cells) {
        EXPECT_EQ("Name\t'=x\r\n" + expected + "\tz", TableText({"Name", "=x"}, {{cell, "z"}}))
            << cell;
    }
}

}  // namespace
