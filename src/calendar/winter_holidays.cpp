// The winter holidays file and the holidays it names.
#include "calendar/winter_holidays.h"

#include "calendar/date_format.h"
#include "text/cp1250.h"

#include <algorithm>
#include <cstdint>

namespace {

// The longest turn a line may name: the holidays last two weeks, and a month already means a
// mistyped date.
constexpr int kLongestTurnDays = 31;
// A name or date quoted in a message is cut here: a line of garbage must not make a message box
// wider than the screen.
constexpr std::size_t kLongestQuote = 40;

std::optional<std::size_t> VoivodeshipIndex(std::string_view name)
{
    const auto found = std::find(kVoivodeships.begin(), kVoivodeships.end(), name);
    if (found == kVoivodeships.end())
        return std::nullopt;
    return static_cast<std::size_t>(found - kVoivodeships.begin());
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// The next word up to a blank; `rest` keeps what follows it.
std::string_view NextWord(std::string_view& rest)
{
    rest = Trim(rest);
    std::size_t end = 0;
    while (end < rest.size() && !IsBlank(rest[end]))
        ++end;
    const std::string_view word = rest.substr(0, end);
    rest.remove_prefix(end);
    return word;
}

// `text` in quotation marks as Polish writes them, cut short and with control characters shown
// as '?', so that any line can be quoted in a message.
std::string Quoted(std::string_view text)
{
    std::string out = "„";
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (pos >= kLongestQuote) {
            out += "…";
            break;
        }
        const char32_t cp = NextCodePoint(text, pos);
        AppendUtf8(out, cp < 0x20 || cp == 0x7F ? U'?' : cp);
    }
    return out + "”";
}

// RRRR-MM-DD, exactly so.
std::optional<TDateTime> ParseDay(std::string_view word)
{
    if (word.size() != 10 || word[4] != '-' || word[7] != '-')
        return std::nullopt;
    int parts[3] = {0, 0, 0};
    const std::size_t starts[3] = {0, 5, 8};
    const std::size_t lengths[3] = {4, 2, 2};
    for (int p = 0; p < 3; ++p)
        for (std::size_t k = 0; k < lengths[p]; ++k) {
            const char c = word[starts[p] + k];
            if (c < '0' || c > '9')
                return std::nullopt;
            parts[p] = parts[p] * 10 + (c - '0');
        }
    return TryEncodeDate(parts[0], parts[1], parts[2]);
}

std::string DayText(TDateTime day)
{
    return FormatDateTime("yyyy-mm-dd", day);
}

struct Seen
{
    std::size_t voivodeship;
    int year;
    int line;
};

// One line that is neither empty nor a comment; empty when it was taken.
std::string TakeLine(std::string_view line, int number, WinterHolidays& holidays, std::vector<Seen>& seen)
{
    std::string_view rest = line;
    const std::string_view firstWord = NextWord(rest);
    const std::string_view lastWord = NextWord(rest);
    const std::string_view names = Trim(rest);
    if (lastWord.empty() || names.empty())
        return "oczekiwano pierwszego i ostatniego dnia ferii (RRRR-MM-DD) i nazw województw po przecinku";
    const std::optional<TDateTime> first = ParseDay(firstWord);
    if (!first)
        return "błędna data " + Quoted(firstWord) + " (oczekiwano RRRR-MM-DD)";
    const std::optional<TDateTime> last = ParseDay(lastWord);
    if (!last)
        return "błędna data " + Quoted(lastWord) + " (oczekiwano RRRR-MM-DD)";
    if (*last < *first)
        return "ostatni dzień ferii " + DayText(*last) + " wypada przed pierwszym " + DayText(*first);
    if (*last - *first + 1 > kLongestTurnDays)
        return "ferie od " + DayText(*first) + " do " + DayText(*last) + " trwają dłużej niż "
               + std::to_string(kLongestTurnDays) + " dni";

    std::vector<std::size_t> indices;
    std::size_t pos = 0;
    while (pos <= names.size()) {
        const std::size_t comma = std::min(names.find(',', pos), names.size());
        const std::string_view name = Trim(names.substr(pos, comma - pos));
        pos = comma + 1;
        if (name.empty())
            return "brak nazwy województwa między przecinkami";
        const std::optional<std::size_t> index = VoivodeshipIndex(name);
        if (!index)
            return "nieznane województwo " + Quoted(name)
                   + " (nazwy małymi literami, jak w urzędowym wykazie, np. „mazowieckie”)";
        if (std::find(indices.begin(), indices.end(), *index) != indices.end())
            return "województwo " + Quoted(name) + " wymienione dwa razy";
        indices.push_back(*index);
    }
    const int year = DecodeDate(*first).year;
    for (const std::size_t index : indices)
        for (const Seen& earlier : seen)
            if (earlier.voivodeship == index && earlier.year == year)
                return "województwo " + Quoted(kVoivodeships[index]) + " ma już ferie zimowe w " + std::to_string(year)
                       + " r. (wiersz " + std::to_string(earlier.line) + ")";
    for (const std::size_t index : indices) {
        holidays.Add(index, {*first, *last});
        seen.push_back({index, year, number});
    }
    return {};
}

}  // namespace

bool IsVoivodeship(std::string_view name)
{
    return VoivodeshipIndex(name).has_value();
}

std::optional<WinterHolidays::Turn> WinterHolidays::TurnOf(std::string_view voivodeship, int year) const
{
    const std::optional<std::size_t> index = VoivodeshipIndex(voivodeship);
    if (!index)
        return std::nullopt;
    for (const Turn& turn : m_turns[*index])
        if (DecodeDate(turn.first).year == year)
            return turn;
    return std::nullopt;
}

bool WinterHolidays::Contains(std::string_view voivodeship, TDateTime date) const
{
    const std::optional<std::size_t> index = VoivodeshipIndex(voivodeship);
    if (!index)
        return false;
    date = DateOf(date);
    return std::any_of(m_turns[*index].begin(), m_turns[*index].end(),
                       [date](const Turn& turn) { return turn.first <= date && date <= turn.last; });
}

bool WinterHolidays::Empty() const
{
    return std::all_of(m_turns.begin(), m_turns.end(), [](const auto& turns) { return turns.empty(); });
}

WinterHolidaysParse ParseWinterHolidays(std::string_view text)
{
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        text.remove_prefix(kByteOrderMark.size());
    std::string converted;
    if (!IsUtf8(text)) {
        converted = Cp1250ToUtf8(text);
        text = converted;
    }
    WinterHolidaysParse result;
    std::vector<Seen> seen;
    int number = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = std::min(text.find('\n', pos), text.size());
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        line = Trim(line);
        if (line.empty() || line.front() == '#')
            continue;
        if (std::string problem = TakeLine(line, number, result.holidays, seen); !problem.empty())
            result.problems.push_back({number, std::move(problem)});
    }
    return result;
}
