#include "core/ListSort.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numeric>
#include <string_view>
#include <system_error>
#include <utility>

namespace {

// isspace of the "C" locale.
bool IsBlank(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

int HexDigitValue(char c)
{
    if (IsDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Skips leading white space and an optional sign; returns whether the sign was a minus.
bool SkipBlanksAndSign(const std::string& text, std::size_t& pos)
{
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
        return text[pos++] == '-';
    return false;
}

// The power of ten of the first non-zero digit of "ddd.ddd" plus the exponent, saturated far
// beyond the range of a double: positive for a value too large, negative for one too small.
long long MagnitudeOf(const std::string& mantissa, bool negativeExponent,
                      const std::string& exponentDigits)
{
    const std::size_t point = mantissa.find('.');
    const long long integerDigits =
        static_cast<long long>(point == std::string::npos ? mantissa.size() : point);
    const long long firstNonZero = static_cast<long long>(mantissa.find_first_not_of("0."));
    long long power = firstNonZero < integerDigits ? integerDigits - 1 - firstNonZero
                                                   : integerDigits - firstNonZero;
    long long exponent = 0;
    for (char digit : exponentDigits)
        exponent = std::min(exponent * 10 + (digit - '0'), 1000000LL);
    return power + (negativeExponent ? -exponent : exponent);
}

template <typename Value>
int Sign(Value first, Value second)
{
    if (first < second)
        return -1;
    if (first > second)
        return 1;
    return 0;
}

// A duration "h:mm:ss" as its hours without leading zeros (a view into the cell text) and the
// seconds past the hour: enough to order durations of any number of hours exactly.
struct DurationKey {
    std::string_view hours;
    int secondsPastHour;
};

// Two digits at text[at] as a number below 60, or -1.
int MinutesOrSeconds(const std::string& text, std::size_t at)
{
    if (!IsDigit(text[at]) || !IsDigit(text[at + 1]))
        return -1;
    const int value = (text[at] - '0') * 10 + (text[at + 1] - '0');
    return value < 60 ? value : -1;
}

std::optional<DurationKey> ParseDurationCell(const std::string& text)
{
    const std::size_t colon = text.find(':');
    if (colon == 0 || colon == std::string::npos || text.size() != colon + 6 || text[colon + 3] != ':')
        return std::nullopt;
    for (std::size_t at = 0; at < colon; ++at) {
        if (!IsDigit(text[at]))
            return std::nullopt;
    }
    const int minutes = MinutesOrSeconds(text, colon + 1);
    const int seconds = MinutesOrSeconds(text, colon + 4);
    if (minutes < 0 || seconds < 0)
        return std::nullopt;
    const std::size_t significant = std::min(text.find_first_not_of('0'), colon);
    return DurationKey{std::string_view(text).substr(significant, colon - significant),
                       minutes * 60 + seconds};
}

int CompareDurations(const DurationKey& first, const DurationKey& second)
{
    // Without leading zeros, more digits of hours is more hours.
    if (first.hours.size() != second.hours.size())
        return Sign(first.hours.size(), second.hours.size());
    if (const int hours = first.hours.compare(second.hours))
        return Sign(hours, 0);
    return Sign(first.secondsPastHour, second.secondsPastHour);
}

// Everything a comparison needs to know about one cell text.
struct CellKeys {
    const std::string* text;
    std::optional<std::uint32_t> hex;
    std::optional<double> number;
    std::optional<DurationKey> duration;
    std::optional<double> date;
};

CellKeys ReadCellKeys(const std::string& text, const CellDateParser& parseDate)
{
    CellKeys keys{&text, std::nullopt, std::nullopt, std::nullopt, std::nullopt};
    if (text.empty())
        return keys;
    keys.hex = ParseHexCell(text);
    keys.number = ParseNumberCell(text);
    keys.duration = ParseDurationCell(text);
    double when = 0;
    if (parseDate && parseDate(text, when))
        keys.date = when;
    return keys;
}

int CompareKeys(const CellKeys& first, const CellKeys& second)
{
    if (first.hex && second.hex)
        return Sign(*first.hex, *second.hex);
    if (first.number && second.number)
        return Sign(*first.number, *second.number);
    if (first.duration && second.duration)
        return CompareDurations(*first.duration, *second.duration);
    if (first.date && second.date)
        return Sign(*first.date, *second.date);
    // std::string compares its characters as unsigned bytes.
    return Sign(first.text->compare(*second.text), 0);
}

// One sort of a list: the segment loop, the range sort and the partition-exchange sort.
// Rows are identified by their index into the texts; m_order[place] is the row at a place.
class RowSorter {
public:
    RowSorter(const std::vector<std::string>& texts, const std::optional<std::string>& separator,
              bool ascending, const CellDateParser& parseDate)
        : m_texts(texts), m_separator(separator), m_direction(ascending ? 1 : -1),
          m_rowCount(static_cast<int>(texts.size())), m_order(texts.size())
    {
        m_keys.reserve(texts.size());
        for (const std::string& text : texts)
            m_keys.push_back(ReadCellKeys(text, parseDate));
        std::iota(m_order.begin(), m_order.end(), 0);
    }

    std::vector<int> Run()
    {
        int b = FindSeparatorRow(-1);
        int c = -1;
        bool last = false;
        do {
            if (b < 0) {
                b = m_rowCount;
                last = true;
            }
            SortRange(c + 1, b - 1);
            c = FindSeparatorRow(b - 1);
            b = FindSeparatorRow(c);
        } while (!last && c >= 0);
        return std::move(m_order);
    }

private:
    // The first place after `after` whose text equals the separator text, or -1.
    int FindSeparatorRow(int after) const
    {
        if (!m_separator)
            return -1;
        for (int place = after + 1; place < m_rowCount; ++place) {
            if (m_texts[m_order[place]] == *m_separator)
                return place;
        }
        return -1;
    }

    void SortRange(int first, int last)
    {
        if (first < 0 || first >= last || last >= m_rowCount)
            return;
        std::vector<int> rows(m_order.begin() + first, m_order.begin() + last + 1);
        SortRows(rows);
        std::copy(rows.begin(), rows.end(), m_order.begin() + first);
    }

    int CompareRows(int first, int second) const
    {
        return m_direction * CompareKeys(m_keys[first], m_keys[second]);
    }

    // Partition-exchange sort of p[lo..hi]. The two parts left by a pass are disjoint, so
    // keeping them on a work list instead of recursing gives the same order without the risk
    // of a deep call stack on a long list.
    void SortRows(std::vector<int>& p) const
    {
        std::vector<std::pair<int, int>> pending{{0, static_cast<int>(p.size()) - 1}};
        while (!pending.empty()) {
            const auto [lo, hi] = pending.back();
            pending.pop_back();
            const int pivot = p[(lo + hi) / 2];
            int i = lo;
            int j = hi;
            do {
                while (CompareRows(p[i], pivot) < 0)
                    ++i;
                while (CompareRows(p[j], pivot) > 0)
                    --j;
                if (j < i)
                    break;
                if (i != j)
                    std::swap(p[i], p[j]);
                ++i;
                --j;
            } while (i <= j);
            if (lo < j)
                pending.emplace_back(lo, j);
            if (i < hi)
                pending.emplace_back(i, hi);
        }
    }

    const std::vector<std::string>& m_texts;
    const std::optional<std::string>& m_separator;
    const int m_direction;  // 1 ascending, -1 descending
    const int m_rowCount;
    std::vector<CellKeys> m_keys;
    std::vector<int> m_order;
};

}  // namespace

std::optional<std::uint32_t> ParseHexCell(const std::string& text)
{
    std::size_t pos = 0;
    const bool negative = SkipBlanksAndSign(text, pos);
    if (pos + 1 < text.size() && text[pos] == '0' && (text[pos + 1] == 'x' || text[pos + 1] == 'X'))
        pos += 2;
    const std::size_t firstDigit = pos;
    std::uint32_t value = 0;
    bool overflow = false;
    for (; pos < text.size() && HexDigitValue(text[pos]) >= 0; ++pos) {
        if (value > 0x0FFFFFFFu)
            overflow = true;
        else
            value = value * 16 + static_cast<std::uint32_t>(HexDigitValue(text[pos]));
    }
    if (pos == firstDigit || pos != text.size())
        return std::nullopt;
    if (overflow)
        value = 0xFFFFFFFFu;
    return negative ? 0u - value : value;
}

std::optional<double> ParseNumberCell(const std::string& text)
{
    std::size_t pos = 0;
    const bool negative = SkipBlanksAndSign(text, pos);

    std::string mantissa;
    std::size_t digitCount = 0;
    for (; pos < text.size() && IsDigit(text[pos]); ++pos, ++digitCount)
        mantissa += text[pos];
    if (pos < text.size() && text[pos] == '.') {
        mantissa += '.';
        for (++pos; pos < text.size() && IsDigit(text[pos]); ++pos, ++digitCount)
            mantissa += text[pos];
    }
    if (digitCount == 0) {
        // Nothing converts, so the whole text is what is left over.
        return text == "%" ? std::optional<double>(0.0) : std::nullopt;
    }

    // An exponent counts only with at least one digit; otherwise its letter is left over.
    bool negativeExponent = false;
    std::string exponentDigits;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        std::size_t at = pos + 1;
        if (at < text.size() && (text[at] == '+' || text[at] == '-'))
            negativeExponent = text[at++] == '-';
        for (; at < text.size() && IsDigit(text[at]); ++at)
            exponentDigits += text[at];
        if (!exponentDigits.empty())
            pos = at;
    }
    if (pos != text.size() && text.compare(pos, std::string::npos, "%") != 0)
        return std::nullopt;

    // from_chars always reads a full stop as the decimal point, whatever the C locale says.
    const std::string number = mantissa + (exponentDigits.empty() ? "" : "e") +
                               (negativeExponent ? "-" : "") + exponentDigits;
    double value = 0;
    if (std::from_chars(number.data(), number.data() + number.size(), value).ec ==
        std::errc::result_out_of_range) {
        value = MagnitudeOf(mantissa, negativeExponent, exponentDigits) > 0 ? HUGE_VAL : 0.0;
    }
    return negative ? -value : value;
}

int CompareCellTexts(const std::string& first, const std::string& second,
                     const CellDateParser& parseDate)
{
    return CompareKeys(ReadCellKeys(first, parseDate), ReadCellKeys(second, parseDate));
}

std::vector<int> SortedRowOrder(const std::vector<std::string>& columnTexts,
                                const std::optional<std::string>& separatorText, bool ascending,
                                const CellDateParser& parseDate)
{
    return RowSorter(columnTexts, separatorText, ascending, parseDate).Run();
}
