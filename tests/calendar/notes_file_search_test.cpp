// The command line's search over the file's bytes against the window's search over the records
// those bytes read as: the same hits in the same order, over journals of every shape the reader
// accepts (every line end, keys that are no dates, deletions, records cut short).
#include "calendar/notes_search.h"

#include <gtest/gtest.h>

#include <random>

#include "text/cp1250.h"

namespace {

std::vector<std::string> Lines(const std::vector<NoteSearchHit>& hits)
{
    std::vector<std::string> out;
    for (const NoteSearchHit& hit : hits)
        out.push_back(FormatSearchHit(hit));
    return out;
}

// A journal of `records` records drawn from the pieces below, in Windows-1250.
std::string RandomJournal(std::mt19937& rng, int records)
{
    static const std::vector<std::string> keys = {
        "2024.05.01",
        "2024.05.02",
        "2023.12.31",
        "    .05.01",
        "    .02.29",
        "0000.01.01",
        "9999.12.31",
        // Keys that are no date's, and first lines that are more or less than a key.
        "2024.05.01x",
        "2024.5.1",
        "abc",
        "",
        "\xb9\xe6\xea\xb3\xf1\xf3\x9c\x9f\xbf\xa5",
        "    .13.01",
        "2024.05",
    };
    static const std::vector<std::string> words = {
        "\xbf\xf3\xb3w", "\xaf\xd3\xa3W", "zolw", "ZOLW", "\xafo\xb3w", "kot",  "KOT",  "\xbf\xf3\xb3wik",  "a", "",
        "*****",         "****x",         "\x80", "\xb5", "\xdf",       "\x81", "ko t", "\x8a\x9a\x8e\x9e",
    };
    static const std::vector<std::string> ends = {"\r\n", "\n", "\r", "\r\n", "\r\n"};
    std::string bytes;
    const auto end = [&] { return ends[rng() % ends.size()]; };
    for (int r = 0; r < records; ++r) {
        bytes += keys[rng() % keys.size()];
        const int lines = static_cast<int>(rng() % 5);  // 0: the bare key, a deletion or an odd record
        if (lines > 0)
            bytes += end() + "2024.03.10  14:05";
        for (int l = 1; l < lines; ++l) {
            bytes += end();
            for (int w = static_cast<int>(rng() % 4); w > 0; --w)
                bytes += words[rng() % words.size()] + (rng() % 2 ? " " : "");
        }
        bytes += end() + "****";
        bytes += end();
    }
    // A record never finished, now and then.
    if (rng() % 3 == 0)
        bytes += keys[rng() % keys.size()] + "\r\nt\r\n\xbf\xf3\xb3w kot";
    return bytes;
}

TEST(NotesFileSearch, FindsWhatTheSearchOfTheRecordsFinds)
{
    const std::vector<std::string> queries = {
        "żółw",     "ŻÓŁW", "zolw",  "kot żółw", "KOT", "ó", "w",  "żółwik zolw", "€",    "µ",    "ß",
        "\xc2\x81", "ŠšŽž", "*****", "x",        "a b", "",  "  ", "nic",         "ko t", "\xff", "Ω",
    };
    std::mt19937 rng(36);
    for (int journal = 0; journal < 250; ++journal) {
        const std::string bytes = RandomJournal(rng, 1 + static_cast<int>(rng() % 40));
        const JournalRecords records = JournalRecords::Parse(bytes).records;
        for (const std::string& query : queries) {
            for (const bool ignoreDiacritics : {false, true}) {
                ASSERT_EQ(Lines(SearchJournalFile(bytes, query, ignoreDiacritics)),
                          Lines(SearchNotes(records, query, ignoreDiacritics)))
                    << "journal " << journal << ", '" << query << "', "
                    << (ignoreDiacritics ? "without marks" : "with marks") << ":\n"
                    << Cp1250ToUtf8(bytes);
            }
        }
    }
}

TEST(NotesFileSearch, ReadsTheFileAsItsRecordsWouldBeRead)
{
    // LF and lone CR line ends; a deletion hides the older note; the record cut short at the end
    // is none; a first line longer than a key still names its first ten characters' day.
    const std::string file = "2024.05.01\nt\n\xaf\xf3\xb3w w ogrodzie\n****\n"
                             "2024.05.02\rt\rstary \xbf\xf3\xb3w\r****\r"
                             "2024.05.02\r\nt\r\n****\r\n"
                             "2024.05.03 rano\r\nt\r\n\r\npierwsza\r\nzolw\r\n****\r\n"
                             "    .05.03\r\nt\r\nco rok: \xbf\xf3\xb3w\r\n****\r\n"
                             "2024.05.04\r\nt\r\n\xbf\xf3\xb3w bez ko\xf1"
                             "ca";
    EXPECT_EQ(Lines(SearchJournalFile(file, "ŻÓŁW", false)),
              (std::vector<std::string>{"2024.05.01: Żółw w ogrodzie", "    .05.03: co rok: żółw"}));
    EXPECT_EQ(
        Lines(SearchJournalFile(file, "zolw", true)),
        (std::vector<std::string>{"2024.05.03: zolw", "2024.05.01: Żółw w ogrodzie", "    .05.03: co rok: żółw"}));
    // Words met only across lines: the first line that is not empty stands for the note.
    EXPECT_EQ(Lines(SearchJournalFile(file, "pierwsza zolw", false)),
              (std::vector<std::string>{"2024.05.03: pierwsza"}));
    EXPECT_TRUE(SearchJournalFile(file, "końca", false).empty());
    EXPECT_TRUE(SearchJournalFile("", "żółw", false).empty());
}

}  // namespace
