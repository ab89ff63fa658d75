// The note lines of the printed day view, and the command that prints it.
#include "app/print_day.h"

#include <gtest/gtest.h>

#include <sstream>

#include "platform/fake/fake_journal_file.h"
#include "platform/fake/fake_system_clock.h"
#include "platform/fake/memory_settings_store.h"
#include "app/search_command.h"
#include "print_day_lines.h"

namespace {

TEST(PrintDayNotes, NoteLinesJoinTextLinesAndStayEmptyWithoutNotes)
{
    const JournalRecords notes = JournalRecords::Parse("2024.12.24\r\nt\r\nkarp\r\nbarszcz\r\n\r\n****\r\n"
                                                       "    .12.24\r\nt\r\nWigilia\r\n****\r\n"
                                                       "    .12.25\r\nt\r\nskasowana\r\n****\r\n"
                                                       "    .12.25\r\nt\r\n****\r\n")
                                     .records;
    struct Row
    {
        TDateTime date;
        const JournalRecords* notes;
        std::string note, yearly;
    };
    const Row rows[] = {
        {EncodeDate(2024, 12, 24), &notes, "karp | barszcz | ", "Wigilia"},
        {EncodeDate(2023, 12, 24), &notes, "", "Wigilia"},
        {EncodeDate(2024, 12, 25), &notes, "", ""},
        {EncodeDate(2024, 12, 24), nullptr, "", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.date << (row.notes ? "" : " without notes"));
        const auto lines = PrintDayLines(PrintDayInput{row.date, nullptr, row.notes});
        EXPECT_EQ(Value(lines, "note"), row.note);
        EXPECT_EQ(Value(lines, "yearly-note"), row.yearly);
    }
}

}  // namespace

TEST(PrintDayNotes, TheCommandReadsTheNotesAndTheStoredPlaceAndCreatesNothing)
{
    const std::filesystem::path dir = "/program";
    FakeJournalFile notes;
    notes.SetFile(dir / "dnz.dat", "2024.12.24\r\nt\r\nkarp\r\n****\r\n");
    MemorySettingsStore store;
    const FakeSystemClock clock(std::chrono::sys_days{std::chrono::year{2024} / 12 / 24} + std::chrono::hours{11});
    std::ostringstream out, err;
    CommandLine options;
    EXPECT_EQ(RunPrintDay({dir, notes, store, clock}, options, out, err), 0);
    EXPECT_NE(out.str().find("date: 2024.12.24\n"), std::string::npos);
    EXPECT_NE(out.str().find("note: karp\n"), std::string::npos);
    EXPECT_EQ(err.str(), "");
    EXPECT_FALSE(store.Key()) << "printing never creates the settings key";

    out.str("");
    options.date = EncodeDate(2024, 1, 2);
    options.latitude = "5x";
    EXPECT_EQ(RunPrintDay({dir, notes, store, clock}, options, out, err), 2);
    EXPECT_EQ(out.str(), "");
    EXPECT_NE(err.str().find("--lat '5x'"), std::string::npos);

    notes.failRead = true;
    err.str("");
    EXPECT_EQ(RunPrintDay({dir, notes, store, clock}, CommandLine(), out, err), 1);
    EXPECT_EQ(err.str(),
              "dniarz: nie można odczytać pliku notatek " + (dir / "dnz.dat").string() + ": Brak miejsca na dysku\n");
}

TEST(SearchCommand, PrintsHitsAndTellsByExitCodeWhetherAnyWereFound)
{
    const std::string notes = "2024.12.24\r\nt\r\nkarp\r\nbarszcz\r\n****\r\n"
                              "    .12.24\r\nt\r\nWigilia: karp\r\n****\r\n";
    std::ostringstream found, err;
    EXPECT_EQ(RunSearchCommand(notes, "KARP", false, found, err), 0);
    EXPECT_EQ(found.str(), "2024.12.24: karp\n    .12.24: Wigilia: karp\n");
    std::ostringstream none;
    EXPECT_EQ(RunSearchCommand(notes, "szczupak", false, none, err), 1);
    EXPECT_EQ(none.str(), "");
    EXPECT_EQ(err.str(), "");

    // A query past the cap: the first 32 words count, and the user is told.
    std::string query;
    for (int i = 0; i < 32; ++i)
        query += "karp ";
    query += "szczupak";
    std::ostringstream capped;
    EXPECT_EQ(RunSearchCommand(notes, query, false, capped, err), 0);
    EXPECT_EQ(capped.str(), found.str());
    EXPECT_EQ(err.str(), "dniarz: szukam tylko pierwszych 32 słów i 256 znaków zapytania\n");
}
