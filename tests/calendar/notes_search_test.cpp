// Search in the notes: letter case and Polish marks, every word, the newest record of a key,
// the line shown, the order of the hits, and a search run in slices.
#include "calendar/notes_search.h"

#include <gtest/gtest.h>

#include "calendar/date_format.h"
#include "platform/fake/fake_journal_file.h"
#include "text/cp1250.h"

namespace {

// A journal of records "key", "timestamp", text lines, each text given in UTF-8.
JournalRecords Journal(const std::vector<std::pair<std::string, std::string>>& notes)
{
    std::string bytes;
    for (const auto& [key, text] : notes)
        bytes += key + "\r\n2024.03.10  14:05\r\n" + (text.empty() ? "" : Utf8ToCp1250(text) + "\r\n") + "****\r\n";
    return JournalRecords::Parse(bytes).records;
}

std::vector<std::string> Lines(const std::vector<NoteSearchHit>& hits)
{
    std::vector<std::string> out;
    for (const NoteSearchHit& hit : hits)
        out.push_back(FormatSearchHit(hit));
    return out;
}

TEST(NotesSearch, FoldsCaseAndOptionallyTheMarksOfPolishLetters)
{
    EXPECT_EQ(FoldForSearch("ŻÓŁW Ąą Ćć Ęę Łł Ńń Óó Śś Źź Żż", false), "żółw ąą ćć ęę łł ńń óó śś źź żż");
    EXPECT_EQ(FoldForSearch("ŻÓŁW Ąą Ćć Ęę Łł Ńń Óó Śś Źź Żż", true), "zolw aa cc ee ll nn oo ss zz zz");
    // The other letters of the notes file's code page fold too; other scripts and signs stay.
    EXPECT_EQ(FoldForSearch("ČŠŽ Äö Ő ß §", true), "csz ao o ß §");
    EXPECT_EQ(FoldForSearch("Ωμέγα €", true), "Ωμέγα €");
}

TEST(NotesSearch, FindsNotesHoldingEveryWordWhateverTheCase)
{
    const JournalRecords notes = Journal({{"2024.05.01", "Kupić żółwia\r\ndla Ani"},
                                          {"2024.05.02", "ŻÓŁW w ogrodzie"},
                                          {"2024.05.03", "zolw bez kresek"},
                                          {"2024.05.04", "ogród"}});
    EXPECT_EQ(Lines(SearchNotes(notes, "żółw", false)),
              (std::vector<std::string>{"2024.05.02: ŻÓŁW w ogrodzie", "2024.05.01: Kupić żółwia"}));
    EXPECT_EQ(Lines(SearchNotes(notes, "zolw", false)), (std::vector<std::string>{"2024.05.03: zolw bez kresek"}));
    EXPECT_EQ(Lines(SearchNotes(notes, "zolw", true)),
              (std::vector<std::string>{"2024.05.03: zolw bez kresek", "2024.05.02: ŻÓŁW w ogrodzie",
                                        "2024.05.01: Kupić żółwia"}));
    // Every word, in any order and on any line; the line shown holds one of them.
    EXPECT_EQ(Lines(SearchNotes(notes, "  ani   ŻÓŁW ", false)),
              (std::vector<std::string>{"2024.05.01: Kupić żółwia"}));
    EXPECT_EQ(Lines(SearchNotes(notes, "ania", false)), std::vector<std::string>{});
    EXPECT_TRUE(SearchNotes(notes, " \t ", false).empty());
    EXPECT_TRUE(SearchNotes(notes, "", true).empty());
}

TEST(NotesSearch, OnlyTheNewestRecordOfAKeyCounts)
{
    const JournalRecords notes = Journal({{"2024.05.01", "stary tekst klucza"},
                                          {"2024.05.01", "nowy tekst"},
                                          {"2024.05.02", "klucz do piwnicy"},
                                          {"2024.05.02", ""},
                                          {"    .05.03", "klucz"},
                                          {"    .05.03", "klucz zmieniony"}});
    EXPECT_EQ(Lines(SearchNotes(notes, "klucz", false)), (std::vector<std::string>{"    .05.03: klucz zmieniony"}));
    EXPECT_EQ(Lines(SearchNotes(notes, "tekst", false)), (std::vector<std::string>{"2024.05.01: nowy tekst"}));
}

TEST(NotesSearch, DatedNotesNewestFirstThenYearlyNotesFromJanuary)
{
    const JournalRecords notes = Journal({{"    .12.24", "Wigilia, kupić karpia"},
                                          {"1999.01.02", "karp"},
                                          {"2024.02.29", "karp"},
                                          {"    .02.29", "karp przestępny"},
                                          {"2023.12.31", "KARP"},
                                          {"    .01.01", "karp noworoczny"}});
    EXPECT_EQ(Lines(SearchNotes(notes, "karp", false)),
              (std::vector<std::string>{"2024.02.29: karp", "2023.12.31: KARP", "1999.01.02: karp",
                                        "    .01.01: karp noworoczny", "    .02.29: karp przestępny",
                                        "    .12.24: Wigilia, kupić karpia"}));
}

TEST(NotesSearch, ShowsTheFirstLineThatHoldsAWord)
{
    const JournalRecords notes = Journal({{"2024.05.01", "zakupy:\r\nchleb\r\nchleb, MLEKO"}});
    EXPECT_EQ(Lines(SearchNotes(notes, "mleko", false)), (std::vector<std::string>{"2024.05.01: chleb, MLEKO"}));
    EXPECT_EQ(Lines(SearchNotes(notes, "mleko chleb", false)), (std::vector<std::string>{"2024.05.01: chleb"}));
}

TEST(NotesSearch, ASearchInSlicesFindsWhatTheWholeSearchFinds)
{
    std::vector<std::pair<std::string, std::string>> many;
    for (int day = 1; day <= 28; ++day)
        many.emplace_back(DateKey(2024, 2, day), day % 3 == 0 ? "Łódź" : "Kraków");
    const JournalRecords notes = Journal(many);
    NoteSearch search(notes, notes.LiveRecords({}), "lodz", true);
    int steps = 0;
    while (!search.Step(5))
        ++steps;
    EXPECT_EQ(steps, 5);
    EXPECT_EQ(Lines(search.TakeHits()), Lines(SearchNotes(notes, "LÓDŹ", true)));
    EXPECT_EQ(SearchNotes(notes, "lodz", true).size(), 9u);
}

}  // namespace

namespace {

TEST(NotesSearch, ASessionDropsTheSearchThatRunsAndFollowsTheJournal)
{
    FakeJournalFile file;
    NotesJournal journal(file);
    file.SetFile("/n/dnz.dat", "");
    ASSERT_FALSE(journal.OpenNotes("/n/dnz.dat"));
    for (int day = 1; day <= 20; ++day)
        journal.AppendRecord(DateKey(2024, 1, day), day == 5 ? "Kraków" : "Łódź", EncodeDate(2024, 1, 1));
    NotesSearchSession session(journal.Records());
    EXPECT_TRUE(session.Step(1));  // nothing started
    session.Start("łódź", false);
    EXPECT_FALSE(session.Step(3));
    // The next key: the hits are of the new query only.
    session.Start("krakow", true);
    while (!session.Step(3)) {
    }
    EXPECT_EQ(Lines(session.Hits()), (std::vector<std::string>{"2024.01.05: Kraków"}));
    // A save in the middle of a search: the search starts over on the journal as it is now.
    session.Start("krakow", true);
    EXPECT_FALSE(session.Step(3));
    journal.AppendRecord(DateKey(2024, 1, 5), "", EncodeDate(2024, 1, 2));
    journal.AppendRecord(DateKey(2024, 1, 6), "Kraków znowu", EncodeDate(2024, 1, 2));
    while (!session.Step(3)) {
    }
    EXPECT_EQ(Lines(session.Hits()), (std::vector<std::string>{"2024.01.06: Kraków znowu"}));
}

TEST(NotesSearch, TheDayAHitStandsFor)
{
    EXPECT_EQ(DateOfHit("2024.03.10", 1999), EncodeDate(2024, 3, 10));
    EXPECT_EQ(DateOfHit("    .12.24", 2025), EncodeDate(2025, 12, 24));
    EXPECT_EQ(DateOfHit("    .02.29", 2025), EncodeDate(2028, 2, 29));
    EXPECT_EQ(DateOfHit("    .02.29", 2096), EncodeDate(2096, 2, 29));
    EXPECT_EQ(DateOfHit("    .02.29", 2097), EncodeDate(2104, 2, 29));  // 2100 is no leap year
    EXPECT_EQ(DateOfHit("2023.02.29", 2024), std::nullopt);
    EXPECT_EQ(DateOfHit("garbage", 2024), std::nullopt);
    EXPECT_EQ(DateOfHit("    .13.01", 2024), std::nullopt);
}

}  // namespace
