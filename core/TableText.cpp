#include "core/TableText.h"

#include <algorithm>

namespace {

bool IsLineOrTab(char c)
{
    return c == '\t' || c == '\r' || c == '\n';
}

void AppendCell(std::string& text, const std::string& cell)
{
    const std::size_t first = cell.find_first_not_of(" \t\r\n");
    if (first != std::string::npos && std::string("=+-@\"").find(cell[first]) != std::string::npos)
        text += '\'';
    const std::size_t start = text.size();
    text += cell;
    std::replace_if(text.begin() + static_cast<std::ptrdiff_t>(start), text.end(), IsLineOrTab, ' ');
}

void AppendLine(std::string& text, const std::vector<std::string>& cells)
{
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0)
            text += '\t';
        AppendCell(text, cells[i]);
    }
}

}  // namespace

std::string TableText(const std::vector<std::string>& headings,
                      const std::vector<std::vector<std::string>>& rows)
{
    std::string text;
    AppendLine(text, headings);
    for (const std::vector<std::string>& row : rows) {
        const bool blank = std::all_of(row.begin(), row.end(),
                                       [](const std::string& cell) { return cell.empty(); });
        if (blank)
            continue;
        text += "\r\n";
        AppendLine(text, row);
    }
    return text;
}
