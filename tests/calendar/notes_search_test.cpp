// Search in the notes: letter case and Polish marks, every word, the newest record of a key,
// the line shown, the order of the hits, and a search run in slices.
#include "calendar/notes_search.h"

#include <gtest/gtest.h>

#include <random>

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
    EXPECT_TRUE(session.Poll());  // nothing started
    session.Start("łódź", false);
    // The next key: the hits are of the new query only.
    session.Start("krakow", true);
    session.Wait();
    EXPECT_EQ(Lines(session.Hits()), (std::vector<std::string>{"2024.01.05: Kraków"}));
    // A save after the search started: it starts over on the journal as it is now.
    session.Start("krakow", true);
    journal.AppendRecord(DateKey(2024, 1, 5), "", EncodeDate(2024, 1, 2));
    journal.AppendRecord(DateKey(2024, 1, 6), "Kraków znowu", EncodeDate(2024, 1, 2));
    session.Wait();
    EXPECT_EQ(Lines(session.Hits()), (std::vector<std::string>{"2024.01.06: Kraków znowu"}));
    // A search dropped before its end leaves the hits of the last one that ended.
    session.Start("łódź", false);
    session.Cancel();
    EXPECT_TRUE(session.Poll());
    EXPECT_EQ(Lines(session.Hits()), (std::vector<std::string>{"2024.01.06: Kraków znowu"}));
}

// Many searches started and dropped while the worker runs, the session ended in the middle of
// one: the last search's hits only, and no hang (the thread sanitizer job watches the rest).
TEST(NotesSearch, ASessionSurvivesKeysTypedFasterThanItSearches)
{
    std::vector<std::pair<std::string, std::string>> many;
    for (int day = 0; day < 20000; ++day)
        many.emplace_back(DateKey(EncodeDate(1990, 1, 1) + day), day % 1000 == 0 ? "Łódź wiosną" : "Kraków");
    const JournalRecords notes = Journal(many);
    {
        NotesSearchSession session(notes);
        const std::string typed = "łódź wiosną";
        for (std::size_t n = 1; n <= typed.size(); ++n)
            session.Start(typed.substr(0, n), true);
        session.Wait();
        EXPECT_EQ(session.Hits().size(), 20u);
        EXPECT_EQ(session.Hits().front().line, "Łódź wiosną");
        session.Start("krakow", true);
    }
}

// The words past the 32nd and the characters past the 256th are ignored, and the search says so;
// the characters are letters, not bytes.
TEST(NotesSearch, AQueryIsCutTo32WordsAnd256Characters)
{
    std::string letters250;  // 450 bytes
    for (int i = 0; i < 25; ++i)
        letters250 += "żółwżółwżó";
    std::string words32;
    for (int i = 0; i < 32; ++i)
        words32 += "w" + std::to_string(i % 10) + " ";
    struct Row
    {
        const char* name;
        std::string query;
        std::size_t words;
        std::size_t lastWordBytes;
        bool capped;
    };
    const Row rows[] = {
        {"32 words", words32, 32, 2, false},
        {"33 words", words32 + "x", 32, 2, true},
        {"past 256 letters", letters250 + "abcdefg y", 1, 456, true},
        {"exactly 256 letters", letters250 + "żółwżó", 1, 461, false},
        {"spaces after the 256th", std::string(255, 'a') + "      b", 1, 255, true},
        {"only spaces", " \t\r\n ", 0, 0, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const NotesQuery query = ParseNotesQuery(row.query);
        EXPECT_EQ(query.words.size(), row.words);
        if (!query.words.empty()) {
            EXPECT_EQ(query.words.back().size(), row.lastWordBytes);
        }
        EXPECT_EQ(query.capped, row.capped);
    }
    // A word past the cut that no note holds does not empty the hits.
    const JournalRecords notes = Journal({{"2024.05.01", "w0 w1 w2 w3 w4 w5 w6 w7 w8 w9"}});
    EXPECT_EQ(SearchNotes(notes, words32 + "szczupak", false).size(), 1u);
    EXPECT_EQ(SearchNotes(notes, std::string(300, 'w'), false).size(), 0u);
}

// One pass over the text finds the words as a plain search for each would, overlapping, nested
// and repeated words included; the oracle is std::string::find, word by word.
TEST(NotesSearch, TheWordSetFindsWhatASearchForEachWordFinds)
{
    const std::vector<std::vector<std::string>> sets = {
        {"he", "she", "his", "hers"}, {"a", "aa", "aaa"}, {"ab", "ab"}, {"abab", "bab", "b"},
        {"żółw", "ół", "\xC5"},       {"aaab", "aab"},    {"x"},
    };
    std::mt19937 rng(7);
    const std::string alphabet = "abehirsx\xC5\xBC";
    for (const auto& words : sets) {
        const WordSet set(words);
        for (int n = 0; n < 2000; ++n) {
            std::string text;
            const std::size_t length = rng() % 12;
            for (std::size_t i = 0; i < length; ++i)
                text += alphabet[rng() % alphabet.size()];
            if (n % 50 == 0)
                text += words[rng() % words.size()];
            bool all = true, any = false;
            for (const std::string& word : words) {
                const bool in = text.find(word) != std::string::npos;
                all = all && in;
                any = any || in;
            }
            SCOPED_TRACE(words.front() + " in '" + text + "'");
            EXPECT_EQ(set.AllIn(text), all);
            EXPECT_EQ(set.AnyIn(text), any);
        }
    }
    EXPECT_FALSE(WordSet({}).AllIn("anything"));
    EXPECT_FALSE(WordSet({}).AnyIn("anything"));
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
