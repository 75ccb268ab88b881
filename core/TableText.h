// The text of a table that pastes into a spreadsheet as a table: one line of headings, then one
// line per row, cells separated by tabs and lines by CRLF.
#pragma once

#include <string>
#include <vector>

// headings: the column titles. rows: each row's cells, left to right.
// Rows whose every cell is empty (the blank row between a list's rows and its "Total:" row) are
// left out. Every cell, the headings too, is made safe to paste:
// - a tab, CR or LF in it becomes a blank, so the text keeps one line per row and one cell per
//   column;
// - when its first character other than a blank is '=', '+', '-' or '@' (which a spreadsheet
//   reads as the start of a formula) or '"' (which opens a quoted cell that can run over the
//   following tabs and lines), it gets an apostrophe in front, which makes the spreadsheet take
//   the cell as text as it stands.
std::string TableText(const std::vector<std::string>& headings,
                      const std::vector<std::vector<std::string>>& rows);
