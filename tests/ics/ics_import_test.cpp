// Reading iCalendar files into notes: files written from RFC 5545's examples, time zones,
// recurrences, text, and what an import leaves in the notes file when it succeeds or fails.
#include "ics/ics_import.h"

#include <gtest/gtest.h>

#include <ctime>
#include <fstream>
#include <iterator>

#include "ics/ics_commands.h"
#include "platform/fake/fake_journal_file.h"
#include "platform/fake/memory_file_store.h"

namespace {

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
    ASSERT_EQ(read.notes.size(), 5u);
    EXPECT_EQ(read.notes[0].key, "    .11.02");
    EXPECT_EQ(read.notes[0].text, "Our Blissful Anniversary");
    EXPECT_EQ(read.notes[1].key, "2007.06.28");
    EXPECT_EQ(read.notes[1].text, "Festival International de Jazz de Montreal");
    // 16:30 UTC is 18:30 in Warsaw's summer time.
    EXPECT_EQ(read.notes[2].key, "1997.09.03");
    EXPECT_EQ(read.notes[2].text, "18:30-21:00\r\nAnnual Employee Review");
    EXPECT_EQ(read.notes[3].key, "1997.09.02");
    EXPECT_EQ(read.notes[4].key, "1997.03.07");

    const IcsImport conference = Read(DataFile("rfc_conference.ics"));
    ASSERT_EQ(conference.notes.size(), 1u);
    EXPECT_EQ(conference.notes[0].key, "1996.09.18");
    // Unfolded, unescaped, and the end on a later day gives no end time.
    EXPECT_EQ(conference.notes[0].text,
              "16:30\r\nNetworld+Interop Conference\r\nNetworld+Interop Conference and Exhibit\r\n"
              "Atlanta World Congress Center\r\nAtlanta, Georgia");
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
    EXPECT_EQ(ImportReport(read, {5, 2}),
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

    int Import(const std::string& bytes, bool assumeYes = false)
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
        return RunImportIcsCommand(command, files, journal, out, err);
    }
};

TEST_F(ImportCommandTest, AppendsToTheDaysNoteAfterASeparatorAndCountsReplacedCharacters)
{
    notesFile.SetFile(notesPath, "2024.05.01\r\n2024.01.01  10:00\r\nmaj\xF3wka\r\n****\r\n");
    const int code = Import(Calendar(Event("DTSTART;VALUE=DATE:20240501\r\nSUMMARY:grill Привет 😀\r\n")
                                     + Event("DTSTART;VALUE=DATE:20240501\r\nSUMMARY:drugie\r\n")));
    EXPECT_EQ(code, 0);
    EXPECT_EQ(notesFile.File(notesPath),
              "2024.05.01\r\n2024.01.01  10:00\r\nmaj\xF3wka\r\n****\r\n"
              "2024.05.01\r\n2024.03.10  14:05\r\nmaj\xF3wka\r\n----\r\ngrill ?????? ?\r\n****\r\n"
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
    EXPECT_EQ(files.lastReadLimit, kMaxIcsBytes);

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

}  // namespace
