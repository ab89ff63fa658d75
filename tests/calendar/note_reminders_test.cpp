// Reminder lines of notes, on lines as people write them and as the iCalendar import writes them.
#include "calendar/note_reminders.h"

#include "calendar/date_format.h"
#include "calendar/notes_journal.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<NoteLineReminder>;

TEST(NoteReminderLines, TimeAtTheStartFollowedByBlankAndText)
{
    struct Row
    {
        const char* note;
        Lines expected;
    };
    const Row rows[] = {
        {"14:30 dentysta", {{870, "dentysta"}}},
        {"9:05 odebrać Zosię z przedszkola", {{545, "odebrać Zosię z przedszkola"}}},
        {"14.30 dentysta", {{870, "dentysta"}}},
        {"09:05\tpoczta  ", {{545, "poczta"}}},
        {"0:00 Sylwester minął", {{0, "Sylwester minął"}}},
        {"23:59 ostatnia chwila", {{1439, "ostatnia chwila"}}},
        {"14:30    dentysta, pok. 12", {{870, "dentysta, pok. 12"}}},
        // Refused: out of range, no blank, nothing after, inside a sentence, not at the start.
        {"24:00 północ", {}},
        {"7:60 za późno", {}},
        {"14:5 krótko", {}},
        {"123:00 za długo", {}},
        {"14:30", {}},
        {"14:30   ", {}},
        {"14:30dentysta", {}},
        {"1430 dentysta", {}},
        {"14:305 dentysta", {}},
        {"8.12.2026 zapłacić czynsz", {}},
        {"Dentysta o 14:30", {}},
        {" 14:30 wcięte", {}},
        {"ok. 14:30 spotkanie", {}},
        {"", {}},
        // Several lines, some of them reminders; line ends of any kind.
        {"Zakupy: mleko\r\n8:00 pociąg do Krakowa\r\nw Krakowie 12:00 obiad\r\n18:15 powrót",
         {{480, "pociąg do Krakowa"}, {1095, "powrót"}}},
        {"7:30 budzik\n7:45 śniadanie\r8:00 wyjście", {{450, "budzik"}, {465, "śniadanie"}, {480, "wyjście"}}},
        // The span the iCalendar import writes, on the line of the text or on its own above it.
        {"10:00-11:30 narada", {{600, "narada"}}},
        {"10:00 - 11:30 narada", {{600, "narada"}}},
        {"10:00\r\nNarada zarządu\r\nSala 3", {{600, "Narada zarządu"}}},
        {"10:00-11:30\r\nNarada zarządu\r\nSala 3", {{600, "Narada zarządu"}}},
        {"10:00-11:30", {}},
        {"10:00\r\n\r\nnic", {}},
        {"10:00\r\n11:00 druga", {{660, "druga"}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.note);
        EXPECT_EQ(RemindersInNote(row.note), row.expected);
    }
}

std::string Record(const std::string& key, const std::string& text)
{
    return key + "\r\n2026.12.01  10:00\r\n" + text;
}

TEST(NoteRemindersOfDays, DateAndYearlyNotesInTimeOrder)
{
    JournalRecords records;
    records.Append(Record(DateKey(2026, 12, 8), "14:30 dentysta\r\n8:00 praca"));
    records.Append(Record(YearlyKey(12, 8), "12:00 życzenia dla Marii\r\n14:30 dentysta"));
    records.Append(Record(DateKey(2026, 12, 9), "7:00 pociąg"));
    // A later, empty record deletes the note.
    records.Append(Record(DateKey(2026, 12, 10), "9:00 skasowane"));
    records.Append(Record(DateKey(2026, 12, 10), ""));

    const long long day = static_cast<long long>(EncodeDate(2026, 12, 8));
    const std::vector<NoteReminder> found = RemindersOfDays(records, day, 3);
    const std::vector<NoteReminder> expected = {
        {day, 480, "praca"},
        {day, 720, "życzenia dla Marii"},
        {day, 870, "dentysta"},
        {day + 1, 420, "pociąg"},
    };
    EXPECT_EQ(found, expected);
    EXPECT_EQ(found[0].Key().substr(0, 16), "2026.12.08 08:00");
    EXPECT_EQ(found[0].Label(), "8:00 praca");
}

TEST(NoteRemindersOfDays, YearlyNoteOf29FebruaryOnlyInLeapYears)
{
    JournalRecords records;
    records.Append(Record(YearlyKey(2, 29), "9:00 urodziny Kazia"));
    for (const int year : {2024, 2025, 2028}) {
        SCOPED_TRACE(year);
        const long long first = static_cast<long long>(EncodeDate(year, 2, 27));
        const std::size_t count = RemindersOfDays(records, first, 4).size();
        EXPECT_EQ(count, IsLeapYear(year) ? 1u : 0u);
    }
}

TEST(NoteRemindersOfDays, KeyChangesWithTimeOrTextOnly)
{
    const NoteReminder base{46000, 870, "dentysta"};
    EXPECT_EQ(base.Key(), (NoteReminder{46000, 870, "dentysta"}).Key());
    EXPECT_NE(base.Key(), (NoteReminder{46000, 875, "dentysta"}).Key());
    EXPECT_NE(base.Key(), (NoteReminder{46001, 870, "dentysta"}).Key());
    EXPECT_NE(base.Key(), (NoteReminder{46000, 870, "dentystka"}).Key());
}

}  // namespace
