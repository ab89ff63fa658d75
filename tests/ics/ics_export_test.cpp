// Writing the notes, name days and holidays as iCalendar: what libical reads back, line folding,
// stable UIDs, yearly recurrence, the ranges of years, and the holidays of published years.
#include "ics/ics_export.h"

#include "ics/ics_commands.h"
#include "platform/fake/fake_journal_file.h"
#include "platform/fake/memory_file_store.h"

#include <gtest/gtest.h>
#include <libical/ical.h>

#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <vector>

#include "ics/ics_import.h"
#include "text/cp1250.h"

namespace {

ImportOutcome Written(int notes, int replacedCharacters = 0)
{
    ImportOutcome outcome;
    outcome.notes = notes;
    outcome.replacedCharacters = replacedCharacters;
    return outcome;
}

const auto kNow = std::chrono::system_clock::time_point(std::chrono::seconds(1710079500));  // 2024-03-10 14:05 UTC

JournalRecords Journal(const std::vector<std::pair<std::string, std::string>>& notes)
{
    std::string bytes;
    for (const auto& [key, text] : notes)
        bytes += key + "\r\n2019.06.01  12:00\r\n" + (text.empty() ? "" : Utf8ToCp1250(text) + "\r\n") + "****\r\n";
    return JournalRecords::Parse(bytes).records;
}

const NameDayTable& Table()
{
    static const NameDayTable table = [] {
        NameDayTable t;
        t.Load();
        return t;
    }();
    return table;
}

struct ReadEvent
{
    std::string start, summary, description, rrule, category;
    bool hasEnd = false;
};

// The events as libical reads them back, by UID; every calendar must also pass libical's check
// of the properties each component must and may have.
std::map<std::string, ReadEvent> ReadBack(const std::string& text)
{
    std::map<std::string, ReadEvent> events;
    icalcomponent* calendar = icalparser_parse_string(text.c_str());
    EXPECT_NE(calendar, nullptr);
    if (!calendar)
        return events;
    EXPECT_EQ(icalcomponent_isa(calendar), ICAL_VCALENDAR_COMPONENT);
    EXPECT_EQ(icalrestriction_check(calendar), 1) << "fails libical's restriction check";
    EXPECT_EQ(icalcomponent_count_errors(calendar), 0);
    for (icalcomponent* e = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT); e;
         e = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT)) {
        ReadEvent r;
        r.start = icaltime_as_ical_string(icalcomponent_get_dtstart(e));
        r.summary = icalcomponent_get_summary(e) ? icalcomponent_get_summary(e) : "";
        r.description = icalcomponent_get_description(e) ? icalcomponent_get_description(e) : "";
        if (icalproperty* p = icalcomponent_get_first_property(e, ICAL_RRULE_PROPERTY)) {
            icalrecurrencetype rule = icalproperty_get_rrule(p);
            r.rrule = icalrecurrencetype_as_string(&rule);
        }
        if (icalproperty* c = icalcomponent_get_first_property(e, ICAL_CATEGORIES_PROPERTY))
            r.category = icalproperty_get_categories(c);
        r.hasEnd = icalcomponent_get_first_property(e, ICAL_DTEND_PROPERTY) != nullptr;
        events[icalcomponent_get_uid(e)] = r;
    }
    icalcomponent_free(calendar);
    return events;
}

TEST(IcsExport, NotesRoundTripWithEscapesLineEndsAndPolishLetters)
{
    const std::string tricky = "Zażółć gęślą jaźń, potem; koniec \\ ukośnik\r\ndruga linia\r\n\r\nczwarta "
                               + std::string(100, 'x') + " ąąąąąąąąąąąąąąąąąąąąąąąąąąąąąąąąąąąąąąąąąąąąąąąą";
    const JournalRecords notes = Journal({{"2024.03.10", tricky},
                                          {"2024.03.11", "stara"},
                                          {"2024.03.11", ""},
                                          {"    .02.29", "  \r\nUrodziny Kasi"},
                                          {"    .12.24", "Wigilia"}});
    const IcsExport out = ExportIcs(notes, Table(), {}, kNow, 2024);
    ASSERT_EQ(out.error, "");
    EXPECT_EQ(out.notes, 3);

    // CR LF line ends, no line over 75 octets, and no character cut in two by the folding.
    std::size_t pos = 0;
    while (pos < out.text.size()) {
        const std::size_t end = out.text.find("\r\n", pos);
        ASSERT_NE(end, std::string::npos) << "the last line has no CR LF";
        const std::string line = out.text.substr(pos, end - pos);
        EXPECT_LE(line.size(), 75u) << line;
        EXPECT_EQ(line.find('\n'), std::string::npos);
        bool lossy = false;
        Utf8ToCp1250(line, &lossy);
        EXPECT_FALSE(lossy) << "a folded line is not whole UTF-8: " << line;
        pos = end + 2;
    }

    const auto events = ReadBack(out.text);
    ASSERT_EQ(events.size(), 3u);
    const ReadEvent& dated = events.at("notatka-2024-03-10@dniarz");
    EXPECT_EQ(dated.start, "20240310");
    EXPECT_TRUE(dated.hasEnd);
    EXPECT_EQ(dated.summary, "Zażółć gęślą jaźń, potem; koniec \\ ukośnik");
    EXPECT_EQ(dated.description, "Zażółć gęślą jaźń, potem; koniec \\ ukośnik\ndruga linia\n\nczwarta "
                                     + std::string(100, 'x') + " ąąąąąąąąąąąąąąąąąąąąąąąąąąąąąąąąąąąąąąąąąąąąąąąą");
    EXPECT_EQ(dated.rrule, "");
    EXPECT_EQ(dated.category, "Notatki");
    // Yearly notes recur from the year they were written; 29 February from a leap year on.
    const ReadEvent& leap = events.at("coroczna-02-29@dniarz");
    EXPECT_EQ(leap.start, "20200229");
    EXPECT_EQ(leap.summary, "Urodziny Kasi");
    EXPECT_EQ(leap.rrule, "FREQ=YEARLY");
    EXPECT_EQ(events.at("coroczna-12-24@dniarz").start, "20191224");
    EXPECT_EQ(out.text.find("stara"), std::string::npos);
}

// A CR inside a line of a note (the reader splits the file's lines at any line end, but a record
// can still get one from elsewhere) ends that line; it must not reach SUMMARY or DESCRIPTION, where
// no escape stands for it.
TEST(IcsExport, ALoneCarriageReturnInANoteEndsItsLine)
{
    JournalRecords notes;
    notes.Append("2024.03.12\r\n2024.03.10  14:05\r\n\rpierwsza\rdruga\r\ntrzecia");
    const IcsExport out = ExportIcs(notes, Table(), {}, kNow, 2024);
    ASSERT_EQ(out.notes, 1);
    for (std::size_t p = out.text.find('\r'); p != std::string::npos; p = out.text.find('\r', p + 1))
        ASSERT_EQ(out.text.compare(p, 2, "\r\n"), 0) << "a CR outside a line end at " << p;
    EXPECT_EQ(out.text.find("\\r"), std::string::npos) << out.text;
    const auto events = ReadBack(out.text);
    const ReadEvent& e = events.at("notatka-2024-03-12@dniarz");
    EXPECT_EQ(e.summary, "pierwsza");
    EXPECT_EQ(e.description, "\npierwsza\ndruga\ntrzecia");
}

// 29 February recurs only in leap years (RFC 5545 drops a yearly date that a year does not
// have), so a yearly note of that day exported in a common year starts in the next leap year, and
// a range of common years holds none of it.
TEST(IcsExport, YearlyNoteOf29FebruaryFromACommonYear)
{
    // Written on 2019.06.01 (the helper's stamp).
    const JournalRecords notes = Journal({{"    .02.29", "Urodziny Kasi"}});
    struct Row
    {
        std::optional<int> fromYear, toYear;
        const char* start;  // "" when the range has no 29 February
        const char* rrule;
        std::vector<std::string> firstOccurrences;
    };
    const Row rows[] = {
        {2025, std::nullopt, "20280229", "FREQ=YEARLY", {"20280229", "20320229", "20360229"}},
        {2025, 2033, "20280229", "FREQ=YEARLY;UNTIL=20331231", {"20280229", "20320229"}},
        {2025, 2027, "", "", {}},
        {2100, 2103, "", "", {}},  // 2100 is a common year
        {std::nullopt, 2018, "", "", {}},
        {std::nullopt, std::nullopt, "20200229", "FREQ=YEARLY", {"20200229", "20240229", "20280229"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.fromYear.value_or(0) << "-" << r.toYear.value_or(0));
        IcsExportOptions options;
        options.fromYear = r.fromYear;
        options.toYear = r.toYear;
        const IcsExport out = ExportIcs(notes, Table(), options, kNow, 2025);
        ASSERT_EQ(out.error, "");
        const auto events = ReadBack(out.text);
        if (!*r.start) {
            EXPECT_EQ(out.notes, 0);
            EXPECT_TRUE(events.empty());
            continue;
        }
        ASSERT_EQ(out.notes, 1);
        const ReadEvent& e = events.at("coroczna-02-29@dniarz");
        EXPECT_EQ(e.start, r.start);
        EXPECT_EQ(e.rrule, r.rrule);
        // What a calendar makes of the rule: the same day, in leap years only.
        icalrecurrencetype rule = icalrecurrencetype_from_string(e.rrule.c_str());
        icalrecur_iterator* it = icalrecur_iterator_new(rule, icaltime_from_string(e.start.c_str()));
        ASSERT_NE(it, nullptr);
        std::vector<std::string> seen;
        for (icaltimetype t = icalrecur_iterator_next(it); !icaltime_is_null_time(t) && seen.size() < 3;
             t = icalrecur_iterator_next(it))
            seen.emplace_back(icaltime_as_ical_string(t));
        icalrecur_iterator_free(it);
        EXPECT_EQ(seen, r.firstOccurrences);
    }
}

TEST(IcsExport, UidsAndEventsStayTheSameFromOneExportToTheNext)
{
    const JournalRecords notes = Journal({{"2024.03.10", "a"}, {"    .05.03", "b"}});
    const IcsExport first = ExportIcs(notes, Table(), {}, kNow, 2024);
    const IcsExport later = ExportIcs(notes, Table(), {}, kNow + std::chrono::hours(24 * 40), 2024);
    auto withoutStamps = [](std::string text) {
        for (std::size_t p; (p = text.find("DTSTAMP:")) != std::string::npos;)
            text.erase(p, text.find("\r\n", p) + 2 - p);
        return text;
    };
    EXPECT_NE(first.text, later.text);
    EXPECT_EQ(withoutStamps(first.text), withoutStamps(later.text));
}

TEST(IcsExport, RangesOfYears)
{
    const JournalRecords notes = Journal(
        {{"2019.12.31", "a"}, {"2020.01.01", "b"}, {"2021.12.31", "c"}, {"2022.01.01", "d"}, {"    .01.06", "e"}});
    IcsExportOptions options;
    options.fromYear = 2020;
    options.toYear = 2021;
    const auto events = ReadBack(ExportIcs(notes, Table(), options, kNow, 2024).text);
    EXPECT_EQ(events.size(), 3u);
    EXPECT_TRUE(events.count("notatka-2020-01-01@dniarz"));
    EXPECT_TRUE(events.count("notatka-2021-12-31@dniarz"));
    EXPECT_EQ(events.at("coroczna-01-06@dniarz").start, "20200106");
    EXPECT_EQ(events.at("coroczna-01-06@dniarz").rrule, "FREQ=YEARLY;UNTIL=20211231");

    options.withNameDays = true;
    options.fromYear = 1;
    options.toYear = kMaxTableYears + 1;
    EXPECT_NE(ExportIcs(notes, Table(), options, kNow, 2024).error, "");
}

TEST(IcsExport, HolidaysAndNameDaysOfTheChosenYears)
{
    IcsExportOptions options;
    options.withHolidays = true;
    options.fromYear = 2024;
    options.toYear = 2025;
    const auto events = ReadBack(ExportIcs(JournalRecords(), Table(), options, kNow, 2024).text);
    // Easter Monday 2024 fell on 1 April and Corpus Christi on 30 May; 24 December became a public
    // holiday in 2025.
    for (const char* uid : {"swieto-2024-04-01@dniarz", "swieto-2024-05-30@dniarz", "swieto-2024-11-11@dniarz",
                            "swieto-2025-04-21@dniarz", "swieto-2025-06-19@dniarz", "swieto-2025-12-24@dniarz",
                            "swieto-2024-01-06@dniarz"}) {
        SCOPED_TRACE(uid);
        ASSERT_TRUE(events.count(uid));
        EXPECT_FALSE(events.at(uid).summary.empty());
        EXPECT_EQ(events.at(uid).category, "Święta");
    }
    // Christmas Eve is shown every year, a day off only since 2025.
    ASSERT_TRUE(events.count("swieto-2024-12-24@dniarz"));
    EXPECT_EQ(events.at("swieto-2024-12-24@dniarz").summary, "Wigilia");
    EXPECT_FALSE(events.count("swieto-2024-12-23@dniarz"));
    EXPECT_EQ(events.at("swieto-2024-11-11@dniarz").summary, Table().Lookup(11, 11).holiday);
    // Feasts the day view shows that are no days off: Easter Sunday 2024 fell on 31 March.
    ASSERT_TRUE(events.count("swieto-2024-03-31@dniarz"));
    EXPECT_EQ(events.at("swieto-2024-03-31@dniarz").summary, "Wielkanoc");
    ASSERT_TRUE(events.count("swieto-2024-02-14@dniarz"));
    EXPECT_EQ(events.at("swieto-2024-02-14@dniarz").summary, "Popielec");
    ASSERT_TRUE(events.count("swieto-2025-04-20@dniarz"));

    IcsExportOptions names;
    names.withNameDays = true;
    const auto nameDays = ReadBack(ExportIcs(JournalRecords(), Table(), names, kNow, 2024).text);
    // Every day of the leap year but those the table gives no names.
    EXPECT_GE(nameDays.size(), 360u);
    EXPECT_LE(nameDays.size(), 366u);
    EXPECT_EQ(nameDays.at("imieniny-2024-02-29@dniarz").summary, "Imieniny: " + JoinNames(Table().Lookup(2, 29).names));
}

// The first and the last day a note can have are written as the dates they are, and come back.
TEST(IcsExport, TheFirstAndLastDaysOfTheCalendarRoundTrip)
{
    const JournalRecords notes = Journal({{"0001.01.01", "pierwszy"}, {"9999.12.31", "ostatni"}, {"3001.06.01", "c"}});
    IcsExportOptions options;
    options.fromYear = 1;
    options.toYear = 9999;
    const std::string text = ExportIcs(notes, Table(), options, kNow, 2024).text;
    EXPECT_NE(text.find("DTSTART;VALUE=DATE:00010101\r\n"), std::string::npos);
    EXPECT_NE(text.find("DTEND;VALUE=DATE:00010102\r\n"), std::string::npos);
    EXPECT_NE(text.find("DTSTART;VALUE=DATE:99991231\r\n"), std::string::npos);
    EXPECT_NE(text.find("DTSTART;VALUE=DATE:30010601\r\n"), std::string::npos);
    EXPECT_EQ(text.find("00000000"), std::string::npos);
    const IcsImport back = ReadIcs(text, [](std::chrono::system_clock::time_point) { return std::chrono::seconds(0); });
    EXPECT_EQ(back.skipped, 0);
    std::map<std::string, std::string> keys;
    for (const ImportedNote& note : back.notes)
        keys[note.key] = note.text;
    EXPECT_EQ(keys, (std::map<std::string, std::string>{
                        {"0001.01.01", "pierwszy"}, {"9999.12.31", "ostatni"}, {"3001.06.01", "c"}}));
}

// Exported name days and holidays are not imported back as notes: the day view shows them anyway.
TEST(IcsExport, OwnNameDaysAndHolidaysAreNotImportedBack)
{
    IcsExportOptions options;
    options.withHolidays = true;
    options.withNameDays = true;
    const JournalRecords notes = Journal({{"2024.03.10", "Wizyta"}});
    const IcsImport back = ReadIcs(ExportIcs(notes, Table(), options, kNow, 2024).text,
                                   [](std::chrono::system_clock::time_point) { return std::chrono::seconds(0); });
    ASSERT_EQ(back.notes.size(), 1u);
    EXPECT_EQ(back.notes[0].text, "Wizyta");
    EXPECT_GT(back.ownTables, 360);
    EXPECT_EQ(back.events, 1);
    EXPECT_NE(ImportReport(back, Written(1))
                  .find("\nPominięto " + PolishCount(back.ownTables, "wydarzenie", "wydarzenia", "wydarzeń")
                        + " z imieninami i świętami, które program pokazuje sam."),
              std::string::npos);
}

// The command line says why a file could not be written or read, and a target refused before
// anything was written ends as a wrong argument does.
TEST(IcsCommands, FailuresSayWhyAndARefusedTargetIsAWrongArgument)
{
    const JournalRecords notes = Journal({{"2024.03.10", "a"}});
    struct Row
    {
        const char* name;
        std::function<void(MemoryFileStore&)> set;
        int code;
        std::string message;
    };
    const Row rows[] = {
        {"a FIFO or a link", [](MemoryFileStore& f) { f.notRegular.insert("/x/a.ics"); }, 2,
         "dniarz: nie można zapisać pliku /x/a.ics: to nie jest zwykły plik\n"},
        {"a missing folder",
         [](MemoryFileStore& f) {
             f.failWrites = true;
             f.writeProblem = FileProblem::NoFolder;
         },
         2, "dniarz: nie można zapisać pliku /x/a.ics: nie ma takiego folderu\n"},
        {"a full disk",
         [](MemoryFileStore& f) {
             f.failWrites = true;
             f.writeProblem = FileProblem::NoSpace;
         },
         1, "dniarz: nie można zapisać pliku /x/a.ics: brak miejsca na dysku\n"},
        {"no permission",
         [](MemoryFileStore& f) {
             f.failWrites = true;
             f.writeProblem = FileProblem::NoPermission;
         },
         1, "dniarz: nie można zapisać pliku /x/a.ics: brak uprawnień\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        MemoryFileStore files;
        row.set(files);
        std::ostringstream out, err;
        EXPECT_EQ(RunExportIcsCommand(notes, Table(), {}, "/x/a.ics", files, kNow, 2024, out, err), row.code);
        EXPECT_EQ(err.str(), row.message);
        EXPECT_EQ(out.str(), "");
        EXPECT_FALSE(files.files.count("/x/a.ics"));
    }

    MemoryFileStore files;
    files.unreadable.insert("/x/in.ics");
    files.readProblem = FileProblem::NotRegular;
    FakeJournalFile journalFile;
    NotesJournal notesJournal(journalFile);
    ImportIcsCommand command;
    command.file = "/x/in.ics";
    std::ostringstream out, err;
    EXPECT_EQ(RunImportIcsCommand(command, files, notesJournal, out, err), 2);
    EXPECT_EQ(err.str(), "dniarz: nie można odczytać pliku /x/in.ics: to nie jest zwykły plik\n");
}

}  // namespace
