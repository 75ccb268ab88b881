// Sorting rules of the report list: how two cell texts compare, and the order a header click
// gives the rows of a list whose separator rows split it into segments sorted one by one.
//
// The list control reads every row's text in the sort column once, calls SortedRowOrder, and
// writes the rows back in the returned order (row k of the sorted list takes the states, item
// data, images and texts that row order[k] had before). Separator rows and rows of one-row
// segments keep their places, so order[k] == k for them.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// Reads a cell text as a date, a time or both. On success stores the point in time in `when`
// (larger is later) and returns true. The Win32 list passes VarDateFromStr with
// LOCALE_USER_DEFAULT and no flags, giving the OLE automation date.
using CellDateParser = std::function<bool(const std::string& text, double& when)>;

// The cell text as an unsigned 32-bit hexadecimal number, as strtoul(text, &end, 16) of the
// 32-bit Windows runtime reads it: leading white space, a sign and a 0x prefix are accepted;
// a value beyond 0xFFFFFFFF saturates to 0xFFFFFFFF before a minus sign negates it ("-1" gives
// 0xFFFFFFFF, "-100000000" gives 1). nullopt unless the text is non-empty and read to its end.
std::optional<std::uint32_t> ParseHexCell(const std::string& text);

// The cell text as a decimal number, as strtod(text, &end) reads it, always with a full stop as
// the decimal point whatever the C locale: leading white space, a sign, digits with an optional
// fraction and an optional exponent. Hexadecimal floating point, infinities and NaNs, which not
// every runtime reads, are not numbers here; a value out of range gives an infinity or 0.
// nullopt unless the text is non-empty and the conversion leaves nothing or exactly one "%"
// (so "45%" gives 45, and "%" alone, where nothing converts, gives 0).
std::optional<double> ParseNumberCell(const std::string& text);

// Compares two cell texts by the first rule that accepts both: hexadecimal (ParseHexCell),
// number (ParseNumberCell), duration, date or time (parseDate; an empty parser accepts
// nothing), and otherwise the texts byte by byte as unsigned characters. A duration is
// hours:minutes:seconds as FormatDuration writes it: one or more digits of hours, then exactly
// two digits each of minutes and seconds, both below 60 ("25:13:02"); durations compare by
// their length in seconds, whatever the number of hours. A text such as "0:61:00" is no
// duration and is left to the later rules. An empty text is never a number, a duration or a
// date. Returns -1, 0 or 1 as first is smaller than, equal to or larger than second.
int CompareCellTexts(const std::string& first, const std::string& second,
                     const CellDateParser& parseDate);

// The order of the rows after sorting a list by one column.
// columnTexts: every row's text in the sort column, top to bottom (its size is the row count).
// separatorText: rows whose text equals it byte for byte are separators; with nullopt there are
//   none. The rows before the first separator, between two separators and after the last one
//   are sorted among themselves; separators stay where they are.
// Each segment is sorted by the same partition-exchange sort the list has always used, with
// CompareCellTexts, so rows that compare equal end up exactly where that sort puts them (it is
// not stable). Every text is parsed once; the comparisons and their results are unchanged.
// Returns order: order[k] is the row (index into columnTexts) that goes to place k.
std::vector<int> SortedRowOrder(const std::vector<std::string>& columnTexts,
                                const std::optional<std::string>& separatorText, bool ascending,
                                const CellDateParser& parseDate);
