// The iCalendar import over hostile files: the small files of tests/ics/data/hostile and larger ones
// made here at the edges of the import's bounds (lines of almost 1 MB, as many zones and rules as
// allowed, expanded to the year 9999, many events on one day). Each must end, imported or refused,
// within seconds and well under 500 MB. Counters: peak_MB, the peak resident size above the size
// before the run; journal_kB, the notes file an import writes.
// Run: build/bench/ics_import_bench
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "calendar/notes_journal.h"
#include "ics/ics_import.h"
#include "platform/fake/fake_journal_file.h"
#include "process_status.h"

namespace {

// Linux resets the peak resident size (VmHWM) to the current one on "5".
void ResetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

std::chrono::seconds Warsaw(std::chrono::system_clock::time_point)
{
    return std::chrono::hours(1);
}

std::string Calendar(const std::string& body)
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//bench//EN\r\n" + body + "END:VCALENDAR\r\n";
}

std::string Event(const std::string& lines)
{
    return "BEGIN:VEVENT\r\nUID:b\r\nDTSTAMP:20240101T000000Z\r\n" + lines + "END:VEVENT\r\n";
}

// Zones of one yearly rule each from the year 1, with an event in 9999 in each: the most change
// expansion the bounds allow.
std::string ZonesToTheYear9999(int zones)
{
    std::string body;
    for (int i = 0; i < zones; ++i) {
        const std::string id = "z" + std::to_string(i);
        body += "BEGIN:VTIMEZONE\r\nTZID:" + id
                + "\r\nBEGIN:DAYLIGHT\r\nDTSTART:00010325T020000\r\nTZOFFSETFROM:+0100\r\nTZOFFSETTO:+0200\r\n"
                  "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU\r\nEND:DAYLIGHT\r\nEND:VTIMEZONE\r\n";
        body += Event("DTSTART;TZID=" + id + ":99990701T120000\r\nSUMMARY:daleko\r\n");
    }
    return Calendar(body);
}

std::string LongLines(int lines, std::size_t bytes)
{
    std::string body;
    for (int i = 0; i < lines; ++i)
        body += Event("DTSTART;VALUE=DATE:20240501\r\nSUMMARY:" + std::string(bytes, 'a') + "\r\n");
    return Calendar(body);
}

std::string EventsOnOneDay(int events)
{
    std::string body;
    for (int i = 0; i < events; ++i)
        body += Event("DTSTART;VALUE=DATE:20240501\r\nSUMMARY:wydarzenie " + std::to_string(i) + "\r\n");
    return Calendar(body);
}

// The shortest events the format allows, nine a day over 67,000 days: a file of 28 MB.
std::string EventsOverManyDays()
{
    std::string body;
    const TDateTime first = EncodeDate(1850, 1, 1);
    for (int i = 0; i < 600'000; ++i) {
        const DateParts d = DecodeDate(first + i / 9);
        char start[9];
        std::snprintf(start, sizeof start, "%04d%02d%02d", d.year, d.month, d.day);
        body += std::string("BEGIN:VEVENT\nDTSTART;VALUE=DATE:") + start + "\nEND:VEVENT\n";
    }
    return Calendar(body);
}

std::string HostileFile(const std::string& name)
{
    std::ifstream in(std::string(DNIARZ_HOSTILE_DIR) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Reads the file and writes what it holds to an empty journal, as --import-ics does.
void Import(benchmark::State& state, const std::string& bytes)
{
    std::size_t journalBytes = 0;
    long peakKib = 0;
    for (auto _ : state) {
        const long before = StatusKib("VmRSS");
        ResetPeak();
        FakeJournalFile file;
        NotesJournal journal(file);
        (void)journal.OpenNotes("/bench/dnz.dat");
        const IcsImport read = ReadIcs(bytes, Warsaw);
        if (read.error.empty())
            AppendImportedNotes(journal, read.notes, 45000.5);
        std::string stored;
        (void)file.ReadAll("/bench/dnz.dat", stored);
        journalBytes = stored.size();
        peakKib = std::max(peakKib, StatusKib("VmHWM") - before);
        benchmark::DoNotOptimize(read);
    }
    state.counters["peak_MB"] = static_cast<double>(peakKib) / 1024;
    state.counters["journal_kB"] = static_cast<double>(journalBytes) / 1024;
}

void Hostile(benchmark::State& state, const char* name)
{
    Import(state, HostileFile(name));
}

void Generated(benchmark::State& state, std::string (*make)())
{
    Import(state, make());
}

}  // namespace

BENCHMARK_CAPTURE(Hostile, zone_every_second, "zone_every_second.ics")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Hostile, zone_every_day, "zone_every_day.ics")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Hostile, zone_every_hour_of_a_year, "zone_every_hour_of_a_year.ics")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Hostile, zone_from_1601_event_9999, "zone_from_1601_event_9999.ics")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Hostile, dates_not_dates, "dates_not_dates.ics")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Generated, zones_at_the_bound_to_9999, [] {
    return ZonesToTheYear9999(static_cast<int>(kMaxIcsZoneRuleYears / 9999));
})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Generated, line_just_under_1MB, [] {
    return LongLines(1, kMaxIcsLineBytes - 100);
})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Generated, lines_30_of_1MB, [] {
    return LongLines(30, kMaxIcsLineBytes - 100);
})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Generated, line_of_30MB, [] {
    return LongLines(1, 30 * 1024 * 1024);
})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Generated, events_1000_on_one_day, [] {
    return EventsOnOneDay(1000);
})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Generated, events_11000_on_one_day, [] {
    return EventsOnOneDay(11000);
})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Generated, events_600000_over_67000_days, [] {
    return EventsOverManyDays();
})->Unit(benchmark::kMillisecond);
