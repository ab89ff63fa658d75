// The note lines of the printed day view.
#include "app/print_day.h"

#include <gtest/gtest.h>

#include <sstream>

#include "app/search_command.h"

namespace {

std::string Value(const std::vector<std::pair<std::string, std::string>>& lines, const std::string& key)
{
    for (const auto& [k, v] : lines)
        if (k == key)
            return v;
    return "<no line " + key + ">";
}

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

TEST(SearchCommand, PrintsHitsAndTellsByExitCodeWhetherAnyWereFound)
{
    const JournalRecords notes = JournalRecords::Parse("2024.12.24\r\nt\r\nkarp\r\nbarszcz\r\n****\r\n"
                                                       "    .12.24\r\nt\r\nWigilia: karp\r\n****\r\n")
                                     .records;
    std::ostringstream found;
    EXPECT_EQ(RunSearchCommand(notes, "KARP", false, found), 0);
    EXPECT_EQ(found.str(), "2024.12.24: karp\n    .12.24: Wigilia: karp\n");
    std::ostringstream none;
    EXPECT_EQ(RunSearchCommand(notes, "szczupak", false, none), 1);
    EXPECT_EQ(none.str(), "");
}
