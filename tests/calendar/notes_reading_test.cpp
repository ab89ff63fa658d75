// Reading a journal converts its bytes where they lie: whatever the mix of line ends, Polish
// letters and keys, the records, their texts, the tail and the newest record of each key are those
// of a plain line-by-line reading into a fresh arena.
#include <map>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "calendar/notes_journal.h"
#include "text/cp1250.h"

namespace {

struct Reading
{
    std::vector<std::string> records;
    std::optional<std::string> unfinished;
};

// The reading the journal has always done, written out plainly.
Reading ReadLineByLine(const std::string& bytes)
{
    Reading r;
    std::string current;
    bool any = false;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", pos);
        std::size_t next = end == std::string::npos ? bytes.size() : end + 1;
        if (end == std::string::npos)
            end = bytes.size();
        else if (bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n')
            next = end + 2;
        const std::string line = bytes.substr(pos, end - pos);
        pos = next;
        if (line == "****") {
            if (current.size() > 2)
                current.resize(current.size() - 2);
            r.records.push_back(current);
            current.clear();
            any = false;
            continue;
        }
        current += Cp1250ToUtf8(line) + "\r\n";
        any = true;
    }
    if (any) {
        if (current.size() > 2)
            current.resize(current.size() - 2);
        r.unfinished = current;
    }
    return r;
}

// A journal of `records` records from pieces that take every branch of the reading: date, yearly
// and odd keys, lines heavy with Polish letters (more bytes in UTF-8 than the file gives room
// for), every kind of line end, text lines of asterisks, empty records and a cut-short tail.
std::string RandomJournal(std::mt19937& rng, int records)
{
    const char* const keys[] = {"2024.01.05",          "2024.01.06",    "    .12.24", "1995.13.40",      "2024.1.5",
                                "\xbf\xf3\xb3w.01.05", "2024.01.05xyz", "",           "abcdefghijklmnop"};
    const std::string lines[] = {"urodziny",
                                 "\xbf\xf3\xb3w \x9c\x9f \xb9\xea\xe6\xb3\xf1\xf3\x9c\x9f\xbf",
                                 "\xa3\xf3\x64\xbc \x96 \x84\x94 \x80 \x85",
                                 "*****",
                                 "***",
                                 "",
                                 " ****",
                                 "2024.03.10  12:00",
                                 std::string(300, '\xea')};
    const char* const ends[] = {"\r\n", "\r\n", "\r\n", "\n", "\r"};
    std::string out;
    const auto end = [&] { return ends[rng() % std::size(ends)]; };
    for (int i = 0; i < records; ++i) {
        if (rng() % 9 != 0)
            out += std::string(keys[rng() % std::size(keys)]) + end();
        for (auto n = rng() % 5; n > 0; --n)
            out += lines[rng() % std::size(lines)] + end();
        out += "****";
        if (i + 1 < records || rng() % 2)
            out += end();
    }
    if (rng() % 2)
        out += std::string(keys[rng() % std::size(keys)]) + "\r\ncut sh\xea";
    return out;
}

}  // namespace

TEST(NotesReading, InPlaceReadingGivesTheRecordsOfAPlainReading)
{
    std::mt19937 rng(2024);
    for (int round = 0; round < 400; ++round) {
        const std::string bytes = RandomJournal(rng, 1 + round % 40);
        SCOPED_TRACE(testing::Message() << "round " << round);
        const Reading expected = ReadLineByLine(bytes);
        const JournalRecords::Parsed parsed = JournalRecords::Parse(bytes);
        const JournalRecords& records = parsed.records;
        ASSERT_EQ(records.Count(), expected.records.size());
        std::map<std::string, std::size_t> newest;
        for (std::size_t i = 0; i < expected.records.size(); ++i) {
            ASSERT_EQ(records.Record(i), expected.records[i]) << "record " << i;
            EXPECT_EQ(records.Text(i), RecordText(expected.records[i])) << "record " << i;
            newest[std::string(RecordKey(expected.records[i]))] = i;
        }
        EXPECT_EQ(parsed.unfinished, expected.unfinished);
        for (const auto& [key, i] : newest) {
            const FoundNote found = records.FindNote(key);
            EXPECT_EQ(found.text, RecordText(expected.records[i])) << key;
            EXPECT_EQ(found.timestamp, RecordTimestamp(expected.records[i])) << key;
        }
        EXPECT_EQ(records.MarkedDayKeys(2024, 1).size(),
                  (newest.count("2024.01.05") && !RecordText(expected.records[newest["2024.01.05"]]).empty())
                      + (newest.count("2024.01.06") && !RecordText(expected.records[newest["2024.01.06"]]).empty()));
    }
}

// A key's newest record, once read, is still replaced by every record appended after it, whichever
// way the key was indexed.
TEST(NotesReading, AppendedRecordsReplaceTheNewestReadOnes)
{
    JournalRecords records = JournalRecords::Parse(
                                 "2024.01.05\r\nt\r\nold\r\n****\r\n2024.01.05xyz\r\nt\r\nodd\r\n****\r\n"
                                 "    .12.24\r\nt\r\nyearly\r\n****\r\n")
                                 .records;
    EXPECT_EQ(records.FindNote("2024.01.05").text, "odd");
    records.Append("2024.01.05\r\nt\r\nnew");
    records.Append("    .12.24\r\nt\r\n");
    EXPECT_EQ(records.FindNote("2024.01.05").text, "new");
    EXPECT_EQ(records.FindNote("    .12.24").text, "");
    EXPECT_EQ(records.MarkedDayKeys(2024, 1), std::vector<std::string>{"2024.01.05"});
    EXPECT_TRUE(records.MarkedDayKeys(2024, 12).empty());
}

// The newest record of a key wins however its first line was written: a first line of exactly a
// key is indexed while reading, a longer one (text added by hand after the key) only once the file
// is read, out of file order. Either may be the older.
TEST(NotesReading, TheNewestRecordOfADayWinsWhicheverWayItsKeyWasRead)
{
    struct Row
    {
        const char* older;  // first lines, key first
        const char* newer;
        const char* key;
    };
    const Row rows[] = {
        {"2024.01.05 dopisek", "2024.01.05", "2024.01.05"}, {"2024.01.05", "2024.01.05 dopisek", "2024.01.05"},
        {"    .01.05 dopisek", "    .01.05", "    .01.05"}, {"    .01.05", "    .01.05 dopisek", "    .01.05"},
        {"abcdefghij dopisek", "abcdefghij", "abcdefghij"}, {"abcdefghij", "abcdefghij dopisek", "abcdefghij"},
        {"2024.01.05\xb9", "2024.01.05", "2024.01.05"},
    };
    for (const Row& r : rows) {
        for (const bool newerDeletes : {false, true}) {
            SCOPED_TRACE(testing::Message()
                         << '"' << r.older << "\" then \"" << r.newer << '"' << (newerDeletes ? ", empty" : ""));
            const std::string bytes = std::string("2024.01.04\r\nt\r\nbefore\r\n****\r\n") + r.older
                                      + "\r\nt\r\nold\r\n****\r\n" + r.newer + "\r\nt\r\n"
                                      + (newerDeletes ? "" : "new\r\n") + "****\r\n";
            const JournalRecords records = JournalRecords::Parse(bytes).records;
            ASSERT_EQ(records.Count(), 3u);
            EXPECT_EQ(records.FindNote(r.key).text, newerDeletes ? "" : "new");
            const bool dated = std::string_view(r.key).starts_with("2024");
            const bool yearly = std::string_view(r.key).starts_with(" ");
            std::vector<std::string> marked = {"2024.01.04"};
            if (!newerDeletes && (dated || yearly))
                marked.emplace_back(r.key);
            EXPECT_EQ(records.MarkedDayKeys(2024, 1), marked);
            const std::vector<std::size_t> live = newerDeletes ? std::vector<std::size_t>{0}
                                                               : std::vector<std::size_t>{2, 0};
            EXPECT_EQ(records.LiveRecords({}), live);
        }
    }
}

// Letters of the code page in a line's last bytes, which are read one by one after the line's
// whole words of eight: each must become its letter, at every place in lines of every length
// around a word's size. Windows-1250 has the euro sign at 0x80, Š at 0x8A, Ť at 0x8D and the dot
// above at 0xFF.
TEST(NotesReading, ALetterOfTheCodePageInALinesLastBytesIsConverted)
{
    struct Letter
    {
        char byte;
        const char* utf8;
    };
    const Letter letters[] = {
        {'\x80', "\xE2\x82\xAC"}, {'\x8A', "\xC5\xA0"}, {'\x8D', "\xC5\xA4"}, {'\xFF', "\xCB\x99"}};
    for (const Letter& letter : letters) {
        for (std::size_t length = 1; length <= 17; ++length) {
            for (std::size_t at = 0; at < length; ++at) {
                SCOPED_TRACE(testing::Message() << "byte " << +static_cast<unsigned char>(letter.byte) << " at " << at
                                                << " of " << length);
                std::string line(length, 'a');
                line[at] = letter.byte;
                std::string expected(length, 'a');
                expected.replace(at, 1, letter.utf8);
                const JournalRecords records =
                    JournalRecords::Parse("2024.01.05\r\nt\r\n" + line + "\r\n" + line + "\r\n****\r\n").records;
                ASSERT_EQ(records.Count(), 1u);
                EXPECT_EQ(records.FindNote("2024.01.05").text, expected + "\r\n" + expected);
            }
        }
    }
    // In a key's line too: ten bytes, the letter in the last two.
    const JournalRecords odd = JournalRecords::Parse("2024.01.\x80\x35\r\nt\r\nx\r\n****\r\n").records;
    EXPECT_EQ(RecordKey(odd.Record(0)), "2024.01.\xE2\x82\xAC"
                                        "5");
}
