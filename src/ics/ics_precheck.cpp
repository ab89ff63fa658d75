// The check every calendar file passes before libical reads it.
#include "ics/ics_precheck.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <set>
#include <vector>

#include "calendar/datetime.h"

namespace {

int Number(std::string_view digits)
{
    int n = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return -1;
        n = n * 10 + (c - '0');
    }
    return digits.empty() ? -1 : n;
}

std::string Upper(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return out;
}

// The kind of a component as libical takes it from BEGIN and END: icalcomponent_string_to_kind
// compares only the length of the names it knows, so that "VTIMEZONEX" is a zone to it.
std::string ComponentKind(std::string_view name)
{
    static constexpr std::string_view kKnown[] = {"VCALENDAR", "VEVENT",   "VTODO",    "VJOURNAL", "VFREEBUSY",
                                                  "VTIMEZONE", "STANDARD", "DAYLIGHT", "VALARM"};
    std::string upper = Upper(name);
    for (const std::string_view known : kKnown)
        if (upper.starts_with(known))
            return std::string(known);
    return upper;
}

std::vector<std::string_view> Split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    std::size_t pos = 0;
    for (;;) {
        const std::size_t end = text.find(separator, pos);
        parts.push_back(text.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos));
        if (end == std::string_view::npos)
            return parts;
        pos = end + 1;
    }
}

bool IsDateTimeList(std::string_view value)
{
    for (const std::string_view item : Split(value, ',')) {
        // A period "start/end" or "start/duration"; a duration is no date and libical reads it safely.
        const std::size_t slash = item.find('/');
        if (!IsIcsDateOrDateTime(item.substr(0, slash)))
            return false;
        if (slash != std::string_view::npos) {
            const std::string_view end = item.substr(slash + 1);
            const bool duration = end.find('P') != std::string_view::npos && end.size() < 32;
            if (!duration && !IsIcsDateOrDateTime(end))
                return false;
        }
    }
    return true;
}

// The value of UNTIL in a recurrence rule; empty when there is none.
std::string_view UntilOf(std::string_view rule)
{
    for (const std::string_view part : Split(rule, ';'))
        if (Upper(part.substr(0, 6)) == "UNTIL=")
            return part.substr(6);
    return {};
}

// libical turns a duration into seconds in an int (icaldurationtype_as_int): one of more than 68
// years would overflow it. No event lasts that long.
bool IsBoundedDuration(std::string_view value)
{
    long long seconds = 0;
    long long n = 0;
    bool digits = false;
    for (const char c : value) {
        if (c >= '0' && c <= '9') {
            n = n * 10 + (c - '0');
            digits = true;
            if (n > 1'000'000'000)
                return false;
            continue;
        }
        const long long unit = c == 'W'   ? 604800
                               : c == 'D' ? 86400
                               : c == 'H' ? 3600
                               : c == 'M' ? 60
                               : c == 'S' ? 1
                                          : 0;
        seconds += n * unit;
        n = 0;
    }
    return digits && seconds <= 2'147'483'647LL;
}

std::string Megabytes(std::size_t bytes)
{
    return std::to_string(bytes / (1024 * 1024)) + " MB";
}

class Prechecker
{
public:
    Prechecker(std::string_view bytes, const IcsProgress& progress, int reportUpTo)
        : m_bytes(bytes), m_progress(progress), m_reportUpTo(reportUpTo)
    {
    }

    IcsPrecheck Run()
    {
        std::string line;
        std::size_t pos = 0;
        int physical = 0;
        int logical = 0;
        while (pos < m_bytes.size() && m_result.error.empty()) {
            if (logical++ % 4096 == 0 && !Tick(pos))
                return Cancelled();
            const int first = ++physical;
            line.clear();
            pos = AppendPiece(line, pos);
            // A line that begins with a blank continues the one before (RFC 5545 folding).
            while (pos < m_bytes.size() && (m_bytes[pos] == ' ' || m_bytes[pos] == '\t')
                   && line.size() <= kMaxIcsLineBytes) {
                ++physical;
                pos = AppendPiece(line, pos + 1);
            }
            if (line.size() > kMaxIcsLineBytes) {
                Refuse("wiersz " + std::to_string(first) + " ma po złączeniu ponad " + Megabytes(kMaxIcsLineBytes)
                       + ".");
                break;
            }
            if (!line.empty())
                Take(line, first);
        }
        if (!m_result.error.empty()) {
            m_result.text.clear();
            return std::move(m_result);
        }
        // libical makes what it can of a file cut short, and says only that it is no calendar.
        if (!m_stack.empty()) {
            m_result.text.clear();
            m_result.error = "Plik odrzucono: jest urwany po wierszu " + std::to_string(physical)
                             + " (brak END:" + m_stack.back() + ").";
            return std::move(m_result);
        }
        if (const long years = ZoneRuleYears(); years > kMaxIcsZoneRuleYears) {
            m_result.error = "Plik odrzucono: reguły zmiany czasu jego stref czasowych trzeba by rozwinąć na "
                             + std::to_string(years) + " lat zmian, a najwięcej można na "
                             + std::to_string(kMaxIcsZoneRuleYears) + ".";
            return std::move(m_result);
        }
        if (m_chunk)
            FinishChunk();
        Assemble();
        return std::move(m_result);
    }

private:
    struct Chunk
    {
        std::string kind;
        std::size_t depth = 0;  // of the stack before its BEGIN
        std::string text;
        std::string tzid;               // a VTIMEZONE's own
        std::vector<std::string> uses;  // zones its times are in
        bool bad = false;
    };

    // Appends the physical line at `pos` without its line end and control characters; returns
    // where the next one starts.
    std::size_t AppendPiece(std::string& line, std::size_t pos)
    {
        std::size_t end = m_bytes.find('\n', pos);
        const std::size_t next = end == std::string_view::npos ? m_bytes.size() : end + 1;
        if (end == std::string_view::npos)
            end = m_bytes.size();
        if (end > pos && m_bytes[end - 1] == '\r')
            --end;
        const std::size_t room = kMaxIcsLineBytes + 1 - std::min(line.size(), kMaxIcsLineBytes + 1);
        const std::string_view piece = m_bytes.substr(pos, std::min(end - pos, room));
        for (const char c : piece) {
            const auto u = static_cast<unsigned char>(c);
            // Escapes and bells would reach a terminal through the printed notes; a lone CR
            // stays, the import breaks the note's line there.
            if ((u < 0x20 && c != '\t' && c != '\r') || u == 0x7F)
                continue;
            line += c;
        }
        if (end - pos > room)
            line.push_back('x');  // past the bound whatever the rest holds
        return next;
    }

    bool Tick(std::size_t pos)
    {
        if (m_progress.Cancelled())
            return false;
        if (m_progress.report && !m_bytes.empty())
            m_progress.report(
                static_cast<int>(static_cast<double>(pos) / static_cast<double>(m_bytes.size()) * m_reportUpTo));
        return true;
    }

    IcsPrecheck Cancelled()
    {
        IcsPrecheck out;
        out.cancelled = true;
        return out;
    }

    void Refuse(const std::string& why)
    {
        if (m_result.error.empty())
            m_result.error = "Plik odrzucono: " + why;
    }

    void Take(std::string_view line, int lineNumber)
    {
        const std::size_t nameEnd = std::min(line.find_first_of(";:"), line.size());
        const std::string name = Upper(line.substr(0, nameEnd));
        // The value starts at the first colon outside a quoted parameter.
        std::size_t colon = nameEnd;
        bool quoted = false;
        while (colon < line.size() && (quoted || line[colon] != ':')) {
            quoted ^= line[colon] == '"';
            ++colon;
        }
        const std::string_view params = line.substr(nameEnd, colon - nameEnd);
        const std::string_view value = colon < line.size() ? line.substr(colon + 1) : std::string_view();

        if (name == "BEGIN") {
            Begin(ComponentKind(value));
            Out(line);
            return;
        }
        if (name == "END") {
            Out(line);
            // An END that skips open components is taken to close them too.
            const auto open = std::find(m_stack.rbegin(), m_stack.rend(), ComponentKind(value));
            if (open != m_stack.rend())
                m_stack.erase(std::prev(open.base()), m_stack.end());
            if (m_observance && std::find(m_stack.begin(), m_stack.end(), "STANDARD") == m_stack.end()
                && std::find(m_stack.begin(), m_stack.end(), "DAYLIGHT") == m_stack.end()) {
                if (m_observance->recurs)
                    m_recurring.push_back(*m_observance);
                m_observance.reset();
            }
            if (m_chunk && m_stack.size() <= m_chunk->depth)
                FinishChunk();
            return;
        }
        if (!ValueIsSound(name, params, value, lineNumber)) {
            if (m_chunk)
                m_chunk->bad = true;
            return;  // outside a component the line alone is left out
        }
        if (m_chunk) {
            if (name == "TZID" && m_chunk->kind == "VTIMEZONE" && m_stack.size() == m_chunk->depth + 1)
                m_chunk->tzid = value;
            const std::string p = Upper(params);
            const std::size_t at = p.find(";TZID=");
            if (at != std::string::npos) {
                std::string_view zone = params.substr(at + 6);
                zone = zone.substr(0, zone.find(';'));
                if (zone.size() >= 2 && zone.front() == '"' && zone.back() == '"')
                    zone = zone.substr(1, zone.size() - 2);
                m_chunk->uses.emplace_back(zone);
            }
        }
        Out(line);
    }

    void Begin(const std::string& kind)
    {
        if (++m_components > kMaxIcsComponents)
            Refuse("ma ponad " + std::to_string(kMaxIcsComponents) + " składników (BEGIN:…).");
        if (static_cast<int>(m_stack.size()) >= kMaxIcsDepth)
            Refuse("składniki są w nim zagnieżdżone głębiej niż na " + std::to_string(kMaxIcsDepth) + " poziomów.");
        if (kind == "VTIMEZONE" && ++m_zones > kMaxIcsZones)
            Refuse("ma ponad " + std::to_string(kMaxIcsZones) + " stref czasowych (VTIMEZONE).");
        if ((kind == "STANDARD" || kind == "DAYLIGHT") && InZone()) {
            CountZoneRules(1);
            m_observance = Observance{};
        }
        m_result.events += kind == "VEVENT";
        if (!m_chunk && kind != "VCALENDAR") {
            m_chunk = Chunk{};
            m_chunk->kind = kind;
            m_chunk->depth = m_stack.size();
        }
        m_stack.push_back(kind);
    }

    bool InZone() const { return std::find(m_stack.begin(), m_stack.end(), "VTIMEZONE") != m_stack.end(); }

    void CountZoneRules(int n)
    {
        m_zoneRules += n;
        if (m_zoneRules > kMaxIcsZoneRules)
            Refuse("jego strefy czasowe mają ponad " + std::to_string(kMaxIcsZoneRules) + " reguł zmiany czasu.");
    }

    bool ValueIsSound(const std::string& name, std::string_view params, std::string_view value, int lineNumber)
    {
        static const std::set<std::string, std::less<>> kDates = {
            "DTSTART",   "DTEND",         "DUE",   "DTSTAMP", "CREATED",     "LAST-MODIFIED",
            "COMPLETED", "RECURRENCE-ID", "RDATE", "EXDATE",  "ACKNOWLEDGED"};
        if (kDates.contains(name)) {
            if (name == "RDATE" && InZone())
                CountZoneRules(static_cast<int>(Split(value, ',').size()));
            if (!IsDateTimeList(value))
                return false;
            const int year = Number(value.substr(0, 4));
            if (name == "DTSTART" && m_observance)
                m_observance->start = year;
            else if (Upper(params).find(";TZID=") != std::string::npos)
                for (const std::string_view item : Split(value, ','))
                    m_latestZonedYear = std::max(m_latestZonedYear, Number(item.substr(0, 4)));
            return true;
        }
        if (name == "DURATION")
            return IsBoundedDuration(value);
        if (name == "TRIGGER")
            return value.empty() || value[0] < '0' || value[0] > '9' || IsIcsDateOrDateTime(value);
        if (name == "TZOFFSETFROM" || name == "TZOFFSETTO")
            return IsIcsUtcOffset(value);
        if (name == "RRULE" || name == "EXRULE") {
            if (name == "RRULE" && InZone())
                CheckZoneRule(value, lineNumber);
            const std::string_view until = UntilOf(value);
            return until.empty() || IsIcsDateOrDateTime(until);
        }
        return true;
    }

    // What expanding the recurring zone rules would cost, in years of changes.
    long ZoneRuleYears() const
    {
        const int last = std::max(m_latestZonedYear, 2100);
        long years = 0;
        for (const Observance& rule : m_recurring) {
            const int end = rule.until > 0 ? std::min(rule.until, last) : last;
            years += std::max(0, end - rule.start + 1);
        }
        return years;
    }

    // libical expands a zone's rule into every change from the rule's start to the year asked,
    // one by one: a rule that repeats every second never ends, one over every day of a year takes
    // minutes. The zones of the world change their clocks at most a few times a year, each rule
    // on one day of one month.
    void CheckZoneRule(std::string_view rule, int lineNumber)
    {
        if (m_observance) {
            m_observance->recurs = true;
            const std::string_view until = UntilOf(rule);
            m_observance->until = IsIcsDateOrDateTime(until) ? Number(until.substr(0, 4)) : 0;
        }
        bool yearly = false;
        bool oneDay = true;
        bool month = false, days = false;
        for (const std::string_view part : Split(rule, ';')) {
            const std::size_t eq = part.find('=');
            const std::string key = Upper(part.substr(0, eq));
            const std::string_view value = eq == std::string_view::npos ? std::string_view() : part.substr(eq + 1);
            if (key == "FREQ")
                yearly = Upper(value) == "YEARLY";
            else if (key == "BYHOUR" || key == "BYMINUTE" || key == "BYSECOND" || key == "BYYEARDAY"
                     || key == "BYWEEKNO")
                oneDay = false;
            else if (key == "BYMONTH")
                month = value.find(',') == std::string_view::npos;
            else if (key == "BYDAY" || key == "BYMONTHDAY")
                days = true;
        }
        if (!yearly || !oneDay || (days && !month))
            Refuse("reguła zmiany czasu w wierszu " + std::to_string(lineNumber)
                   + " powtarza się częściej niż w jednym miesiącu roku, a takich stref czasowych nie ma.");
    }

    void Out(std::string_view line)
    {
        std::string& to = m_chunk ? m_chunk->text : m_plain;
        to += line;
        to += "\r\n";
    }

    void FinishChunk()
    {
        Chunk chunk = std::move(*m_chunk);
        m_chunk.reset();
        if (chunk.bad) {
            if (chunk.kind == "VEVENT")
                ++m_result.invalidEvents;
            else if (chunk.kind == "VTIMEZONE")
                m_badZones.insert(chunk.tzid);
            return;
        }
        if (chunk.uses.empty()) {
            m_plain += chunk.text;
            return;
        }
        m_pieces.push_back({std::move(m_plain), {}, false});
        m_plain.clear();
        m_pieces.push_back({std::move(chunk.text), std::move(chunk.uses), chunk.kind == "VEVENT"});
    }

    // Times in a zone left out would be read as floating ones, hours off: their events go too.
    void Assemble()
    {
        m_pieces.push_back({std::move(m_plain), {}, false});
        for (Piece& piece : m_pieces) {
            const bool badZone = std::any_of(piece.zones.begin(), piece.zones.end(),
                                             [this](const std::string& z) { return m_badZones.contains(z); });
            if (badZone) {
                m_result.invalidEvents += piece.event;
                continue;
            }
            m_result.text += piece.text;
        }
    }

    struct Piece
    {
        std::string text;
        std::vector<std::string> zones;
        bool event = false;
    };

    std::string_view m_bytes;
    const IcsProgress& m_progress;
    int m_reportUpTo;
    IcsPrecheck m_result;
    std::vector<std::string> m_stack;
    std::optional<Chunk> m_chunk;
    std::string m_plain;
    std::vector<Piece> m_pieces;
    std::set<std::string, std::less<>> m_badZones;
    int m_components = 0, m_zones = 0, m_zoneRules = 0;
    struct Observance
    {
        int start = 0;  // year of its DTSTART
        int until = 0;  // year of its rule's UNTIL; 0 for none
        bool recurs = false;
    };
    std::optional<Observance> m_observance;  // the STANDARD or DAYLIGHT being read
    std::vector<Observance> m_recurring;
    int m_latestZonedYear = 0;
};

}  // namespace

bool IsIcsDateOrDateTime(std::string_view value)
{
    if (value.size() != 8 && value.size() != 15 && value.size() != 16)
        return false;
    const int year = Number(value.substr(0, 4)), month = Number(value.substr(4, 2)), day = Number(value.substr(6, 2));
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        return false;
    if (value.size() == 8)
        return true;
    if (value[8] != 'T' || (value.size() == 16 && value[15] != 'Z'))
        return false;
    const int hour = Number(value.substr(9, 2)), minute = Number(value.substr(11, 2)),
              second = Number(value.substr(13, 2));
    return hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59 && second >= 0 && second <= 60;
}

bool IsIcsUtcOffset(std::string_view value)
{
    if ((value.size() != 5 && value.size() != 7) || (value[0] != '+' && value[0] != '-'))
        return false;
    const int hours = Number(value.substr(1, 2)), minutes = Number(value.substr(3, 2));
    const int seconds = value.size() == 7 ? Number(value.substr(5, 2)) : 0;
    return hours >= 0 && hours <= 23 && minutes >= 0 && minutes <= 59 && seconds >= 0 && seconds <= 59;
}

IcsPrecheck PrecheckIcs(std::string_view bytes, const IcsProgress& progress, int reportUpTo)
{
    return Prechecker(bytes, progress, reportUpTo).Run();
}
