// Reading iCalendar files into notes: files written from RFC 5545's examples, time zones,
// recurrences, text, and what an import leaves in the notes file when it succeeds or fails.
#include "ics/ics_import.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <ctime>
#include <fstream>
#include <iterator>

#include "ics/ics_commands.h"
#include "platform/fake/fake_journal_file.h"
#include "platform/fake/memory_file_store.h"

namespace {

ImportOutcome Written(int notes, int replacedCharacters = 0)
{
    ImportOutcome outcome;
    outcome.notes = notes;
    outcome.replacedCharacters = replacedCharacters;
    return outcome;
}

std::string DataFile(const std::string& name)
{
    std::ifstream in(std::string(DNIARZ_TEST_DATA_DIR) + "/data/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The zone the tests run in (TZ is pinned to Central European time with its summer time).
std::chrono::seconds PinnedZoneOffset(std::chrono::system_clock::time_point at)
{
    const std::time_t t = std::chrono::system_clock::to_time_t(at);
    std::tm local{};
    localtime_r(&t, &local);
    return std::chrono::seconds(local.tm_gmtoff);
}

IcsImport Read(const std::string& bytes)
{
    return ReadIcs(bytes, PinnedZoneOffset);
}

std::string Calendar(const std::string& events)
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//test//EN\r\n" + events + "END:VCALENDAR\r\n";
}

std::string Event(const std::string& lines)
{
    return "BEGIN:VEVENT\r\nUID:x@example.com\r\nDTSTAMP:20240101T000000Z\r\n" + lines + "END:VEVENT\r\n";
}

TEST(IcsImport, EventsOfTheStandardsExamples)
{
    const IcsImport read = Read(DataFile("rfc_examples.ics"));
    ASSERT_EQ(read.error, "");
    EXPECT_EQ(read.events, 5);
    EXPECT_EQ(read.skipped, 0);
    // Weekly, and yearly on a weekday rather than on a date: each only on its first day.
    EXPECT_EQ(read.firstOccurrenceOnly, 2);
    EXPECT_EQ(EventsRead(read), 5);
    // The festival lasts eleven days, 28 June to 8 July: a note on each.
    ASSERT_EQ(read.notes.size(), 15u);
    EXPECT_EQ(read.notes[0].key, "    .11.02");
    EXPECT_EQ(read.notes[0].text, "Our Blissful Anniversary");
    EXPECT_EQ(read.notes[1].key, "2007.06.28");
    EXPECT_EQ(read.notes[1].text, "Festival International de Jazz de Montreal");
    EXPECT_EQ(read.notes[11].key, "2007.07.08");
    EXPECT_EQ(read.notes[11].text, "Festival International de Jazz de Montreal");
    // 16:30 UTC is 18:30 in Warsaw's summer time.
    EXPECT_EQ(read.notes[12].key, "1997.09.03");
    EXPECT_EQ(read.notes[12].text, "18:30-21:00\r\nAnnual Employee Review");
    EXPECT_EQ(read.notes[13].key, "1997.09.02");
    EXPECT_EQ(read.notes[14].key, "1997.03.07");

    const IcsImport conference = Read(DataFile("rfc_conference.ics"));
    ASSERT_EQ(conference.notes.size(), 1u);
    EXPECT_EQ(conference.notes[0].key, "1996.09.18");
    // Unfolded, unescaped, and the end on a later day gives no end time; the description, which
    // begins with the summary, stands for both.
    EXPECT_EQ(conference.notes[0].text,
              "16:30\r\nNetworld+Interop Conference and Exhibit\r\nAtlanta World Congress Center\r\nAtlanta, Georgia");
}

TEST(IcsImport, ATimeInAnotherZoneLandsOnTheLocalDay)
{
    // 23:30 in New York's winter is 04:30 UTC the next day, 05:30 in Warsaw.
    const IcsImport newYork = Read(DataFile("rfc_new_york.ics"));
    ASSERT_EQ(newYork.notes.size(), 1u);
    EXPECT_EQ(newYork.notes[0].key, "1998.03.13");
    EXPECT_EQ(newYork.notes[0].text,
              "05:30-05:59\r\nXYZ Project Review\r\n1CP Conference Room 4350\r\nProject XYZ Review Meeting");

    struct Row
    {
        const char* start;
        const char* key;
        const char* time;
    };
    const Row rows[] = {
        {"DTSTART:20240115T233000Z", "2024.01.16", "00:30"},  // UTC, winter: +1
        {"DTSTART:20240715T223000Z", "2024.07.16", "00:30"},  // UTC, summer: +2
        {"DTSTART:20240715T213000Z", "2024.07.15", "23:30"},
        {"DTSTART:20240115T233000", "2024.01.15", "23:30"},   // floating: the same wall clock
        {"DTSTART:20240331T013000Z", "2024.03.31", "03:30"},  // the night summer time begins
        {"DTSTART:19691231T233000Z", "1970.01.01", "00:30"},  // before 1970 the seconds are negative
        {"DTSTART:30000101T233000Z", "3000.01.02", "00:30"},  // beyond the system clock's 2262
        {"DTSTART:16000701T223000Z", "1600.07.02", "00:30"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.start);
        const IcsImport read = Read(Calendar(Event(std::string(row.start) + "\r\nSUMMARY:s\r\n")));
        ASSERT_EQ(read.notes.size(), 1u);
        EXPECT_EQ(read.notes[0].key, row.key);
        EXPECT_EQ(read.notes[0].text, std::string(row.time) + "\r\ns");
    }
}

TEST(IcsImport, TextEscapesFoldedLinesAndPolishLetters)
{
    const std::string file = Calendar(Event("DTSTART;VALUE=DATE:20240229\r\n"
                                            "SUMMARY:Zażółć gęślą jaźń\\, potem\\; koniec \\\\ ukośnik\r\n"
                                            "LOCATION:Łódź\r\n"
                                            "DESCRIPTION:pierwsza\\nDruga linia z ąę\r\n"
                                            "  ciąg dalszy po złamaniu\\Ntrzecia\r\n"));
    const IcsImport read = Read(file);
    ASSERT_EQ(read.notes.size(), 1u);
    EXPECT_EQ(read.notes[0].key, "2024.02.29");
    EXPECT_EQ(read.notes[0].text,
              "Zażółć gęślą jaźń, potem; koniec \\ ukośnik\r\nŁódź\r\npierwsza\r\nDruga linia z ąę ciąg dalszy po "
              "złamaniu\r\ntrzecia");
}

TEST(IcsImport, WhatIsNoCalendarIsAClearErrorWithoutNotes)
{
    for (const std::string& bytes : {std::string(), std::string("hello"), std::string("BEGIN:VCARD\r\nEND:VCARD\r\n"),
                                     std::string("\x00\x01\x02", 3), std::string(kMaxIcsBytes + 1, ' ')}) {
        SCOPED_TRACE(bytes.substr(0, 20));
        const IcsImport read = Read(bytes);
        EXPECT_NE(read.error, "");
        EXPECT_TRUE(read.notes.empty());
    }
    // An event without a start is left out and counted; the rest of the file is read.
    const IcsImport partly = Read(Calendar(Event("SUMMARY:bez daty\r\n") + Event("DTSTART:20241301T100000\r\n")
                                           + Event("DTSTART;VALUE=DATE:20240101\r\nSUMMARY:Nowy rok\r\n")));
    EXPECT_EQ(partly.error, "");
    EXPECT_EQ(partly.skipped, 2);
    ASSERT_EQ(partly.notes.size(), 1u);
    EXPECT_EQ(partly.notes[0].text, "Nowy rok");
}

TEST(IcsImport, ReportsInPolishWithTheRightForms)
{
    EXPECT_EQ(PolishCount(1, "wydarzenie", "wydarzenia", "wydarzeń"), "1 wydarzenie");
    EXPECT_EQ(PolishCount(3, "wydarzenie", "wydarzenia", "wydarzeń"), "3 wydarzenia");
    EXPECT_EQ(PolishCount(12, "wydarzenie", "wydarzenia", "wydarzeń"), "12 wydarzeń");
    EXPECT_EQ(PolishCount(22, "wydarzenie", "wydarzenia", "wydarzeń"), "22 wydarzenia");
    EXPECT_EQ(PolishCount(0, "wydarzenie", "wydarzenia", "wydarzeń"), "0 wydarzeń");
    // Asked before more than a hundred events are imported.
    EXPECT_EQ(ImportQuestion(101), "Plik zawiera 101 wydarzeń. Czy dopisać je wszystkie do notatek?");
    EXPECT_EQ(ImportQuestion(102), "Plik zawiera 102 wydarzenia. Czy dopisać je wszystkie do notatek?");
    EXPECT_EQ(ImportQuestion(1000), "Plik zawiera 1000 wydarzeń. Czy dopisać je wszystkie do notatek?");
    IcsImport read;
    read.firstOccurrenceOnly = 1;
    EXPECT_EQ(ImportReport(read, Written(5, 2)),
              "Zaimportowano 5 wydarzeń.\n1 wydarzenie powtarzające się inaczej niż co rok zapisano tylko pod datą "
              "pierwszego wystąpienia.\n2 znaki spoza strony kodowej Windows-1250 zastąpiono znakiem \"?\".");
}

class ImportCommandTest : public ::testing::Test
{
protected:
    const std::filesystem::path notesPath = "/fake/dir/dnz.dat";
    FakeJournalFile notesFile;
    MemoryFileStore files;
    NotesJournal journal{notesFile};
    std::ostringstream out, err;
    int questions = 0;
    bool answer = false;

    int Import(const std::string& bytes, bool assumeYes = false) { return ImportInto(journal, bytes, assumeYes); }
    int ImportInto(NotesJournal& into, const std::string& bytes, bool assumeYes = false)
    {
        files.files["/in.ics"] = bytes;
        ImportIcsCommand command;
        command.file = "/in.ics";
        command.notesPath = notesPath;
        command.assumeYes = assumeYes;
        command.confirm = [this](const std::string&) {
            ++questions;
            return answer;
        };
        command.utcOffset = PinnedZoneOffset;
        command.now = EncodeDate(2024, 3, 10) + EncodeTime(14, 5, 0);
        return RunImportIcsCommand(command, files, into, out, err);
    }
};

// All events of a day go into one record after the day's note, each after a "----" line.
TEST_F(ImportCommandTest, AppendsToTheDaysNoteAfterASeparatorAndCountsReplacedCharacters)
{
    notesFile.SetFile(notesPath, "2024.05.01\r\n2024.01.01  10:00\r\nmaj\xF3wka\r\n****\r\n");
    const int code = Import(Calendar(Event("DTSTART;VALUE=DATE:20240501\r\nSUMMARY:grill Привет 😀\r\n")
                                     + Event("DTSTART;VALUE=DATE:20240501\r\nSUMMARY:drugie\r\n")));
    EXPECT_EQ(code, 0);
    EXPECT_EQ(notesFile.File(notesPath),
              "2024.05.01\r\n2024.01.01  10:00\r\nmaj\xF3wka\r\n****\r\n"
              "2024.05.01\r\n2024.03.10  14:05\r\nmaj\xF3wka\r\n----\r\ngrill ?????? ?\r\n----\r\ndrugie\r\n****\r\n");
    EXPECT_EQ(out.str(),
              "Zaimportowano 2 wydarzenia.\n7 znaków spoza strony kodowej Windows-1250 zastąpiono znakiem \"?\".\n");
}

// Only characters the notes file cannot hold count as replaced, not question marks the text had.
TEST_F(ImportCommandTest, QuestionMarksOfTheTextAreNoReplacements)
{
    struct Row
    {
        const char* summary;
        const char* report;
    };
    const Row rows[] = {
        {"Czy? Tak?", "Zaimportowano 1 wydarzenie.\n"},
        {"??? \xE2\x82\xAC", "Zaimportowano 1 wydarzenie.\n"},  // the euro sign is in the code page
        {"Co? \xF0\x9F\x98\x80?",
         "Zaimportowano 1 wydarzenie.\n1 znak spoza strony kodowej Windows-1250 zastąpiono znakiem \"?\".\n"},
        {"?\xD0\x96?\xD0\x96?",
         "Zaimportowano 1 wydarzenie.\n2 znaki spoza strony kodowej Windows-1250 zastąpiono znakiem \"?\".\n"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.summary);
        notesFile.SetFile(notesPath, "2024.05.01\r\n2024.01.01  10:00\r\nco? gdzie?\r\n****\r\n");
        out.str("");
        ASSERT_EQ(Import(Calendar(Event(std::string("DTSTART;VALUE=DATE:20240501\r\nSUMMARY:") + r.summary + "\r\n"))),
                  0);
        EXPECT_EQ(out.str(), r.report);
    }
}

// The file is read no further than a calendar may be, and one beyond that is refused in Polish
// with the figure, nothing being written.
TEST_F(ImportCommandTest, AFileBeyondTheCalendarLimitIsRefusedAsTooLarge)
{
    notesFile.SetFile(notesPath, "");
    const std::string event = Event("DTSTART;VALUE=DATE:20240501\r\nSUMMARY:a\r\n");
    EXPECT_EQ(Import(Calendar(event)), 0);
    EXPECT_EQ(files.readLimits["/in.ics"], kMaxIcsBytes);

    notesFile.SetFile(notesPath, "");
    err.str("");
    std::string big = Calendar(event);
    big.insert(big.size() - std::string("END:VCALENDAR\r\n").size(), kMaxIcsBytes, ' ');
    EXPECT_EQ(Import(big), 2);
    EXPECT_EQ(files.lastReadLimit, kMaxIcsBytes);
    EXPECT_EQ(err.str(), "dniarz: /in.ics: Plik jest za duży jak na kalendarz (ponad 32 MB).\n");
    EXPECT_EQ(notesFile.File(notesPath), "");
}

TEST_F(ImportCommandTest, NothingIsWrittenWhenTheFileCannotBeReadOrTheUserSaysNo)
{
    notesFile.SetFile(notesPath, "");
    EXPECT_EQ(Import("BEGIN:VCARD\r\nEND:VCARD\r\n"), 2);
    files.failReads = true;
    EXPECT_EQ(Import(Calendar(Event("DTSTART;VALUE=DATE:20240501\r\nSUMMARY:a\r\n"))), 2);
    files.failReads = false;
    EXPECT_EQ(notesFile.File(notesPath), "");

    std::string many;
    for (int i = 0; i < kImportQuestionAbove + 1; ++i)
        many += Event("DTSTART;VALUE=DATE:20240501\r\nSUMMARY:a\r\n");
    EXPECT_EQ(Import(Calendar(many)), 1);
    EXPECT_EQ(questions, 1);
    EXPECT_EQ(notesFile.File(notesPath), "");
    EXPECT_NE(err.str().find("nie można odczytać pliku"), std::string::npos);

    // --yes imports any number without a question.
    EXPECT_EQ(Import(Calendar(many), true), 0);
    EXPECT_EQ(questions, 1);
    EXPECT_NE(notesFile.File(notesPath), "");
}

// The file grows with the events, not with their square: 11,000 events on one day made a journal
// of 1.26 GB, one record for each holding the day's note so far.
TEST_F(ImportCommandTest, ManyEventsOfOneDayMakeOneRecord)
{
    notesFile.SetFile(notesPath, "");
    std::string many;
    for (int i = 0; i < 11000; ++i)
        many += Event("DTSTART;VALUE=DATE:20240501\r\nSUMMARY:wydarzenie " + std::to_string(i) + "\r\n");
    ASSERT_EQ(Import(Calendar(many), true), 0);
    const std::string stored = notesFile.File(notesPath).value_or("");
    const JournalRecords records = JournalRecords::Parse(stored).records;
    EXPECT_EQ(records.Count(), 1u);
    EXPECT_LT(stored.size(), 300'000u);
    const std::string text = records.FindNote("2024.05.01").text;
    EXPECT_TRUE(text.starts_with("wydarzenie 0\r\n----\r\nwydarzenie 1\r\n----\r\n"));
    EXPECT_TRUE(text.ends_with("----\r\nwydarzenie 10999"));
    EXPECT_EQ(out.str(), "Zaimportowano 11000 wydarzeń.\n");
}

// An import that would take the notes past the size the program opens writes nothing and says so
// with the figure; the journal before it stays readable.
TEST_F(ImportCommandTest, AnImportPastTheNotesLimitWritesNothing)
{
    const std::string before = "2024.05.01\r\n2024.01.01  10:00\r\nstara\r\n****\r\n";
    notesFile.SetFile(notesPath, before);
    NotesJournal small(notesFile, 1024 * 1024);
    EXPECT_EQ(
        ImportInto(small,
                   Calendar(Event("DTSTART;VALUE=DATE:20240501\r\nSUMMARY:" + std::string(600'000, 'a') + "\r\n")
                            + Event("DTSTART;VALUE=DATE:20240502\r\nSUMMARY:" + std::string(600'000, 'b') + "\r\n"))),
        1);
    EXPECT_EQ(err.str(), "dniarz: Nic nie zapisano: plik notatek urósłby do 2 MB, a może mieć najwyżej 1 MB. "
                         "Po zapisie nie dałoby się go otworzyć.\n");
    EXPECT_EQ(notesFile.File(notesPath), before);
    EXPECT_EQ(out.str(), "");
    // Nothing written is nothing remembered: the next import tries again.
    EXPECT_FALSE(files.files.count("/fake/dir/dnz-import.txt"));
}

// A file imported again adds nothing: each event is known by its UID, or, where the file gives
// none (calcurse writes none), by its start and its text.
TEST_F(ImportCommandTest, ImportingTheSameFileAgainWritesNothingAndSaysSo)
{
    struct Row
    {
        const char* name;
        std::string calendar;
    };
    const std::string noUid = "BEGIN:VEVENT\r\nDTSTAMP:20240101T000000Z\r\nDTSTART;VALUE=DATE:20241224\r\n"
                              "SUMMARY:Wigilia u babci Zosi\r\nDESCRIPTION:Wigilia u babci Zosi — pierogi\r\n"
                              "END:VEVENT\r\n";
    const Row rows[] = {
        {"UIDs, one given twice", Calendar(Event("DTSTART;VALUE=DATE:20241224\r\nSUMMARY:Wigilia\r\n")
                                           + Event("DTSTART:20241231T180000\r\nSUMMARY:Sylwester\r\n"))},
        {"no UIDs",
         Calendar(noUid
                  + Event("DTSTART:20241231T180000\r\nSUMMARY:Sylwester\r\n")
                        .replace(0, std::string("BEGIN:VEVENT\r\nUID:x@example.com\r\n").size(), "BEGIN:VEVENT\r\n"))},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        notesFile.SetFile(notesPath, "2024.12.24\r\n2024.01.01  10:00\r\nprezenty\r\n****\r\n");
        files.files.clear();
        out.str("");
        ASSERT_EQ(Import(r.calendar), 0);
        EXPECT_EQ(out.str(), "Zaimportowano 2 wydarzenia.\n");
        const auto afterFirst = notesFile.File(notesPath);
        EXPECT_TRUE(files.files.count("/fake/dir/dnz-import.txt"));

        out.str("");
        ASSERT_EQ(Import(r.calendar), 0);
        EXPECT_EQ(notesFile.File(notesPath), afterFirst);
        EXPECT_EQ(out.str(), "Zaimportowano 0 wydarzeń.\nPominięto 2 już zaimportowane wydarzenia.\n");
        JournalRecords records = JournalRecords::Parse(afterFirst.value_or("")).records;
        EXPECT_EQ(records.FindNote("2024.12.24").text.find("prezenty\r\n----\r\nWigilia"), 0u);
    }
}

// A changed event takes the place of its old text while that is still in the note as whole lines;
// a note the user has changed there gets the new text appended, the user's words kept.
TEST_F(ImportCommandTest, AChangedEventReplacesItsOldTextWhereItStillIs)
{
    const auto christmasEve = [](const std::string& summary, const std::string& day = "20241224") {
        return Calendar(Event("DTSTART;VALUE=DATE:" + day + "\r\nSUMMARY:" + summary + "\r\n")
                        + "BEGIN:VEVENT\r\nUID:inne@example.com\r\nDTSTAMP:20240101T000000Z\r\n"
                          "DTSTART;VALUE=DATE:20241224\r\nSUMMARY:Pasterka\r\nEND:VEVENT\r\n");
    };
    const auto note = [this](const char* key) {
        return JournalRecords::Parse(notesFile.File(notesPath).value_or("")).records.FindNote(key).text;
    };
    notesFile.SetFile(notesPath, "2024.12.24\r\n2024.01.01  10:00\r\nprezenty\r\n****\r\n");
    ASSERT_EQ(Import(christmasEve("Wigilia u babci Zosi")), 0);
    EXPECT_EQ(note("2024.12.24"), "prezenty\r\n----\r\nWigilia u babci Zosi\r\n----\r\nPasterka");

    out.str("");
    ASSERT_EQ(Import(christmasEve("Wigilia u babci Zosi — pierogi")), 0);
    EXPECT_EQ(note("2024.12.24"), "prezenty\r\n----\r\nWigilia u babci Zosi — pierogi\r\n----\r\nPasterka");
    EXPECT_EQ(out.str(), "Zaimportowano 1 wydarzenie.\nPominięto 1 już zaimportowane wydarzenie.\n");

    // Moved to another day: out of the old one, with its separator, into the new one.
    ASSERT_EQ(Import(christmasEve("Wigilia u babci Zosi — pierogi", "20241223")), 0);
    EXPECT_EQ(note("2024.12.24"), "prezenty\r\n----\r\nPasterka");
    EXPECT_EQ(note("2024.12.23"), "Wigilia u babci Zosi — pierogi");

    // The user wrote more on the line the import wrote: the old text is no longer there whole.
    // (The notes file is in Windows-1250, the dash 0x97.)
    notesFile.SetFile(notesPath,
                      notesFile.File(notesPath).value_or("")
                          + "2024.12.23\r\n2024.03.11  10:00\r\nWigilia u babci Zosi \x97 pierogi i karp\r\n****\r\n");
    ASSERT_EQ(Import(christmasEve("Wigilia u babci Zosi — uszka", "20241223")), 0);
    EXPECT_EQ(note("2024.12.23"), "Wigilia u babci Zosi — pierogi i karp\r\n----\r\nWigilia u babci Zosi — uszka");
}

// The memory is a convenience: when it cannot be read or is damaged anywhere, everything is
// imported as the first time, and the memory written anew; one that cannot be written is told.
TEST_F(ImportCommandTest, AMemoryThatIsDamagedOrCannotBeReadIsNothingRemembered)
{
    const std::string calendar = Calendar(Event("DTSTART;VALUE=DATE:20240501\r\nSUMMARY:Majówka\r\n"));
    const std::filesystem::path memoryPath = "/fake/dir/dnz-import.txt";
    notesFile.SetFile(notesPath, "");
    ASSERT_EQ(Import(calendar), 0);
    const std::string good = files.files[memoryPath];
    ASSERT_TRUE(good.starts_with("dniarz-import 1\n"));
    ASSERT_TRUE(good.ends_with("\tMaj\xC3\xB3wka\n"));

    struct Row
    {
        const char* name;
        std::string memory;
    };
    const Row rows[] = {
        {"cut off mid-line", good.substr(0, good.size() - 3)},
        {"no header", good.substr(good.find('\n') + 1)},
        {"a later header", "dniarz-import 2" + good.substr(good.find('\n'))},
        {"a line of three fields", good + "x@example.com\t0123456789abcdef\t2024.05.02\n"},
        {"a broken escape", good + "y\t0123456789abcdef\t2024.05.02\tz\\q\n"},
        {"a short hash", good + "y\t01234\t2024.05.02\tz\n"},
        {"binary", std::string("\0\xFF\xFE\n", 4)},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        notesFile.SetFile(notesPath, "");
        files.files[memoryPath] = r.memory;
        out.str("");
        ASSERT_EQ(Import(calendar), 0);
        EXPECT_EQ(out.str(), "Zaimportowano 1 wydarzenie.\n");
        EXPECT_EQ(files.files[memoryPath], good);
    }

    notesFile.SetFile(notesPath, "");
    files.unreadable.insert(memoryPath);
    out.str("");
    ASSERT_EQ(Import(calendar), 0);
    EXPECT_EQ(out.str(), "Zaimportowano 1 wydarzenie.\n");

    notesFile.SetFile(notesPath, "");
    files.files.erase(memoryPath);
    files.failWrites = true;
    files.writeProblem = FileProblem::NoSpace;
    out.str("");
    ASSERT_EQ(Import(calendar), 0);
    EXPECT_EQ(out.str(), "Zaimportowano 1 wydarzenie.\nNie zapisano listy zaimportowanych wydarzeń (dnz-import.txt: "
                         "brak miejsca na dysku): ponowny import tego pliku dopisze je jeszcze raz.\n");
    EXPECT_NE(notesFile.File(notesPath), "");
}

std::string Hostile(const std::string& name)
{
    return DataFile("hostile/" + name);
}

// Files made to keep libical busy for minutes or to fill the memory are refused before it sees
// them, each with its reason; nothing is imported from them.
TEST(IcsImportBounds, CostlyFilesAreRefusedWithTheReason)
{
    std::string longLine = Calendar(Event("DTSTART;VALUE=DATE:20240501\r\nSUMMARY:"));
    longLine.insert(longLine.find("SUMMARY:") + 8, kMaxIcsLineBytes, 'a');
    std::string folded = Calendar(Event("DTSTART;VALUE=DATE:20240501\r\nSUMMARY:a\r\n"));
    std::string folds;
    for (std::size_t i = 0; i * 70 <= kMaxIcsLineBytes; ++i)
        folds += "\r\n " + std::string(70, 'b');
    folded.insert(folded.find("SUMMARY:a") + 9, folds);
    std::string zones;
    for (int i = 0; i <= kMaxIcsZones; ++i)
        zones += "BEGIN:VTIMEZONE\r\nTZID:z" + std::to_string(i)
                 + "\r\nBEGIN:STANDARD\r\nDTSTART:20000101T000000\r\nTZOFFSETFROM:+0100\r\nTZOFFSETTO:+0100\r\n"
                   "END:STANDARD\r\nEND:VTIMEZONE\r\n";
    // Zones of one yearly rule each from the year 1; the events decide how far they are expanded.
    const auto zonesFromYear1 = [](int count, const std::string& eventYear) {
        std::string body;
        for (int i = 0; i < count; ++i)
            body += "BEGIN:VTIMEZONE\r\nTZID:z" + std::to_string(i)
                    + "\r\nBEGIN:DAYLIGHT\r\nDTSTART:00010325T020000\r\nTZOFFSETFROM:+0100\r\nTZOFFSETTO:+0200\r\n"
                      "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU\r\nEND:DAYLIGHT\r\nEND:VTIMEZONE\r\n"
                    + Event("DTSTART;TZID=z" + std::to_string(i) + ":" + eventYear + "0701T120000\r\n");
        return Calendar(body);
    };
    const int zonesTo9999 = static_cast<int>(kMaxIcsZoneRuleYears / 9999) + 1;
    std::string deep;
    for (int i = 0; i <= kMaxIcsDepth; ++i)
        deep += "BEGIN:VCALENDAR\r\n";
    std::string components;
    for (int i = 0; i <= kMaxIcsComponents; ++i)
        components += "BEGIN:X\r\nEND:X\r\n";

    struct Row
    {
        std::string name;
        std::string bytes;
        std::string error;
    };
    const Row rows[] = {
        {"zone rule every second", Hostile("zone_every_second.ics"),
         "Plik odrzucono: reguła zmiany czasu w wierszu 10 powtarza się częściej niż w jednym miesiącu roku, a takich "
         "stref czasowych nie ma."},
        {"zone rule every day", Hostile("zone_every_day.ics"), "w wierszu 10 powtarza się"},
        // libical takes a component by the beginning of its name, in any case.
        {"zone by another name", Hostile("zone_name_by_prefix.ics"), "w wierszu 10 powtarza się"},
        {"zone rule every hour", Hostile("zone_every_hour_of_a_year.ics"), "w wierszu 10 powtarza się"},
        {"long line", longLine, "Plik odrzucono: wiersz 8 ma po złączeniu ponad 1 MB."},
        {"long folded line", folded, "Plik odrzucono: wiersz 8 ma po złączeniu ponad 1 MB."},
        {"many zones", Calendar(zones), "Plik odrzucono: ma ponad 200 stref czasowych (VTIMEZONE)."},
        {"deep", deep, "zagnieżdżone głębiej niż na 16 poziomów"},
        {"zone rules to 9999", zonesFromYear1(zonesTo9999, "9999"),
         "Plik odrzucono: reguły zmiany czasu jego stref czasowych trzeba by rozwinąć na "
             + std::to_string(zonesTo9999 * 9999) + " lat zmian, a najwięcej można na 400000."},
        {"components", Calendar(components), "Plik odrzucono: ma ponad 1000000 składników (BEGIN:…)."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const IcsImport read = Read(row.bytes);
        EXPECT_NE(read.error.find(row.error), std::string::npos) << read.error;
        EXPECT_TRUE(read.notes.empty());
    }
    // The same zones for events of this century are expanded no further than 2100.
    const IcsImport near = Read(zonesFromYear1(zonesTo9999, "2024"));
    EXPECT_EQ(near.error, "");
    EXPECT_EQ(near.notes.size(), static_cast<std::size_t>(zonesTo9999));
    // A real zone's two yearly rules, expanded from 1601 to 9999, are no reason to refuse.
    const IcsImport far = Read(Hostile("zone_from_1601_event_9999.ics"));
    EXPECT_EQ(far.error, "");
    ASSERT_EQ(far.notes.size(), 1u);
    EXPECT_EQ(far.notes[0].key, "9999.07.01");
}

// The reading stops when asked and reports how far it is.
TEST(IcsImportBounds, ReadingReportsProgressAndStopsWhenCancelled)
{
    std::string many;
    for (int i = 0; i < 3000; ++i)
        many += Event("DTSTART;VALUE=DATE:20240501\r\nSUMMARY:a\r\n");
    std::vector<int> reported;
    std::atomic<bool> cancel{false};
    const IcsProgress progress{[&](int p) { reported.push_back(p); }, &cancel};
    const IcsImport read = ReadIcs(Calendar(many), PinnedZoneOffset, progress);
    EXPECT_EQ(read.notes.size(), 3000u);
    ASSERT_FALSE(reported.empty());
    EXPECT_TRUE(std::is_sorted(reported.begin(), reported.end()));
    EXPECT_GE(reported.back(), 90);
    EXPECT_LE(reported.back(), 100);

    cancel = true;
    const IcsImport cancelled = ReadIcs(Calendar(many), PinnedZoneOffset, progress);
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_TRUE(cancelled.notes.empty());
}

TEST(IcsDates, OnlyRealDatesTimesAndOffsetsPass)
{
    struct Row
    {
        const char* value;
        bool date;
    };
    const Row dates[] = {
        {"20240229", true},          {"20230229", false},
        {"20240431", false},         {"20241301", false},
        {"20240001", false},         {"20240100", false},
        {"00000101", false},         {"00010101", true},
        {"99991231T235959Z", true},  {"20241399T256199Z", false},
        {"20240501T240000", false},  {"20240501T999999", false},
        {"20240501T236000", false},  {"20240501T235960", true},
        {"20240501T235961", false},  {"20240501T1200", false},
        {"20240501T120000X", false}, {"2024-5-01", false},
        {"+0240501", false},         {"", false},
    };
    for (const Row& row : dates) {
        SCOPED_TRACE(row.value);
        EXPECT_EQ(IsIcsDateOrDateTime(row.value), row.date);
    }
    const Row offsets[] = {
        {"+0100", true},   {"-0500", true},  {"+0530", true},    {"-0000", true},  {"+2359", true},
        {"+235959", true}, {"+2400", false}, {"-9999", false},   {"+0160", false}, {"0100", false},
        {"+01:00", false}, {"+01", false},   {"+010060", false},
    };
    for (const Row& row : offsets) {
        SCOPED_TRACE(row.value);
        EXPECT_EQ(IsIcsUtcOffset(row.value), row.date);
    }
}

// A date libical would misread is never shown to it: its event is left out and counted, and so
// are the events in a zone with an offset that is none.
TEST(IcsDates, EventsWithValuesThatAreNoDatesAreSkippedAndCounted)
{
    const IcsImport read = Read(Hostile("dates_not_dates.ics"));
    EXPECT_EQ(read.error, "");
    EXPECT_EQ(read.events, 9);
    EXPECT_EQ(read.skipped, 8);
    ASSERT_EQ(read.notes.size(), 1u);
    // 23:59:60 UTC on 29 February is the leap second before 01:00 on 1 March in Warsaw.
    EXPECT_EQ(read.notes[0].key, "2024.03.01");
    EXPECT_NE(ImportReport(read, Written(1)).find("Pominięto 8 wydarzeń"), std::string::npos);

    const IcsImport zone = Read(Hostile("zone_bad_offset.ics"));
    EXPECT_EQ(zone.events, 2);
    EXPECT_EQ(zone.skipped, 1);
    ASSERT_EQ(zone.notes.size(), 1u);
    EXPECT_EQ(zone.notes[0].text, "dobre");
}

TEST(IcsImport, EventsOfANestedCalendarAreImported)
{
    const IcsImport read = Read(Hostile("nested_calendar.ics"));
    EXPECT_EQ(read.error, "");
    EXPECT_EQ(read.events, 1);
    ASSERT_EQ(read.notes.size(), 1u);
    EXPECT_EQ(read.notes[0].key, "2024.06.01");
    EXPECT_EQ(read.notes[0].text, "w środku");
}

// Escapes and bells would reach the terminal through --search and --print-day; libical makes a
// backspace of "\\b" too.
TEST(IcsImport, ControlCharactersAreLeftOut)
{
    const IcsImport read = Read(Hostile("control_characters.ics"));
    ASSERT_EQ(read.notes.size(), 1u);
    EXPECT_EQ(read.notes[0].text, "[31mczerwony[0m dzwonek\tz tabulatorem\r\nabcd");
}

// A description that repeats the summary, as exports write it, is not doubled in the note.
TEST(IcsImport, ADescriptionThatBeginsWithTheSummaryStandsAlone)
{
    struct Row
    {
        const char* lines;
        const char* text;
    };
    const Row rows[] = {
        {"SUMMARY:Wigilia u babci\r\nDESCRIPTION:Wigilia u babci\\npierogi\r\n", "Wigilia u babci\r\npierogi"},
        {"SUMMARY:Wigilia\r\nDESCRIPTION:Wigilia\r\n", "Wigilia"},
        {"SUMMARY:Wigilia\r\nLOCATION:Kraków\r\nDESCRIPTION:Wigilia\\npierogi\r\n", "Wigilia\r\npierogi\r\nKraków"},
        {"SUMMARY:Wigilia\r\nDESCRIPTION:pierogi\r\n", "Wigilia\r\npierogi"},
        {"SUMMARY:Wigilia u babci\r\nDESCRIPTION:Wigilia\r\n", "Wigilia u babci\r\nWigilia"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.lines);
        const IcsImport read = Read(Calendar(Event(std::string("DTSTART;VALUE=DATE:20241224\r\n") + row.lines)));
        ASSERT_EQ(read.notes.size(), 1u);
        EXPECT_EQ(read.notes[0].text, row.text);
    }
}

// An all-day event of several days is on each of its days, up to a month; DTEND is the day after.
TEST(IcsImport, AnAllDayEventOfSeveralDaysIsOnEachOfThem)
{
    struct Row
    {
        const char* lines;
        std::vector<std::string> keys;
        int longer;
    };
    const Row rows[] = {
        {"DTSTART;VALUE=DATE:20240212\r\nDTEND;VALUE=DATE:20240215\r\n", {"2024.02.12", "2024.02.13", "2024.02.14"}, 0},
        {"DTSTART;VALUE=DATE:20241230\r\nDURATION:P3D\r\n", {"2024.12.30", "2024.12.31", "2025.01.01"}, 0},
        {"DTSTART;VALUE=DATE:20240228\r\nDTEND;VALUE=DATE:20240301\r\nRRULE:FREQ=YEARLY\r\n",
         {"    .02.28", "    .02.29"},
         0},
        {"DTSTART;VALUE=DATE:20240501\r\nDTEND;VALUE=DATE:20240502\r\n", {"2024.05.01"}, 0},
        {"DTSTART;VALUE=DATE:20240501\r\nDTEND;VALUE=DATE:20240430\r\n", {"2024.05.01"}, 0},
        {"DTSTART;VALUE=DATE:20240101\r\nDTEND;VALUE=DATE:20240201\r\n", {}, 0},  // 31 days
        {"DTSTART;VALUE=DATE:20240101\r\nDTEND;VALUE=DATE:20240202\r\n", {"2024.01.01"}, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.lines);
        const IcsImport read = Read(Calendar(Event(std::string(row.lines) + "SUMMARY:Ferie\r\n")));
        EXPECT_EQ(EventsRead(read), 1);
        EXPECT_EQ(read.longerThanRange, row.longer);
        if (row.keys.empty()) {
            EXPECT_EQ(read.notes.size(), 31u);
            continue;
        }
        std::vector<std::string> keys;
        for (const ImportedNote& note : read.notes)
            keys.push_back(note.key);
        EXPECT_EQ(keys, row.keys);
    }
    IcsImport longer;
    longer.longerThanRange = 1;
    EXPECT_EQ(ImportReport(longer, Written(1)),
              "Zaimportowano 1 wydarzenie.\n1 wydarzenie całodniowe dłuższe niż 31 dni "
              "zapisano tylko pod pierwszym dniem.");
}

// A file cut short is refused whole, saying where, rather than as no calendar at all.
TEST(IcsImport, AFileCutShortSaysWhere)
{
    std::string cut = Calendar(Event("DTSTART;VALUE=DATE:20240501\r\nSUMMARY:a\r\n"));
    cut.resize(cut.find("END:VEVENT"));
    const IcsImport read = Read(cut);
    EXPECT_EQ(read.error, "Plik odrzucono: jest urwany po wierszu 8 (brak END:VEVENT).");
    EXPECT_TRUE(read.notes.empty());
}

}  // namespace
