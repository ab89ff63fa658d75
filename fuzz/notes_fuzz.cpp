// Fuzz target: the notes journal reader, and the journal opened on any file. Whatever the bytes,
// reading must not fail, a record written and read back must mean the same, a record appended to
// any file must come back without changing what the file's notes were, and the command line's
// search over the bytes must find what the search over the records finds.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/notes_journal.h"
#include "calendar/notes_search.h"
#include "platform/fake/fake_journal_file.h"

namespace {

void Check(bool condition, int line)
{
    if (!condition) {
        std::fprintf(stderr, "notes_fuzz: check on line %d failed\n", line);
        std::abort();
    }
}
#define CHECK(condition) Check((condition), __LINE__)

// The keys worth comparing: those of the first records and of the unfinished tail. A key with a
// line break in it belongs to no date; the tail may change its text.
std::vector<std::string> SampleKeys(const JournalRecords& records, std::string_view bytes)
{
    std::vector<std::string> keys;
    for (std::size_t i = 0; i < records.Count() && i < 32; ++i)
        keys.emplace_back(RecordKey(records.Record(i)));
    const auto parsed = JournalRecords::Parse(bytes);
    if (parsed.unfinished && RecordKey(*parsed.unfinished).find_first_of("\r\n") == std::string_view::npos)
        keys.emplace_back(RecordKey(*parsed.unfinished));
    return keys;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const JournalRecords records = JournalRecords::Parse(bytes).records;

    std::string rewritten;
    for (std::size_t i = 0; i < records.Count(); ++i)
        rewritten += StoredRecordBytes(records.Record(i));
    const JournalRecords again = JournalRecords::Parse(rewritten).records;
    CHECK(again.Count() == records.Count());
    for (std::size_t i = 0; i < records.Count(); ++i) {
        CHECK(RecordKey(again.Record(i)) == RecordKey(records.Record(i)));
        CHECK(RecordText(again.Record(i)) == RecordText(records.Record(i)));
        CHECK(RecordTimestamp(again.Record(i)) == RecordTimestamp(records.Record(i)));
    }
    // Queries from the file's own bytes, so that the fuzzer steers them into its notes too.
    for (const std::string_view query : {std::string_view("a"), std::string_view(bytes).substr(0, 12),
                                         std::string_view(bytes).substr(bytes.size() / 2, 6)}) {
        for (const bool ignoreDiacritics : {false, true}) {
            const std::vector<NoteSearchHit> fromRecords = SearchNotes(records, query, ignoreDiacritics);
            const std::vector<NoteSearchHit> fromBytes = SearchJournalFile(bytes, query, ignoreDiacritics);
            CHECK(fromRecords.size() == fromBytes.size());
            for (std::size_t i = 0; i < fromRecords.size() && i < fromBytes.size(); ++i)
                CHECK(FormatSearchHit(fromRecords[i]) == FormatSearchHit(fromBytes[i]));
        }
    }
    (void)records.MarkedDayKeys(2024, 1);
    (void)records.LiveRecords("2005.01.01");

    const std::filesystem::path path = "/fuzz/dnz.dat";
    FakeJournalFile file;
    file.SetFile(path, bytes);
    NotesJournal journal(file);
    CHECK(!journal.OpenNotes(path));
    const std::vector<std::string> keys = SampleKeys(records, bytes);
    std::vector<std::string> before;
    for (const std::string& key : keys)
        before.push_back(journal.FindNote(key).text);

    journal.AppendRecord("2099.12.31", "fuzz\r\n****", EncodeDate(1970, 1, 1));
    journal.Flush();
    CHECK(!journal.OpenNotes(path));
    CHECK(journal.FindNote("2099.12.31").text == "fuzz\r\n*****");
    for (std::size_t i = 0; i < keys.size(); ++i)
        CHECK(keys[i] == "2099.12.31" || journal.FindNote(keys[i]).text == before[i]);

    journal.PurgeAndPackNotes(0);
    CHECK(!journal.OpenNotes(path));
    for (std::size_t i = 0; i < keys.size(); ++i)
        CHECK(keys[i] == "2099.12.31" || keys[i] < std::string(10, ' ') || journal.FindNote(keys[i]).text == before[i]);
    return 0;
}
