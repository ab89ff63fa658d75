// Fuzz target: the iCalendar import. Whatever the bytes, reading must end with notes or a message,
// every note's key must be a date key, its text one the notes file can store and without control
// characters other than tab and line ends, and each day must be written as one record.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>

#include "calendar/notes_journal.h"
#include "ics/ics_import.h"
#include "platform/fake/fake_journal_file.h"

namespace {

void Check(bool condition, int line)
{
    if (!condition) {
        std::fprintf(stderr, "ics_fuzz: check on line %d failed\n", line);
        std::abort();
    }
}
#define CHECK(condition) Check((condition), __LINE__)

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const IcsImport read = ReadIcs(bytes, [](std::chrono::system_clock::time_point) { return std::chrono::hours(2); });
    CHECK(read.error.empty() || read.notes.empty());
    CHECK(EventsRead(read) + read.skipped == read.events);
    CHECK(read.notes.size() <= static_cast<std::size_t>(EventsRead(read)) * kMaxImportedDays);
    std::set<std::string> days;
    for (const ImportedNote& note : read.notes) {
        CHECK(note.key.size() == 10 && note.key[4] == '.' && note.key[7] == '.');
        CHECK(!note.text.empty());
        for (const char c : note.text) {
            const auto u = static_cast<unsigned char>(c);
            CHECK(u >= 0x20 || c == '\t' || c == '\r' || c == '\n');
            CHECK(u != 0x7F);
        }
        days.insert(note.key);
    }
    // The notes go into a journal and come back from its file as they were stored.
    FakeJournalFile file;
    NotesJournal journal(file);
    CHECK(!journal.OpenNotes("/fuzz/dnz.dat"));
    AppendImportedNotes(journal, read.notes, 45000.5);
    std::string stored;
    CHECK(file.ReadAll("/fuzz/dnz.dat", stored) == JournalFile::ReadStatus::Ok);
    const JournalRecords records = JournalRecords::Parse(stored).records;
    CHECK(records.Count() == days.size());
    for (const ImportedNote& note : read.notes)
        CHECK(!records.FindNote(note.key).text.empty());
    return 0;
}
